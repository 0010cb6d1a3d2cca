#include "main_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("puzzle15"));
    QApplication::setApplicationVersion(QStringLiteral(PUZZLE15_VERSION));
    MainWindow window;
    window.show();
    return app.exec();
}
