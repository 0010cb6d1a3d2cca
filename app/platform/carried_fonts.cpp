#include "app/platform/carried_fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace fonts {

void addCarriedFonts()
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSerif-Regular.ttf"));
    if (id < 0) {
        qWarning("The window's font (Liberation Serif) could not be loaded");
        return;
    }
    for (const QString &family : QFontDatabase::applicationFontFamilies(id))
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), family);
}

} // namespace fonts
