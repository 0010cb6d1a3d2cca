#include "tests/board_state.h"
#include "app/main_window.h"

#include <QRandomGenerator>
#include <QTest>

using board_state::arrangement;
using board_state::items;

namespace {

const std::vector<int> solved { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0 };
const std::vector<int> unsolvable { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 0 };

std::vector<int> sorted(std::vector<int> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<int> range(int count)
{
    std::vector<int> v(count);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

bool allEnabled(MainWindow &w, bool enabled)
{
    for (qint16 i : w.forTests().Command1.indexes())
        if (w.forTests().Command1(i)->isEnabled() != enabled)
            return false;
    return true;
}

void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4)); }

} // namespace

class tst_Board : public QObject {
    Q_OBJECT

private slots:
    // As the program does, once, before it makes its window.
    void initTestCase() { MainWindow::prepareApplication(); }
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
}

void tst_Board::layOutArrangement()
{
    QFETCH(int, size);
    QFETCH(int, cell);
    QFETCH(float, left);
    QFETCH(float, top);
    MainWindow w;
    w.load();
    w.forTests().Option1(qint16(size - 3))->setChecked(true);
    QCOMPARE(int(w.forTests().board->BoardSize), size);
    CommandButton *tile = w.forTests().Command1(3);
    tile->hide();
    tile->setText(QStringLiteral("x"));
    tile->setEnabled(false);
    w.forTests().board->LayOutArrangement(qint16(cell), 3);
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
    MainWindow w;
    w.load();
    w.forTests().Label3->setLeft(1000);
    w.forTests().Label3->setTop(100);
    w.forTests().Label3->setWidth(520);
    w.Command2_Click(0);
    const std::vector<int> cells = arrangement(w);
    QCOMPARE(cells.size(), std::size_t(16));
    const qint16 inCell6 = qint16(cells[6]);
    QCOMPARE(w.forTests().Command1(inCell6)->Left(), 1000.0f + 2 * 520);
    QCOMPARE(w.forTests().Command1(inCell6)->Top(), 100.0f + 495);
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
    MainWindow w;
    w.load();
    w.forTests().random.feed({ u });
    w.Command2_Click(0);
    QCOMPARE(w.forTests().List1(1)->List(0), QString::number(tile));
    QCOMPARE(arrangement(w)[0], tile);
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
    MainWindow w;
    w.load();
    w.forTests().Option1(0)->setChecked(true);
    // Seven draws of 0 take "0" to "6" in order; the eighth chooses between
    // "7" and "8"; the last is moved without a draw.
    std::deque<float> values(7, 0.0f);
    values.push_back(u);
    values.push_back(0.5f); // must stay unused
    w.forTests().random.feed(values);
    const std::uint64_t before = w.forTests().random.drawn();
    w.Command2_Click(0);
    QCOMPARE(w.forTests().random.drawn() - before, std::uint64_t(8));
    QCOMPARE(w.forTests().random.pending(), std::size_t(1));
    QCOMPARE(items(*w.forTests().List1(1)).mid(7), lastTwo);
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
    MainWindow w;
    w.load();
    w.forTests().Option1(qint16(option))->setChecked(true);
    for (int game = 0; game < 20; ++game) {
        const std::uint64_t before = w.forTests().random.drawn();
        w.Command2_Click(0);
        QCOMPARE(w.forTests().random.drawn() - before, std::uint64_t(size * size - 1));
        const std::vector<int> dealt = board_state::arrangement(*w.forTests().List1(1));
        QCOMPARE(sorted(dealt), range(size * size));
        QCOMPARE(arrangement(w), dealt);
        QCOMPARE(w.forTests().List1(0)->ListCount(), 0);
        QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
        QVERIFY(allEnabled(w, true));
        for (qint16 i : w.forTests().Command1.indexes())
            QCOMPARE(w.forTests().Command1(i)->text(), QString::number(i));
    }
}

void tst_Board::newGameMidGameStartsAfresh()
{
    MainWindow w;
    w.load();
    for (int i = 0; i < 5; ++i)
        w.Command1_Click(board_state::neighboursOfBlank(w).front());
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("5"));
    click(w.forTests().Command2(0));
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    QCOMPARE(arrangement(w), board_state::arrangement(*w.forTests().List1(1)));
}

void tst_Board::newGameAfterSolvedEnablesEveryTile()
{
    MainWindow w;
    w.load();
    w.Command2_Click(2);
    QVERIFY(allEnabled(w, false));
    click(w.forTests().Command2(0)); // the command buttons stay enabled
    QVERIFY(allEnabled(w, true));
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
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    click(w.forTests().Command2(1));
    QCOMPARE(arrangement(w), unsolvable);
    click(w.forTests().Command1(qint16(tile)));
    QCOMPARE(board_state::cellOf(w, qint16(tile)), std::optional<int>(15));
    QCOMPARE(board_state::cellOf(w, 0), std::optional<int>(fromCell));
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("1"));
    QCOMPARE(items(*w.forTests().List2), QStringList({ QString::number(tile) }));
    QCOMPARE(w.forTests().board->TileMoved, qint16(-1));
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
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    click(w.forTests().Command2(1));
    w.forTests().board->TileMoved = -1;
    click(w.forTests().Command1(qint16(tile)));
    QCOMPARE(arrangement(w), unsolvable);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    QCOMPARE(w.forTests().board->TileMoved, qint16(0));
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
    MainWindow w;
    w.load();
    w.forTests().Label3->setWidth(pitch);
    w.forTests().Label3->setHeight(pitch);
    w.Command2_Click(1);
    w.Command1_Click(14); // along the row
    QCOMPARE(board_state::cellOf(w, 14), std::optional<int>(moves ? 15 : 14));
    w.Command2_Click(1);
    w.Command1_Click(12); // along the column
    QCOMPARE(board_state::cellOf(w, 12), std::optional<int>(moves ? 15 : 11));
    QCOMPARE(w.forTests().Text2->text(), moves ? QStringLiteral("1") : QStringLiteral("0"));
}

// Each distance adds the width of whichever button lies on the left: with a
// narrow blank, the tile on its left still touches it, the one on its
// right no longer does.
void tst_Board::edgeDistanceUsesTheLeftButtonsWidth()
{
    MainWindow w;
    w.load();
    w.Command2_Click(1);
    w.Command1_Click(14); // blank now in cell 14, tile 13 left, 14 right
    CommandButton *blank = w.forTests().Command1(0);
    blank->setWidth(400);
    w.Command1_Click(14);
    QCOMPARE(board_state::cellOf(w, 14), std::optional<int>(15));
    QCOMPARE(w.forTests().board->TileMoved, qint16(0));
    w.Command1_Click(15); // cell 13: its right edge 5 twips into the blank
    QCOMPARE(board_state::cellOf(w, 15), std::optional<int>(14));
    QCOMPARE(board_state::cellOf(w, 0), std::optional<int>(13));
}

void tst_Board::blankIsIgnored()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const std::vector<int> before = arrangement(w);
    w.forTests().board->TileMoved = -1;
    click(w.forTests().Command1(0));
    QCOMPARE(w.forTests().board->TileMoved, qint16(-1)); // the move rule was not asked
    QCOMPARE(arrangement(w), before);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    // Asked for the blank itself, the rule finds both distances 500.
    w.forTests().board->MoveTile(0);
    QCOMPARE(w.forTests().board->TileMoved, qint16(0));
    QCOMPARE(arrangement(w), before);
}

void tst_Board::counterAndHistoryText()
{
    MainWindow w;
    w.load();
    w.Command2_Click(1);
    w.Command1_Click(14);
    w.Command1_Click(14);
    w.forTests().Text2->setText(QStringLiteral("12"));
    w.Command1_Click(12);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("13"));
    QCOMPARE(items(*w.forTests().List2), QStringList({ "14", "14", "12" }));
}

void tst_Board::moveBackRightAfter()
{
    MainWindow w;
    w.load();
    const std::vector<int> before = arrangement(w);
    for (qint16 tile : board_state::neighboursOfBlank(w)) {
        w.forTests().board->MoveTile(tile);
        QCOMPARE(w.forTests().board->TileMoved, qint16(-1));
        QVERIFY(arrangement(w) != before);
        w.forTests().board->MoveTile(tile);
        QCOMPARE(w.forTests().board->TileMoved, qint16(-1));
        QCOMPARE(arrangement(w), before);
    }
    // The rule alone neither counts nor records.
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
}

// ---- Undo

void tst_Board::undoWithNothingToTakeBack()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (qint16 action : { 0, 1, 2 }) {
        click(w.forTests().Command2(action));
        const std::vector<int> before = arrangement(w);
        click(w.forTests().Command2(3));
        QCOMPARE(arrangement(w), before);
        QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    }
}

void tst_Board::undoTakesBackInReverse()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    click(w.forTests().Command2(1));
    std::vector<std::vector<int>> boards { arrangement(w) };
    for (qint16 tile : { 12, 8, 7 }) {
        click(w.forTests().Command1(tile));
        boards.push_back(arrangement(w));
    }
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("3"));
    QCOMPARE(items(*w.forTests().List2), QStringList({ "12", "8", "7" }));
    for (int expected = 2; expected >= 0; --expected) {
        click(w.forTests().Command2(3));
        QCOMPARE(arrangement(w), boards[expected]);
        QCOMPARE(w.forTests().Text2->text(), QString::number(expected));
        QCOMPARE(w.forTests().List2->ListCount(), expected);
    }
    QCOMPARE(arrangement(w), unsolvable);
    click(w.forTests().Command2(3));
    QCOMPARE(arrangement(w), unsolvable);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
}

void tst_Board::thereAndBackIsRecordedTwice()
{
    MainWindow w;
    w.load();
    w.Command2_Click(1);
    w.Command1_Click(12);
    const std::vector<int> afterFirst = arrangement(w);
    w.Command1_Click(12);
    QCOMPARE(items(*w.forTests().List2), QStringList({ "12", "12" }));
    QCOMPARE(arrangement(w), unsolvable);
    w.Command2_Click(3);
    QCOMPARE(arrangement(w), afterFirst);
    w.Command2_Click(3);
    QCOMPARE(arrangement(w), unsolvable);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
}

void tst_Board::undoKeepsAnEntryThatDoesNotMove()
{
    MainWindow w;
    w.load();
    w.Command2_Click(1);
    w.forTests().List2->AddItem(QStringLiteral("1")); // tile 1 is nowhere near the blank
    w.forTests().Text2->setText(QStringLiteral("1"));
    w.Command2_Click(3);
    QCOMPARE(arrangement(w), unsolvable);
    QCOMPARE(items(*w.forTests().List2), QStringList({ "1" }));
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("1"));
    QCOMPARE(w.forTests().board->TileMoved, qint16(0));
}

// ---- Preset arrangements

void tst_Board::solvedFromEverySize_data()
{
    QTest::addColumn<int>("option");
    QTest::newRow("from 3x3") << 0;
    QTest::newRow("from 4x4") << 1;
    QTest::newRow("from 5x5") << 2;
}

void tst_Board::solvedFromEverySize()
{
    QFETCH(int, option);
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    click(w.forTests().Option1(qint16(option)));
    w.Command1_Click(board_state::neighboursOfBlank(w).front());
    click(w.forTests().Command2(2));
    QVERIFY(w.forTests().Option1(1)->isChecked());
    QCOMPARE(w.forTests().board->BoardSize, qint16(4));
    QCOMPARE(w.forTests().Command1.count(), std::size_t(16));
    QCOMPARE(arrangement(w), solved);
    QVERIFY(allEnabled(w, false));
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    // Bottom row at Top 1965: 13, 14, 15 and the blank.
    const float lefts[] = { 2280, 2775, 3270, 3765 };
    const qint16 bottom[] = { 13, 14, 15, 0 };
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(w.forTests().Command1(bottom[i])->Left(), lefts[i]);
        QCOMPARE(w.forTests().Command1(bottom[i])->Top(), 1965.0f);
    }
    QCOMPARE(w.forTests().Command1(1)->Left(), 2280.0f);
    QCOMPARE(w.forTests().Command1(1)->Top(), 480.0f);
    QCOMPARE(w.forTests().Command1(0)->text(), QStringLiteral("0"));
}

void tst_Board::solvedFreezesTheBoard()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    click(w.forTests().Command2(2));
    for (qint16 tile = 0; tile <= 15; ++tile)
        click(w.forTests().Command1(tile));
    QCOMPARE(arrangement(w), solved);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    click(w.forTests().Command2(3));
    QCOMPARE(arrangement(w), solved);
}

void tst_Board::unsolvableAfterSolved()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    click(w.forTests().Command2(2));
    click(w.forTests().Command2(1));
    QVERIFY(allEnabled(w, true));
    QCOMPARE(arrangement(w), unsolvable);
    QCOMPARE(w.forTests().Command1(15)->Left(), 2775.0f);
    QCOMPARE(w.forTests().Command1(14)->Left(), 3270.0f);
    QCOMPARE(w.forTests().Command1(0)->Left(), 3765.0f);
    QCOMPARE(w.forTests().Command1(0)->Top(), 1965.0f);
}

void tst_Board::presetsTwice_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("Нерешима") << 1;
    QTest::newRow("Решение") << 2;
}

void tst_Board::presetsTwice()
{
    QFETCH(int, button);
    MainWindow w;
    w.load();
    w.Command2_Click(qint16(button));
    const std::vector<int> once = arrangement(w);
    const bool enabled = w.forTests().Command1(0)->isEnabled();
    const std::uint64_t drawn = w.forTests().random.drawn();
    w.Command2_Click(qint16(button));
    QCOMPARE(arrangement(w), once);
    QCOMPARE(w.forTests().Command1(0)->isEnabled(), enabled);
    QVERIFY(allEnabled(w, enabled));
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
    QCOMPARE(w.forTests().List2->ListCount(), 0);
    // On a 4x4 board the presets deal nothing.
    QCOMPARE(w.forTests().random.drawn(), drawn);
}

void tst_Board::sizeChangeAfterSolvedEnablesEveryTile()
{
    MainWindow w;
    w.load();
    w.Command2_Click(2);
    QVERIFY(!w.forTests().Command1(0)->isEnabled());
    w.forTests().Option1(2)->setChecked(true);
    QCOMPARE(w.forTests().Command1.count(), std::size_t(25));
    QVERIFY(allEnabled(w, true));
}

void tst_Board::otherCommandIndexesDoNothing()
{
    MainWindow w;
    w.load();
    w.Command1_Click(board_state::neighboursOfBlank(w).front());
    const std::vector<int> before = arrangement(w);
    const std::uint64_t drawn = w.forTests().random.drawn();
    for (qint16 index : { qint16(4), qint16(-1), qint16(32767) })
        w.Command2_Click(index);
    QCOMPARE(arrangement(w), before);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("1"));
    QCOMPARE(w.forTests().random.drawn(), drawn);
}

void tst_Board::unsolvablePlayAndTakeBack()
{
    MainWindow w;
    w.load();
    w.forTests().Option1(0)->setChecked(true);
    w.Command2_Click(1);
    QCOMPARE(arrangement(w), unsolvable);
    for (int i = 0; i < 30; ++i)
        w.Command1_Click(board_state::neighboursOfBlank(w)[i % 2]);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("30"));
    for (int i = 0; i < 35; ++i)
        w.Command2_Click(3);
    QCOMPARE(arrangement(w), unsolvable);
    QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
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
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    std::vector<int> start = arrangement(w);

    for (int step = 0; step < 3000; ++step) {
        const int n = w.forTests().board->BoardSize;
        const int action = random.bounded(100);
        if (action < 70) {
            // Mostly neighbours of the blank, so that games get long.
            const std::vector<qint16> near = board_state::neighboursOfBlank(w);
            const qint16 tile = random.bounded(3) ? near[random.bounded(int(near.size()))] : qint16(random.bounded(n * n));
            click(w.forTests().Command1(tile));
        } else if (action < 85) {
            click(w.forTests().Command2(3));
        } else if (action < 90) {
            click(w.forTests().Command2(0));
            start = arrangement(w);
        } else if (action < 95) {
            const qint16 preset = qint16(1 + random.bounded(2));
            click(w.forTests().Command2(preset));
            start = arrangement(w);
        } else {
            click(w.forTests().Option1(qint16(random.bounded(3))));
            if (w.forTests().List2->ListCount() == 0)
                start = arrangement(w);
        }

        const int size = w.forTests().board->BoardSize;
        QVERIFY2(w.forTests().Text2->text() == QString::number(w.forTests().List2->ListCount()), qPrintable(QString::number(step)));
        QCOMPARE(w.forTests().Command1.count(), std::size_t(size * size));
        QVERIFY(w.forTests().Command1.exists(qint16(size * size - 1)));
        const std::vector<int> cells = arrangement(w);
        QVERIFY2(!cells.empty(), qPrintable(QStringLiteral("tiles off the grid at step %1").arg(step)));
        QCOMPARE(sorted(cells), range(size * size));
        QVERIFY(w.forTests().Option1(qint16(size - 3))->isChecked());

        if (random.bounded(200) == 0) {
            const std::vector<int> now = cells;
            while (w.forTests().List2->ListCount() > 0)
                w.Command2_Click(3);
            QCOMPARE(arrangement(w), start);
            QCOMPARE(w.forTests().Text2->text(), QStringLiteral("0"));
            w.Command2_Click(0);
            start = arrangement(w);
        }
    }
}

QTEST_MAIN(tst_Board)
#include "tst_board.moc"
