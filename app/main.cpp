#include "app/main_window.h"
#include "app/platform/carried_fonts.h"
#include "app/platform/font_engine.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    fonts::useDesignEngine();
    QApplication app(argc, argv);
    fonts::addCarriedFonts();
    QApplication::setApplicationName(QStringLiteral("puzzle15"));
    QApplication::setApplicationVersion(QStringLiteral(PUZZLE15_VERSION));
    // The menu entry org.example.puzzle15.desktop names this program's windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.puzzle15"));
    MainWindow::prepareApplication();
    MainWindow window;
    window.show();
    return app.exec();
}
