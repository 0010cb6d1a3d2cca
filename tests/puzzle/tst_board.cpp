// The game alone: its controls made here, as the window's design makes them,
// on a plain widget, and handed to the game. No window is involved; the
// board is read back from where the tile buttons stand (tests/board_state.h).

#include "tests/board_state.h"
#include "app/platform/random.h"
#include "puzzle/board.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

using board_state::arrangement;
using board_state::items;

namespace {

const std::vector<int> solved { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0 };
const std::vector<int> unsolvable { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 0 };
const QStringList solvedItems { "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12", "13", "14", "15", "0" };
const QStringList unsolvableItems { "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12", "13", "15", "14", "0" };

// The game's controls. The tiles of each board size are made as copies of
// the blank and removed again, as the window does when an option becomes
// selected; a click on a tile reaches the game as the window routes it.
class Table {
public:
    Table()
    {
        auto *blank = new CommandButton(&host);
        blank->place(120, 120, 500, 500);
        blank->setText(QStringLiteral("1"));
        Command1.add(0, blank);
        connectTile(0);
        for (qint16 i = 0; i <= 2; ++i) {
            auto *option = new OptionButton(QString::number(i + 3), &host);
            Option1.add(i, option);
            QObject::connect(option, &QAbstractButton::toggled, &host, [this, i](bool checked) {
                if (checked)
                    resize(i + 3);
            });
        }
        for (qint16 i = 0; i <= 3; ++i)
            List1.add(i, new ListBox(&host));
        for (const QString &item : solvedItems)
            List1(2)->AddItem(item);
        for (const QString &item : unsolvableItems)
            List1(3)->AddItem(item);
        Label3.place(2280, 480, 495, 495);
        Option1(1)->setChecked(true);
    }

    // Shown, so that real clicks reach the tiles.
    bool show()
    {
        host.show();
        return QTest::qWaitForWindowExposed(&host);
    }

    std::vector<int> shown() const { return arrangement(Command1); }
    std::optional<int> cellOf(qint16 tile) const { return board_state::cellOf(Command1, tile); }
    std::vector<qint16> neighbours() const { return board_state::neighboursOfBlank(Command1); }
    QString counter() const { return Text2.text(); }
    bool allEnabled(bool enabled) const
    {
        for (qint16 i : Command1.indexes())
            if (Command1(i)->isEnabled() != enabled)
                return false;
        return true;
    }

    QWidget host;
    ControlArray<CommandButton> Command1;
    ControlArray<OptionButton> Option1;
    ControlArray<ListBox> List1;
    ListBox List2 { &host };
    TextBox Text2 { &host };
    Label Label3 { &host };
    Random random;
    Board board { { Command1, Option1, List1, List2, Text2, Label3 }, random };

private:
    void resize(int n)
    {
        for (qint16 i : Command1.indexes())
            if (i != 0)
                Command1.Unload(i);
        board.BoardSize = qint16(n);
        for (qint16 i = 1; i < n * n; ++i) {
            Command1.Load(i);
            connectTile(i);
        }
        board.NewGame();
    }

    void connectTile(qint16 k)
    {
        QObject::connect(Command1(k), &QAbstractButton::clicked, &host, [this, k] { board.ClickTile(k); });
    }
};

std::vector<int> sorted(std::vector<int> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<int> range(int count)
{
    std::vector<int> v(std::size_t(count), 0);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4)); }

} // namespace

class tst_Board : public QObject {
    Q_OBJECT

private slots:
    // Board setup and new game
    void layOutArrangement_data();
    void layOutArrangement();
    void templateMovesTheBoard();
    void firstDraw_data();
    void firstDraw();
    void twoItemsLeft_data();
    void twoItemsLeft();
    void newGameAtEachSize_data();
    void newGameAtEachSize();
    void newGameMidGameStartsAfresh();
    void newGameAfterSolvedEnablesEveryTile();

    // Tile moves
    void neighbourMoves_data();
    void neighbourMoves();
    void nonNeighboursStay_data();
    void nonNeighboursStay();
    void touchTolerance_data();
    void touchTolerance();
    void edgeDistanceUsesTheLeftButtonsWidth();
    void blankIsIgnored();
    void counterAndHistoryText();
    void moveBackRightAfter();
    void tileSliding_data();
    void tileSliding();

    // Undo
    void undoWithNothingToTakeBack();
    void undoTakesBackInReverse();
    void thereAndBackIsRecordedTwice();
    void undoKeepsAnEntryThatDoesNotMove();

    // Preset arrangements
    void solvedFromEverySize_data();
    void solvedFromEverySize();
    void solvedFreezesTheBoard();
    void unsolvableAfterSolved();
    void presetsTwice_data();
    void presetsTwice();
    void sizeChangeAfterSolvedEnablesEveryTile();
    void otherCommandIndexesDoNothing();
    void unsolvablePlayAndTakeBack();

    void randomPlayKeepsTheBoardConsistent();
};

// ---- Board setup and new game

void tst_Board::layOutArrangement_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("cell");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    QTest::newRow("4x4 cell 0") << 4 << 0 << 2280.0f << 480.0f;
    QTest::newRow("4x4 cell 6") << 4 << 6 << 3270.0f << 975.0f;
    QTest::newRow("4x4 cell 15") << 4 << 15 << 3765.0f << 1965.0f;
    QTest::newRow("5x5 cell 24") << 5 << 24 << 4260.0f << 2460.0f;
    QTest::newRow("3x3 cell 5") << 3 << 5 << 3270.0f << 975.0f;
    QTest::newRow("5x5 cell 4") << 5 << 4 << 4260.0f << 480.0f;
    QTest::newRow("5x5 cell 9") << 5 << 9 << 4260.0f << 975.0f;
}

void tst_Board::layOutArrangement()
{
    QFETCH(int, size);
    QFETCH(int, cell);
    QFETCH(float, left);
    QFETCH(float, top);
    Table t;
    t.Option1(qint16(size - 3))->setChecked(true);
    QCOMPARE(int(t.board.BoardSize), size);
    CommandButton *tile = t.Command1(3);
    tile->hide();
    tile->setText(QStringLiteral("x"));
    tile->setEnabled(false);
    tile->setToolTip(QStringLiteral("3"));
    t.board.LayOutArrangement(qint16(cell), 3);
    QCOMPARE(tile->Left(), left);
    QCOMPARE(tile->Top(), top);
    QVERIFY(!tile->isHidden());
    QCOMPARE(tile->text(), QStringLiteral("3"));
    // Only place, visibility and caption change.
    QVERIFY(!tile->isEnabled());
    QCOMPARE(tile->Width(), 500.0f);
    QCOMPARE(tile->toolTip(), QStringLiteral("3"));
}

void tst_Board::templateMovesTheBoard()
{
    Table t;
    t.Label3.setLeft(1000);
    t.Label3.setTop(100);
    t.Label3.setWidth(520);
    t.board.ClickCommand(Board::NewGameButton);
    const std::vector<int> cells = arrangement(t.Command1, { 1000, 100, 520, 495 });
    QCOMPARE(cells.size(), std::size_t(16));
    const qint16 inCell6 = qint16(cells[6]);
    QCOMPARE(t.Command1(inCell6)->Left(), 1000.0f + 2 * 520);
    QCOMPARE(t.Command1(inCell6)->Top(), 100.0f + 495);
}

void tst_Board::firstDraw_data()
{
    QTest::addColumn<float>("u");
    QTest::addColumn<int>("tile");
    QTest::newRow("r 99.5 gives 100, 100 mod 16 = 4") << 0.995f << 4;
    QTest::newRow("r 99.9 gives 100") << 0.999f << 4;
    QTest::newRow("r 99 gives 99 mod 16 = 3") << 0.99f << 3;
    QTest::newRow("r 0.5 gives 0") << 0.005f << 0;
    QTest::newRow("r 2.5 gives 2") << 0.025f << 2;
    QTest::newRow("r 3.5 gives 4") << 0.035f << 4;
    QTest::newRow("r 15 gives 15") << 0.15f << 15;
    QTest::newRow("r 16 gives 0") << 0.16f << 0;
    QTest::newRow("largest value below 1") << 0.99999994f << 4;
}

void tst_Board::firstDraw()
{
    QFETCH(float, u);
    QFETCH(int, tile);
    Table t;
    t.random.feed({ u });
    t.board.ClickCommand(Board::NewGameButton);
    QCOMPARE(t.List1(1)->List(0), QString::number(tile));
    QCOMPARE(t.shown()[0], tile);
}

void tst_Board::twoItemsLeft_data()
{
    QTest::addColumn<float>("u");
    QTest::addColumn<QStringList>("lastTwo");
    QTest::newRow("R 2 even: first") << 0.02f << QStringList({ "7", "8" });
    QTest::newRow("R 3 odd: second") << 0.03f << QStringList({ "8", "7" });
    QTest::newRow("R 100 even: first") << 0.9999f << QStringList({ "7", "8" });
}

void tst_Board::twoItemsLeft()
{
    QFETCH(float, u);
    QFETCH(QStringList, lastTwo);
    Table t;
    t.Option1(0)->setChecked(true);
    // Seven draws of 0 take "0" to "6" in order; the eighth chooses between
    // "7" and "8"; the last is moved without a draw.
    std::deque<float> values(7, 0.0f);
    values.push_back(u);
    values.push_back(0.5f); // must stay unused
    t.random.feed(values);
    const std::uint64_t before = t.random.drawn();
    t.board.ClickCommand(Board::NewGameButton);
    QCOMPARE(t.random.drawn() - before, std::uint64_t(8));
    QCOMPARE(t.random.pending(), std::size_t(1));
    QCOMPARE(items(*t.List1(1)).mid(7), lastTwo);
}

void tst_Board::newGameAtEachSize_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("size");
    QTest::newRow("3x3") << 0 << 3;
    QTest::newRow("4x4") << 1 << 4;
    QTest::newRow("5x5") << 2 << 5;
}

void tst_Board::newGameAtEachSize()
{
    QFETCH(int, option);
    QFETCH(int, size);
    Table t;
    t.Option1(qint16(option))->setChecked(true);
    for (int game = 0; game < 20; ++game) {
        const std::uint64_t before = t.random.drawn();
        t.board.ClickCommand(Board::NewGameButton);
        QCOMPARE(t.random.drawn() - before, std::uint64_t(size * size - 1));
        const std::vector<int> dealt = arrangement(*t.List1(1));
        QCOMPARE(sorted(dealt), range(size * size));
        QCOMPARE(t.shown(), dealt);
        QCOMPARE(t.List1(0)->ListCount(), 0);
        QCOMPARE(t.counter(), QStringLiteral("0"));
        QVERIFY(t.allEnabled(true));
        for (qint16 i : t.Command1.indexes())
            QCOMPARE(t.Command1(i)->text(), QString::number(i));
    }
}

void tst_Board::newGameMidGameStartsAfresh()
{
    Table t;
    for (int i = 0; i < 5; ++i)
        t.board.ClickTile(t.neighbours().front());
    QCOMPARE(t.counter(), QStringLiteral("5"));
    t.board.ClickCommand(Board::NewGameButton);
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
    QCOMPARE(t.shown(), arrangement(*t.List1(1)));
}

void tst_Board::newGameAfterSolvedEnablesEveryTile()
{
    Table t;
    t.board.ClickCommand(Board::SolutionButton);
    QVERIFY(t.allEnabled(false));
    t.board.ClickCommand(Board::NewGameButton);
    QVERIFY(t.allEnabled(true));
}

// ---- Tile moves. "Нерешима" puts the blank bottom right, tile 14 to its
// left, 12 above it, 15 two cells away and 11 diagonal.

void tst_Board::neighbourMoves_data()
{
    QTest::addColumn<int>("tile");
    QTest::addColumn<int>("fromCell");
    QTest::newRow("from the left") << 14 << 14;
    QTest::newRow("from above") << 12 << 11;
}

void tst_Board::neighbourMoves()
{
    QFETCH(int, tile);
    QFETCH(int, fromCell);
    Table t;
    QVERIFY(t.show());
    t.board.ClickCommand(Board::UnsolvableButton);
    QCOMPARE(t.shown(), unsolvable);
    click(t.Command1(qint16(tile)));
    QCOMPARE(t.cellOf(qint16(tile)), std::optional<int>(15));
    QCOMPARE(t.cellOf(0), std::optional<int>(fromCell));
    QCOMPARE(t.counter(), QStringLiteral("1"));
    QCOMPARE(items(t.List2), QStringList({ QString::number(tile) }));
    QCOMPARE(t.board.TileMoved, qint16(-1));
}

void tst_Board::nonNeighboursStay_data()
{
    QTest::addColumn<int>("tile");
    QTest::newRow("two cells away in the row") << 15;
    QTest::newRow("two cells away in the column") << 8;
    QTest::newRow("diagonal") << 11;
    QTest::newRow("far corner") << 1;
}

void tst_Board::nonNeighboursStay()
{
    QFETCH(int, tile);
    Table t;
    QVERIFY(t.show());
    t.board.ClickCommand(Board::UnsolvableButton);
    t.board.TileMoved = -1;
    click(t.Command1(qint16(tile)));
    QCOMPARE(t.shown(), unsolvable);
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
    QCOMPARE(t.board.TileMoved, qint16(0));
}

// With 500-twip tiles, a cell pitch p leaves facing edges |500 - p| apart.
void tst_Board::touchTolerance_data()
{
    QTest::addColumn<float>("pitch");
    QTest::addColumn<bool>("moves");
    QTest::newRow("overlap 5 (design)") << 495.0f << true;
    QTest::newRow("edges meet") << 500.0f << true;
    QTest::newRow("gap 49") << 549.0f << true;
    QTest::newRow("gap 50") << 550.0f << false;
    QTest::newRow("overlap 49") << 451.0f << true;
    QTest::newRow("overlap 50") << 450.0f << false;
}

void tst_Board::touchTolerance()
{
    QFETCH(float, pitch);
    QFETCH(bool, moves);
    Table t;
    t.Label3.setWidth(pitch);
    t.Label3.setHeight(pitch);
    const board_state::Grid grid { 2280, 480, pitch, pitch };
    t.board.ClickCommand(Board::UnsolvableButton);
    t.board.ClickTile(14); // along the row
    QCOMPARE(board_state::cellOf(t.Command1, 14, grid), std::optional<int>(moves ? 15 : 14));
    t.board.ClickCommand(Board::UnsolvableButton);
    t.board.ClickTile(12); // along the column
    QCOMPARE(board_state::cellOf(t.Command1, 12, grid), std::optional<int>(moves ? 15 : 11));
    QCOMPARE(t.counter(), moves ? QStringLiteral("1") : QStringLiteral("0"));
}

// Each distance adds the width of whichever button lies on the left: with a
// narrow blank, the tile on its left still touches it, the one on its
// right no longer does.
void tst_Board::edgeDistanceUsesTheLeftButtonsWidth()
{
    Table t;
    t.board.ClickCommand(Board::UnsolvableButton);
    t.board.ClickTile(14); // blank now in cell 14, tile 13 left, 14 right
    t.Command1(0)->setWidth(400);
    t.board.ClickTile(14);
    QCOMPARE(t.cellOf(14), std::optional<int>(15));
    QCOMPARE(t.board.TileMoved, qint16(0));
    t.board.ClickTile(15); // cell 13: its right edge 5 twips into the blank
    QCOMPARE(t.cellOf(15), std::optional<int>(14));
    QCOMPARE(t.cellOf(0), std::optional<int>(13));
}

void tst_Board::blankIsIgnored()
{
    Table t;
    QVERIFY(t.show());
    const std::vector<int> before = t.shown();
    t.board.TileMoved = -1;
    click(t.Command1(0));
    QCOMPARE(t.board.TileMoved, qint16(-1)); // the move rule was not asked
    QCOMPARE(t.shown(), before);
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
    // Asked for the blank itself, the rule finds both distances 500.
    t.board.MoveTile(0);
    QCOMPARE(t.board.TileMoved, qint16(0));
    QCOMPARE(t.shown(), before);
}

void tst_Board::counterAndHistoryText()
{
    Table t;
    t.board.ClickCommand(Board::UnsolvableButton);
    t.board.ClickTile(14);
    t.board.ClickTile(14);
    t.Text2.setText(QStringLiteral("12"));
    t.board.ClickTile(12);
    QCOMPARE(t.counter(), QStringLiteral("13"));
    QCOMPARE(items(t.List2), QStringList({ "14", "14", "12" }));
}

void tst_Board::moveBackRightAfter()
{
    Table t;
    const std::vector<int> before = t.shown();
    for (qint16 tile : t.neighbours()) {
        t.board.MoveTile(tile);
        QCOMPARE(t.board.TileMoved, qint16(-1));
        QVERIFY(t.shown() != before);
        t.board.MoveTile(tile);
        QCOMPARE(t.board.TileMoved, qint16(-1));
        QCOMPARE(t.shown(), before);
    }
    // The rule alone neither counts nor records.
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
}

// The tile an arrow slides into the blank, with the blank in a corner, on
// an edge and inside, on each board size. The board is laid out in order
// with the blank moved into the given cell: tile k then stands in cell k-1
// before the blank's cell and in cell k from it on.
void tst_Board::tileSliding_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("blank");
    QTest::addColumn<QList<int>>("slides"); // for Right, Left, Down, Up; -1 for none
    // Right takes the tile on the blank's left, Left the one on its right,
    // Down the one above, Up the one below.
    QTest::newRow("3x3 top left") << 3 << 0 << QList<int> { -1, 1, -1, 3 };
    QTest::newRow("3x3 middle") << 3 << 4 << QList<int> { 4, 5, 2, 7 };
    QTest::newRow("3x3 bottom right") << 3 << 8 << QList<int> { 8, -1, 6, -1 };
    QTest::newRow("4x4 top edge") << 4 << 2 << QList<int> { 2, 3, -1, 6 };
    QTest::newRow("4x4 left edge") << 4 << 8 << QList<int> { -1, 9, 5, 12 };
    QTest::newRow("4x4 right edge") << 4 << 7 << QList<int> { 7, -1, 4, 11 };
    QTest::newRow("4x4 bottom edge") << 4 << 13 << QList<int> { 13, 14, 10, -1 };
    QTest::newRow("4x4 bottom right") << 4 << 15 << QList<int> { 15, -1, 12, -1 };
    QTest::newRow("5x5 top right") << 5 << 4 << QList<int> { 4, -1, -1, 9 };
    QTest::newRow("5x5 inside") << 5 << 12 << QList<int> { 12, 13, 8, 17 };
    QTest::newRow("5x5 bottom left") << 5 << 20 << QList<int> { -1, 21, 16, -1 };
}

void tst_Board::tileSliding()
{
    QFETCH(int, size);
    QFETCH(int, blank);
    QFETCH(QList<int>, slides);
    Table t;
    t.Option1(qint16(size - 3))->setChecked(true);
    for (int cell = 0, k = 1; cell < size * size; ++cell)
        t.board.LayOutArrangement(qint16(cell), qint16(cell == blank ? 0 : k++));
    QCOMPARE(t.cellOf(0), std::optional<int>(blank));
    const Arrow arrows[] = { Arrow::Right, Arrow::Left, Arrow::Down, Arrow::Up };
    for (int i = 0; i < 4; ++i)
        QCOMPARE(int(t.board.TileSliding(arrows[i])), slides[i]);
    // Asking changes nothing.
    QCOMPARE(t.cellOf(0), std::optional<int>(blank));
    QCOMPARE(t.counter(), QStringLiteral("0"));
}

// ---- Undo

void tst_Board::undoWithNothingToTakeBack()
{
    Table t;
    for (qint16 action : { Board::NewGameButton, Board::UnsolvableButton, Board::SolutionButton }) {
        t.board.ClickCommand(action);
        const std::vector<int> before = t.shown();
        t.board.ClickCommand(Board::MoveBackButton);
        QCOMPARE(t.shown(), before);
        QCOMPARE(t.counter(), QStringLiteral("0"));
    }
}

void tst_Board::undoTakesBackInReverse()
{
    Table t;
    QVERIFY(t.show());
    t.board.ClickCommand(Board::UnsolvableButton);
    std::vector<std::vector<int>> boards { t.shown() };
    for (qint16 tile : { qint16(12), qint16(8), qint16(7) }) {
        click(t.Command1(tile));
        boards.push_back(t.shown());
    }
    QCOMPARE(t.counter(), QStringLiteral("3"));
    QCOMPARE(items(t.List2), QStringList({ "12", "8", "7" }));
    for (int expected = 2; expected >= 0; --expected) {
        t.board.ClickCommand(Board::MoveBackButton);
        QCOMPARE(t.shown(), boards[std::size_t(expected)]);
        QCOMPARE(t.counter(), QString::number(expected));
        QCOMPARE(t.List2.ListCount(), expected);
    }
    QCOMPARE(t.shown(), unsolvable);
    t.board.ClickCommand(Board::MoveBackButton);
    QCOMPARE(t.shown(), unsolvable);
    QCOMPARE(t.counter(), QStringLiteral("0"));
}

void tst_Board::thereAndBackIsRecordedTwice()
{
    Table t;
    t.board.ClickCommand(Board::UnsolvableButton);
    t.board.ClickTile(12);
    const std::vector<int> afterFirst = t.shown();
    t.board.ClickTile(12);
    QCOMPARE(items(t.List2), QStringList({ "12", "12" }));
    QCOMPARE(t.shown(), unsolvable);
    t.board.ClickCommand(Board::MoveBackButton);
    QCOMPARE(t.shown(), afterFirst);
    t.board.ClickCommand(Board::MoveBackButton);
    QCOMPARE(t.shown(), unsolvable);
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
}

void tst_Board::undoKeepsAnEntryThatDoesNotMove()
{
    Table t;
    t.board.ClickCommand(Board::UnsolvableButton);
    t.List2.AddItem(QStringLiteral("1")); // tile 1 is nowhere near the blank
    t.Text2.setText(QStringLiteral("1"));
    t.board.ClickCommand(Board::MoveBackButton);
    QCOMPARE(t.shown(), unsolvable);
    QCOMPARE(items(t.List2), QStringList({ "1" }));
    QCOMPARE(t.counter(), QStringLiteral("1"));
    QCOMPARE(t.board.TileMoved, qint16(0));
}

// ---- Preset arrangements

void tst_Board::solvedFromEverySize_data()
{
    QTest::addColumn<int>("option");
    QTest::newRow("from 3x3") << 0;
    QTest::newRow("from 4x4") << 1;
    QTest::newRow("from 5x5") << 2;
}

// The preset selects "4" first, and the board of that size is made before
// it is laid out.
void tst_Board::solvedFromEverySize()
{
    QFETCH(int, option);
    Table t;
    t.Option1(qint16(option))->setChecked(true);
    t.board.ClickTile(t.neighbours().front());
    t.board.ClickCommand(Board::SolutionButton);
    QVERIFY(t.Option1(1)->isChecked());
    QCOMPARE(t.board.BoardSize, qint16(4));
    QCOMPARE(t.Command1.count(), std::size_t(16));
    QCOMPARE(t.shown(), solved);
    QVERIFY(t.allEnabled(false));
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
    // Bottom row at Top 1965: 13, 14, 15 and the blank.
    const float lefts[] = { 2280, 2775, 3270, 3765 };
    const qint16 bottom[] = { 13, 14, 15, 0 };
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(t.Command1(bottom[i])->Left(), lefts[i]);
        QCOMPARE(t.Command1(bottom[i])->Top(), 1965.0f);
    }
    QCOMPARE(t.Command1(1)->Left(), 2280.0f);
    QCOMPARE(t.Command1(1)->Top(), 480.0f);
    QCOMPARE(t.Command1(0)->text(), QStringLiteral("0"));
}

void tst_Board::solvedFreezesTheBoard()
{
    Table t;
    QVERIFY(t.show());
    t.board.ClickCommand(Board::SolutionButton);
    for (qint16 tile = 0; tile <= 15; ++tile)
        click(t.Command1(tile));
    QCOMPARE(t.shown(), solved);
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
    t.board.ClickCommand(Board::MoveBackButton);
    QCOMPARE(t.shown(), solved);
}

void tst_Board::unsolvableAfterSolved()
{
    Table t;
    t.board.ClickCommand(Board::SolutionButton);
    t.board.ClickCommand(Board::UnsolvableButton);
    QVERIFY(t.allEnabled(true));
    QCOMPARE(t.shown(), unsolvable);
    QCOMPARE(t.Command1(15)->Left(), 2775.0f);
    QCOMPARE(t.Command1(14)->Left(), 3270.0f);
    QCOMPARE(t.Command1(0)->Left(), 3765.0f);
    QCOMPARE(t.Command1(0)->Top(), 1965.0f);
}

void tst_Board::presetsTwice_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("Нерешима") << int(Board::UnsolvableButton);
    QTest::newRow("Решение") << int(Board::SolutionButton);
}

// Moves made in between are forgotten too.
void tst_Board::presetsTwice()
{
    QFETCH(int, button);
    Table t;
    t.board.ClickCommand(qint16(button));
    const std::vector<int> once = t.shown();
    const bool enabled = t.Command1(0)->isEnabled();
    const std::uint64_t drawn = t.random.drawn();
    t.board.ClickTile(t.neighbours().front());
    t.board.ClickCommand(qint16(button));
    QCOMPARE(t.shown(), once);
    QCOMPARE(t.Command1(0)->isEnabled(), enabled);
    QVERIFY(t.allEnabled(enabled));
    QCOMPARE(t.counter(), QStringLiteral("0"));
    QCOMPARE(t.List2.ListCount(), 0);
    // On a 4x4 board the presets deal nothing.
    QCOMPARE(t.random.drawn(), drawn);
}

void tst_Board::sizeChangeAfterSolvedEnablesEveryTile()
{
    Table t;
    t.board.ClickCommand(Board::SolutionButton);
    QVERIFY(!t.Command1(0)->isEnabled());
    t.Option1(2)->setChecked(true);
    QCOMPARE(t.Command1.count(), std::size_t(25));
    QVERIFY(t.allEnabled(true));
}

void tst_Board::otherCommandIndexesDoNothing()
{
    Table t;
    t.board.ClickTile(t.neighbours().front());
    const std::vector<int> before = t.shown();
    const std::uint64_t drawn = t.random.drawn();
    for (qint16 index : { qint16(4), qint16(-1), qint16(32767) })
        t.board.ClickCommand(index);
    QCOMPARE(t.shown(), before);
    QCOMPARE(t.counter(), QStringLiteral("1"));
    QCOMPARE(t.random.drawn(), drawn);
}

void tst_Board::unsolvablePlayAndTakeBack()
{
    Table t;
    t.Option1(0)->setChecked(true);
    t.board.ClickCommand(Board::UnsolvableButton);
    QCOMPARE(t.shown(), unsolvable);
    for (int i = 0; i < 30; ++i)
        t.board.ClickTile(t.neighbours()[std::size_t(i % 2)]);
    QCOMPARE(t.counter(), QStringLiteral("30"));
    for (int i = 0; i < 35; ++i)
        t.board.ClickCommand(Board::MoveBackButton);
    QCOMPARE(t.shown(), unsolvable);
    QCOMPARE(t.counter(), QStringLiteral("0"));
}

// Random clicks on tiles, buttons and options, with the invariants checked
// after each: the counter equals the history's length, tiles 0..n*n-1 and
// no others stand on distinct cells, and the whole history taken back
// restores the game's starting arrangement.
void tst_Board::randomPlayKeepsTheBoardConsistent()
{
    const quint32 seed = qEnvironmentVariableIsSet("PUZZLE15_SEED") ? quint32(qEnvironmentVariableIntValue("PUZZLE15_SEED"))
                                                                    : QRandomGenerator::global()->generate();
    qInfo("random play seed %u (set PUZZLE15_SEED to repeat)", seed);
    QRandomGenerator random(seed);
    Table t;
    QVERIFY(t.show());
    std::vector<int> start = t.shown();

    for (int step = 0; step < 3000; ++step) {
        const int n = t.board.BoardSize;
        const int action = random.bounded(100);
        if (action < 70) {
            // Mostly neighbours of the blank, so that games get long.
            const std::vector<qint16> near = t.neighbours();
            const qint16 tile = random.bounded(3) ? near[std::size_t(random.bounded(int(near.size())))]
                                                  : qint16(random.bounded(n * n));
            click(t.Command1(tile));
        } else if (action < 85) {
            t.board.ClickCommand(Board::MoveBackButton);
        } else if (action < 90) {
            t.board.ClickCommand(Board::NewGameButton);
            start = t.shown();
        } else if (action < 95) {
            t.board.ClickCommand(qint16(Board::UnsolvableButton + random.bounded(2)));
            start = t.shown();
        } else {
            click(t.Option1(qint16(random.bounded(3))));
            if (t.List2.ListCount() == 0)
                start = t.shown();
        }

        const int size = t.board.BoardSize;
        QVERIFY2(t.counter() == QString::number(t.List2.ListCount()), qPrintable(QString::number(step)));
        QCOMPARE(t.Command1.count(), std::size_t(size * size));
        QVERIFY(t.Command1.exists(qint16(size * size - 1)));
        const std::vector<int> cells = t.shown();
        QVERIFY2(!cells.empty(), qPrintable(QStringLiteral("tiles off the grid at step %1").arg(step)));
        QCOMPARE(sorted(cells), range(size * size));
        QVERIFY(t.Option1(qint16(size - 3))->isChecked());

        if (random.bounded(200) == 0) {
            while (t.List2.ListCount() > 0)
                t.board.ClickCommand(Board::MoveBackButton);
            QCOMPARE(t.shown(), start);
            QCOMPARE(t.counter(), QStringLiteral("0"));
            t.board.ClickCommand(Board::NewGameButton);
            start = t.shown();
        }
    }
}

QTEST_MAIN(tst_Board)
#include "tst_board.moc"
