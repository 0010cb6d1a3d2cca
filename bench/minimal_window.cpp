// The floor for the program's start-up time and memory: the least a Qt
// Widgets program must do to show a window like the game's. It shows the
// buttons and labels the game has once started, in the same places, with the
// same captions, title, window size and font, and nothing else:
//
//   - 20 QPushButtons: 16 tiles of the 4x4 board ("0" to "15") and the four
//     command buttons;
//   - 3 QRadioButtons: "3", "4" (checked) and "5";
//   - 3 QLabels: the title and "Брой: ", shown, and a third, hidden, as the
//     game's cell template is.
//
// Plain widgets in a plain QWidget: no style sheets, colours, icon, frame,
// text boxes or list boxes, no resources read. scripts/measure_startup.sh
// measures it beside the game.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QString::fromUtf8("www.puzzle15.example.org  Информатика - нареждане на матрица"));
    window.setFixedSize(450, 346);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    window.setFont(font);

    const auto label = [&](const char *text, int x, int y, int w, int h) {
        auto *l = new QLabel(QString::fromUtf8(text), &window);
        l->setGeometry(x, y, w, h);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    label("Информатика - логическа игра, пъзел 15", 80, 0, 313, 25);
    label("Брой: ", 8, 112, 57, 25);
    label("", 152, 32, 33, 33)->hide();

    for (int k = 0; k < 16; ++k) {
        auto *tile = new QPushButton(QString::number(k), &window);
        tile->setGeometry(152 + 33 * (k % 4), 32 + 33 * (k / 4), 33, 33);
    }

    const auto command = [&](const char *text, int x, int y, int w) {
        (new QPushButton(QString::fromUtf8(text), &window))->setGeometry(x, y, w, 25);
    };
    command("Нова игра", 8, 32, 105);
    command("Ход назад", 8, 72, 105);
    command("Решение", 352, 136, 89);
    command("Нерешима", 352, 168, 89);

    const char *options[] = { "3", "4", "5" };
    for (int i = 0; i < 3; ++i) {
        auto *option = new QRadioButton(QString::fromUtf8(options[i]), &window);
        option->setGeometry(376, 52 + 20 * i, 41, 20);
        option->setChecked(i == 1);
    }

    window.show();
    return app.exec();
}
