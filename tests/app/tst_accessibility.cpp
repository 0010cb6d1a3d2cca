#include "board_state.h"
#include "main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

// What a screen reader finds in the window, and playing with the keyboard
// alone.

namespace {

QAccessibleInterface *iface(QObject *object)
{
    QAccessibleInterface *result = QAccessible::queryAccessibleInterface(object);
    if (!result)
        qFatal("no accessible interface for %s", object->metaObject()->className());
    return result;
}

QString nameOf(QObject *object) { return iface(object)->text(QAccessible::Name); }

// Every interface below the window, depth first.
void walk(QAccessibleInterface *node, std::vector<QAccessibleInterface *> &out)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface *child = node->child(i);
        if (!child)
            continue;
        out.push_back(child);
        walk(child, out);
    }
}

std::vector<QAccessibleInterface *> tree(MainWindow &w)
{
    std::vector<QAccessibleInterface *> result;
    walk(iface(&w), result);
    return result;
}

// A tile's number and cell as its accessible name tells them.
struct TileName {
    int number = -1; // 0 for the empty cell
    int row = 0;
    int column = 0;
};

std::optional<TileName> parseTileName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:Плочка ([1-9][0-9]*)|Празно поле), ред ([1-9]), колона ([1-9])$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    return TileName { match.captured(1).isEmpty() ? 0 : match.captured(1).toInt(), match.captured(2).toInt(),
                      match.captured(3).toInt() };
}

QWidget *focused() { return QApplication::focusWidget(); }

// Presses Tab until the focus is on the control whose accessible name is
// name; false when a whole round of the tab order passes without it.
bool tabTo(const QString &name)
{
    QWidget *start = focused();
    do {
        QTest::keyClick(focused(), Qt::Key_Tab);
        if (nameOf(focused()) == name)
            return true;
    } while (focused() != start);
    return false;
}

} // namespace

class tst_Accessibility : public QObject {
    Q_OBJECT

private slots:
    void controls_data();
    void controls();
    void hiddenControlsAreNotExposed();
    void tiles_data();
    void tiles();
    void playWithTheKeyboardAlone();
    void pressActionAndFrozenTiles();
};

void tst_Accessibility::controls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    const auto row = [](const char *control, QAccessible::Role role, const QString &name, const QString &value = {}) {
        QTest::newRow(control) << QString::fromLatin1(control) << int(role) << name << value;
    };
    row("Command2(0)", QAccessible::Button, "Нова игра");
    row("Command2(1)", QAccessible::Button, "Нерешима");
    row("Command2(2)", QAccessible::Button, "Решение");
    row("Command2(3)", QAccessible::Button, "Ход назад");
    row("Option1(0)", QAccessible::RadioButton, "3");
    row("Option1(1)", QAccessible::RadioButton, "4");
    row("Option1(2)", QAccessible::RadioButton, "5");
    row("Frame1", QAccessible::Grouping, "Брой");
    row("Text2", QAccessible::EditableText, "Брой ходове", "0");
    row("Text1(0)", QAccessible::EditableText, "Описание");
    row("Label1(0)", QAccessible::StaticText, "Информатика - логическа игра, пъзел 15");
    row("Label1(1)", QAccessible::StaticText, "Брой: ");
}

void tst_Accessibility::controls()
{
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, value);
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    const std::map<QString, QWidget *> controls = {
        { "Command2(0)", w.Command2()(0) }, { "Command2(1)", w.Command2()(1) }, { "Command2(2)", w.Command2()(2) },
        { "Command2(3)", w.Command2()(3) }, { "Option1(0)", w.Option1()(0) }, { "Option1(1)", w.Option1()(1) },
        { "Option1(2)", w.Option1()(2) },   { "Frame1", &w.Frame1() },        { "Text2", &w.Text2() },
        { "Text1(0)", w.Text1()(0) },       { "Label1(0)", w.Label1()(0) },   { "Label1(1)", w.Label1()(1) },
    };
    QWidget *widget = controls.at(control);

    // Found by walking the tree from the window, not only by asking.
    bool inTree = false;
    for (QAccessibleInterface *node : tree(w))
        inTree = inTree || node->object() == widget;
    QVERIFY(inTree);

    QAccessibleInterface *node = iface(widget);
    QCOMPARE(int(node->role()), role);
    QCOMPARE(node->text(QAccessible::Name), name);
    QVERIFY(!node->state().invisible);
    if (!value.isNull())
        QCOMPARE(node->text(QAccessible::Value), value);

    QAccessibleInterface *window = iface(&w);
    QCOMPARE(int(window->role()), int(QAccessible::Window));
    QCOMPARE(window->text(QAccessible::Name), w.windowTitle());
}

void tst_Accessibility::hiddenControlsAreNotExposed()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const std::set<QObject *> hidden = { w.List1()(0), w.List1()(1), w.List1()(2), w.List1()(3),
                                         &w.List2(),   w.Text1()(1), &w.Label3() };

    const auto check = [&](const char *when) {
        std::set<QObject *> seen;
        QAccessibleInterface *window = iface(&w);
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface *child = window->child(i);
            QVERIFY2(window->indexOfChild(child) == i, when);
            QVERIFY2(child->parent() == window, when);
            QVERIFY2(!child->state().invisible, qPrintable(QStringLiteral("%1: invisible %2").arg(when, child->text(QAccessible::Name))));
        }
        for (QAccessibleInterface *node : tree(w)) {
            seen.insert(node->object());
            QVERIFY2(!hidden.count(node->object()), qPrintable(QStringLiteral("%1: %2 exposed").arg(when, node->text(QAccessible::Name))));
        }
        // Every shown tile is there.
        for (qint16 k : w.Command1().indexes())
            QVERIFY2(seen.count(w.Command1()(k)), when);
        QCOMPARE(w.Command1().count(), std::size_t(w.board().BoardSize * w.board().BoardSize));
    };
    check("after opening");
    w.Option1()(2)->click();
    check("on the 5x5 board");
    w.Command2()(2)->click();
    check("showing the solution");
    w.Command2()(1)->click();
    check("showing the unsolvable board");
}

void tst_Accessibility::tiles_data()
{
    QTest::addColumn<int>("option");
    QTest::newRow("3x3") << 0;
    QTest::newRow("4x4") << 1;
    QTest::newRow("5x5") << 2;
}

void tst_Accessibility::tiles()
{
    QFETCH(int, option);
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Option1()(qint16(option))->click();
    const int n = option + 3;
    QCOMPARE(int(w.board().BoardSize), n);

    std::set<std::pair<int, int>> cells;
    std::set<int> numbers;
    for (QAccessibleInterface *node : tree(w)) {
        if (node->object()->parent() != &w || !qobject_cast<QPushButton *>(node->object()))
            continue;
        const QString name = node->text(QAccessible::Name);
        const auto tile = parseTileName(name);
        if (!tile) // one of the four command buttons
            continue;
        QCOMPARE(int(node->role()), int(QAccessible::Button));
        // The number is the tile's own, the cell the one it stands on.
        CommandButton *button = w.Command1()(qint16(tile->number));
        QCOMPARE(node->object(), button);
        QCOMPARE(button->text(), QString::number(tile->number));
        const auto cell = board_state::cellOf(w, qint16(tile->number));
        QVERIFY(cell);
        QCOMPARE(std::make_pair(tile->row, tile->column), std::make_pair(*cell / n + 1, *cell % n + 1));
        QVERIFY(node->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        cells.insert({ tile->row, tile->column });
        numbers.insert(tile->number);
    }
    QCOMPARE(int(numbers.size()), n * n);
    QCOMPARE(*numbers.rbegin(), n * n - 1);
    QCOMPARE(int(cells.size()), n * n);
}

void tst_Accessibility::playWithTheKeyboardAlone()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // The focus starts on the blank; its name tells where the empty cell is.
    const auto blank = parseTileName(nameOf(focused()));
    QVERIFY2(blank && blank->number == 0, qPrintable(nameOf(focused())));
    QAccessibleInterface *blankNode = iface(focused());

    // Choose a tile beside it by the names alone.
    std::optional<TileName> beside;
    for (QAccessibleInterface *node : tree(w)) {
        const auto tile = parseTileName(node->text(QAccessible::Name));
        if (tile && std::abs(tile->row - blank->row) + std::abs(tile->column - blank->column) == 1) {
            beside = tile;
            break;
        }
    }
    QVERIFY(beside);
    const QString tileName = QStringLiteral("Плочка %1, ред %2, колона %3").arg(beside->number).arg(beside->row).arg(beside->column);

    // Tab to it and press Space.
    QVERIFY2(tabTo(tileName), qPrintable(tileName));
    QAccessibleInterface *tileNode = iface(focused());
    QTest::keyClick(focused(), Qt::Key_Space);

    // The two exchanged cells; the counter says one move.
    QCOMPARE(tileNode->text(QAccessible::Name),
             QStringLiteral("Плочка %1, ред %2, колона %3").arg(beside->number).arg(blank->row).arg(blank->column));
    QCOMPARE(blankNode->text(QAccessible::Name),
             QStringLiteral("Празно поле, ред %1, колона %2").arg(beside->row).arg(beside->column));
    QCOMPARE(iface(&w.Text2())->text(QAccessible::Value), QStringLiteral("1"));
    QCOMPARE(board_state::items(w.List2()), QStringList { QString::number(beside->number) });

    // Tab on to "Ход назад" and take the move back.
    QVERIFY(tabTo(QStringLiteral("Ход назад")));
    QCOMPARE(focused(), w.Command2()(3));
    QTest::keyClick(focused(), Qt::Key_Space);
    QCOMPARE(tileNode->text(QAccessible::Name), tileName);
    QCOMPARE(blankNode->text(QAccessible::Name),
             QStringLiteral("Празно поле, ред %1, колона %2").arg(blank->row).arg(blank->column));
    QCOMPARE(iface(&w.Text2())->text(QAccessible::Value), QStringLiteral("0"));

    // Every tile and every command button is reached by Tab.
    std::set<QString> reached;
    QWidget *start = focused();
    do {
        QTest::keyClick(focused(), Qt::Key_Tab);
        reached.insert(nameOf(focused()));
    } while (focused() != start);
    for (QAccessibleInterface *node : tree(w))
        if (qobject_cast<QPushButton *>(node->object()))
            QVERIFY2(reached.count(node->text(QAccessible::Name)), qPrintable(node->text(QAccessible::Name)));

    // The board size: Tab reaches the selected option, the arrow keys choose.
    QVERIFY(tabTo(QStringLiteral("4")));
    QTest::keyClick(focused(), Qt::Key_Down);
    QCOMPARE(nameOf(focused()), QStringLiteral("5"));
    QVERIFY(iface(focused())->state().checked);
    QCOMPARE(int(w.board().BoardSize), 5);
    QVERIFY(tabTo(QStringLiteral("Плочка 24, ред %1, колона %2").arg(*board_state::cellOf(w, 24) / 5 + 1).arg(*board_state::cellOf(w, 24) % 5 + 1)));
}

void tst_Accessibility::pressActionAndFrozenTiles()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const qint16 k = board_state::neighboursOfBlank(w).front();
    QAccessibleInterface *node = iface(w.Command1()(k));
    const int before = *board_state::cellOf(w, k);
    node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(*board_state::cellOf(w, 0), before);
    QCOMPARE(w.Text2().text(), QStringLiteral("1"));

    // "Решение": the tiles are frozen, and say so.
    iface(w.Command2()(2))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    for (qint16 i : w.Command1().indexes()) {
        QAccessibleInterface *tile = iface(w.Command1()(i));
        QVERIFY(tile->state().disabled);
        QVERIFY(!tile->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    QCOMPARE(nameOf(w.Command1()(15)), QStringLiteral("Плочка 15, ред 4, колона 3"));
    QCOMPARE(nameOf(w.Command1()(0)), QStringLiteral("Празно поле, ред 4, колона 4"));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
