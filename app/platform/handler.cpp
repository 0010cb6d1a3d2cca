#include "app/platform/handler.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QString>

#include <cstdio>

#include <windows.h>
#endif

void reportError(const char *name, const RuntimeError &error)
{
    qCritical("Run-time error %d in %s: %s", int(error.code()), name, error.what());
#ifdef Q_OS_WIN
    // Windows programs report to a developer through the debug output (a
    // debugger, DebugView). Qt's own report goes there only when no console
    // is attached, and to standard error only when one is: send the line to
    // the other one too, so that both always have it.
    const QString line = QString::asprintf("Run-time error %d in %s: %s\n", int(error.code()), name, error.what());
    if (GetConsoleWindow()) {
        // The 8-bit form: debuggers show both, Wine's debug log only this.
        OutputDebugStringA(line.toLocal8Bit().constData());
    } else {
        std::fputs(line.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }
#endif
}
