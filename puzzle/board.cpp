#include "puzzle/board.h"

#include "app/platform/numbers.h"
#include "app/platform/random.h"

#include <cmath>

using numbers::CInt;
using numbers::Val;

Board::Board(const Controls &controls, Random &random) : m_controls(controls), m_random(random) {}

void Board::LayOutArrangement(qint16 i, qint16 k)
{
    const Corner corner = cellCorner(i);
    CommandButton *tile = m_controls.Command1(k);
    tile->Move(corner.left, corner.top);
    tile->setVisible(true);
    tile->setText(numbers::text(k));
}

qint16 Board::cellCount() const { return numbers::mul16(BoardSize, BoardSize); }

qint16 Board::lastTile() const { return numbers::sub16(cellCount(), 1); }

Board::Cell Board::cellAt(qint16 i) const { return { numbers::div16(i, BoardSize), numbers::mod16(i, BoardSize) }; }

void Board::ClickTile(qint16 index)
{
    if (index == 0)
        return;
    MoveTile(index);
    if (TileMoved == -1) {
        m_controls.Text2.setText(numbers::text(Val(m_controls.Text2.text()) + 1));
        m_controls.List2.AddItem(numbers::text(index));
    }
}

void Board::ClickCommand(qint16 index)
{
    switch (index) {
    case NewGameButton:
        NewGame();
        break;
    case UnsolvableButton:
        showPresetButton(UnsolvableList);
        break;
    case SolutionButton:
        showPresetButton(SolvedList);
        break;
    case MoveBackButton:
        UndoMove();
        break;
    default:
        break;
    }
}

// Selecting "4" rebuilds a 3x3 or 5x5 board before the preset is laid out;
// on a 4x4 board it changes nothing.
void Board::showPresetButton(qint16 p)
{
    m_controls.Option1(FourByFourOption)->setChecked(true);
    ShowPreset(p);
    m_controls.List2.Clear();
}

// A dealt game leaves the tiles' enabled state alone; the presets set it.
void Board::layOutList(ListBox &list, qint16 p)
{
    const qint16 last = lastTile();
    for (int i = 0; i <= last; ++i) {
        const qint16 k = CInt(Val(list.List(i)));
        LayOutArrangement(qint16(i), k);
        if (p == SolvedList)
            m_controls.Command1(k)->setEnabled(false);
        else if (p == UnsolvableList)
            m_controls.Command1(k)->setEnabled(true);
    }
}

void Board::NewGame()
{
    ListBox &pool = *m_controls.List1(PoolList);
    ListBox &dealt = *m_controls.List1(DealtList);
    pool.Clear();
    dealt.Clear();
    m_controls.List2.Clear();

    const qint16 m = cellCount();
    const qint16 last = lastTile();
    for (int i = 0; i <= last; ++i) {
        pool.AddItem(numbers::text(qint16(i)));
        m_controls.Command1(qint16(i))->setEnabled(true);
    }

    const qint16 draws = numbers::sub16(m, 2);
    for (int j = 0; j <= draws; ++j) {
        const qint16 c = CInt(pool.ListCount());
        const float u = m_random.next();
        // The product stays in single precision before it is rounded, and R
        // runs over 0..100 whatever the pool's size: the spread is uneven on
        // purpose, it is how games have always been dealt here.
        const float r = u * 100.0f;
        const qint16 R = CInt(r);
        const qint16 p = numbers::mod16(R, c);
        const qint16 k = CInt(Val(pool.List(p)));
        dealt.AddItem(numbers::text(k));
        pool.RemoveItem(p);
    }
    // The last number left needs no draw.
    dealt.AddItem(numbers::text(CInt(Val(pool.List(0)))));
    pool.RemoveItem(0);

    layOutList(dealt, DealtList);
    m_controls.Text2.setText(QStringLiteral("0"));
}

void Board::MoveTile(qint16 k)
{
    TileMoved = 0;
    CommandButton *tile = m_controls.Command1(k);
    CommandButton *blank = m_controls.Command1(0);

    float Lt = tile->Left();
    float Lb = blank->Left();
    float Tt = tile->Top();
    float Tb = blank->Top();
    const float SL = tile->Left();
    const qint16 ST = CInt(tile->Top());

    const auto exchange = [&] {
        Lt = Lb;
        Tt = Tb;
        Lb = SL;
        Tb = ST;
        tile->setLeft(Lt);
        blank->setLeft(Lb);
        tile->setTop(Tt);
        blank->setTop(Tb);
        TileMoved = -1;
    };

    // Each distance adds the size of the button on the left (or on top):
    // the tile's when it lies before the blank, the blank's when after it.
    if (Tt == Tb) {
        const float Wt = tile->Width();
        const float Wb = blank->Width();
        if (std::fabs((Lt + Wt) - Lb) < 50 || std::fabs((Lt - Lb) - Wb) < 50)
            exchange();
    }
    // Made on the values as they stand after a row exchange; Lt and Lb then
    // differ, so a call never exchanges twice.
    if (Lt == Lb) {
        const float Ht = tile->Height();
        const float Hb = blank->Height();
        if (std::fabs((Tt + Ht) - Tb) < 50 || std::fabs((Tt - Tb) - Hb) < 50)
            exchange();
    }
}

Board::Corner Board::cellCorner(qint16 i) const
{
    const Cell cell = cellAt(i);
    const Label &pitch = m_controls.Label3;
    // The template is read for every cell, so moving or resizing it moves or
    // respaces the whole board. Single precision, as the tiles keep it.
    const float y = float(cell.row) * pitch.Height() + pitch.Top();
    const float x = float(cell.column) * pitch.Width() + pitch.Left();
    return { x, y };
}

qint16 Board::CellOf(qint16 k) const
{
    const CommandButton *tile = m_controls.Command1(k);
    const qint16 last = lastTile();
    for (int i = 0; i <= last; ++i) {
        const Corner corner = cellCorner(qint16(i));
        if (corner.left == tile->Left() && corner.top == tile->Top())
            return qint16(i);
    }
    return -1;
}

qint16 Board::TileSliding(Arrow arrow) const
{
    const qint16 n = BoardSize;
    const qint16 blank = CellOf(0);
    if (blank < 0)
        return -1;
    const Cell cell = cellAt(blank);
    int from = -1;
    switch (arrow) {
    case Arrow::Right: // from the blank's left
        from = cell.column > 0 ? blank - 1 : -1;
        break;
    case Arrow::Left: // from its right
        from = cell.column < n - 1 ? blank + 1 : -1;
        break;
    case Arrow::Down: // from above it
        from = cell.row > 0 ? blank - n : -1;
        break;
    case Arrow::Up: // from below it
        from = cell.row < n - 1 ? blank + n : -1;
        break;
    }
    if (from < 0)
        return -1;
    for (qint16 k : m_controls.Command1.indexes())
        if (k != 0 && CellOf(k) == from)
            return k;
    return -1;
}

void Board::UndoMove()
{
    ListBox &history = m_controls.List2;
    const int n = history.ListCount();
    if (n < 1)
        return;
    const qint16 k = CInt(Val(history.List(n - 1)));
    MoveTile(k);
    if (TileMoved != -1)
        return;
    history.RemoveItem(n - 1);
    const double c = Val(m_controls.Text2.text());
    m_controls.Text2.setText(numbers::text(c - 1));
}

void Board::ShowPreset(qint16 p)
{
    m_controls.Text2.setText(QStringLiteral("0"));
    layOutList(*m_controls.List1(p), p);
}
