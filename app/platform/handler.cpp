#include "app/platform/handler.h"

#include <QtGlobal>

void reportError(const char *name, const RuntimeError &error)
{
    qCritical("Run-time error %d in %s: %s", int(error.code()), name, error.what());
}
