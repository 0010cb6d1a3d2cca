#include "app/platform/font_engine.h"

#include <QByteArray>
#include <QtGlobal>

namespace fonts {

void useDesignEngine()
{
    // Qt drew with GDI by default until 6.8 and with DirectWrite since. GDI
    // keeps the text as every build of the program has shown it, and it
    // follows Windows' font substitutes, which DirectWrite does not: under
    // Wine, with Liberation Serif standing in for Times New Roman, Qt 6.8's
    // DirectWrite draws the Latin letters in a serif and the Cyrillic ones in
    // a sans font, and the title no longer fits its label.
#ifdef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=gdi");
#endif
}

} // namespace fonts
