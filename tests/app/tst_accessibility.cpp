#include "tests/board_state.h"
#include "app/main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QRegularExpression>
#include <QTest>

#include <cstdlib>
#include <optional>

// Playing with the keyboard alone, guided by the accessible names. What a
// screen reader reads of the window, and the moves it makes through the
// Press action, are tested on the real accessibility bus (tests/e2e).

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

// The objects whose name change was announced, in order, while recording.
QList<QObject *> &announced()
{
    static QList<QObject *> objects;
    return objects;
}

void recordNameChange(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::NameChanged)
        announced().append(event->object());
}

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
    // As the program does, once, before it makes its window.
    void initTestCase() { MainWindow::prepareApplication(); }
    void playWithTheKeyboardAlone();
    void aMoveAnnouncesTheNewNames_data();
    void aMoveAnnouncesTheNewNames();
};

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
    QCOMPARE(iface(w.forTests().Text2)->text(QAccessible::Value), QStringLiteral("1"));
    QCOMPARE(board_state::items(*w.forTests().List2), QStringList { QString::number(beside->number) });

    // Tab on to "Ход назад" and take the move back.
    QVERIFY(tabTo(QStringLiteral("Ход назад")));
    QCOMPARE(focused(), w.forTests().Command2(3));
    QTest::keyClick(focused(), Qt::Key_Space);
    QCOMPARE(tileNode->text(QAccessible::Name), tileName);
    QCOMPARE(blankNode->text(QAccessible::Name),
             QStringLiteral("Празно поле, ред %1, колона %2").arg(blank->row).arg(blank->column));
    QCOMPARE(iface(w.forTests().Text2)->text(QAccessible::Value), QStringLiteral("0"));

    // The board size: Tab reaches the selected option, the arrow keys choose.
    QVERIFY(tabTo(QStringLiteral("4")));
    QTest::keyClick(focused(), Qt::Key_Down);
    QCOMPARE(nameOf(focused()), QStringLiteral("5"));
    QVERIFY(iface(focused())->state().checked);
    QCOMPARE(int(w.forTests().board->BoardSize), 5);
    const board_state::RowColumn at24 = board_state::rowColumn(*board_state::cellOf(w.forTests().Command1, 24), 5);
    QVERIFY(tabTo(QStringLiteral("Плочка 24, ред %1, колона %2").arg(at24.row + 1).arg(at24.column + 1)));
}

void tst_Accessibility::aMoveAnnouncesTheNewNames_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("click") << false;
    QTest::newRow("arrow key") << true;
}

// Screen readers learn of a move from name changes: the moved tile's and the
// blank's, each with its new cell. A take-back announces them too.
void tst_Accessibility::aMoveAnnouncesTheNewNames()
{
    QFETCH(bool, byKey);
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const board_state::Tiles &tiles = w.forTests().Command1;
    const qint16 tile = board_state::neighboursOfBlank(tiles).front();
    const int from = *board_state::cellOf(tiles, tile), to = *board_state::cellOf(tiles, 0);
    const auto name = [](qint16 k, int cell) {
        const board_state::RowColumn at = board_state::rowColumn(cell, 4);
        return QStringLiteral("%1, ред %2, колона %3")
            .arg(k == 0 ? QStringLiteral("Празно поле") : QStringLiteral("Плочка %1").arg(k))
            .arg(at.row + 1)
            .arg(at.column + 1);
    };
    QCOMPARE(nameOf(tiles(tile)), name(tile, from));

    // As when a screen reader is listening: only then are events sent.
    QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform);
    announced().clear();
    platform->setActive(true);
    QAccessible::installUpdateHandler(recordNameChange);
    if (byKey) {
        // The arrow that slides this tile into the blank, pressed on the blank.
        const board_state::RowColumn a = board_state::rowColumn(from, 4), b = board_state::rowColumn(to, 4);
        const Qt::Key key = a.row < b.row ? Qt::Key_Down : a.row > b.row ? Qt::Key_Up
                          : a.column < b.column ? Qt::Key_Right : Qt::Key_Left;
        QTest::keyClick(tiles(0), key);
    } else {
        QTest::mouseClick(tiles(tile), Qt::LeftButton);
    }
    const QList<QObject *> moved = announced();
    QCOMPARE(nameOf(tiles(tile)), name(tile, to));
    QCOMPARE(nameOf(tiles(0)), name(0, from));
    QTest::mouseClick(w.forTests().Command2(Board::MoveBackButton), Qt::LeftButton);
    const QList<QObject *> takenBack = announced().mid(moved.size());
    QAccessible::installUpdateHandler(nullptr);
    platform->setActive(false);

    for (const QList<QObject *> &changed : { moved, takenBack }) {
        QVERIFY2(changed.contains(tiles(tile)), "the moved tile's new name was not announced");
        QVERIFY2(changed.contains(tiles(0)), "the blank's new name was not announced");
    }
    QCOMPARE(nameOf(tiles(tile)), name(tile, from));
    QCOMPARE(nameOf(tiles(0)), name(0, to));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
