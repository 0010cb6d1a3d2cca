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

// p == 1 for a dealt game; 2 and 3 also set the tiles' enabled state.
void Board::layOutList(ListBox &list, qint16 p)
{
    const qint16 last = numbers::sub16(numbers::mul16(BoardSize, BoardSize), 1);
    for (int i = 0; i <= last; ++i) {
        const qint16 k = CInt(Val(list.List(i)));
        LayOutArrangement(qint16(i), k);
        if (p == 2)
            m_controls.Command1(k)->setEnabled(false);
        else if (p == 3)
            m_controls.Command1(k)->setEnabled(true);
    }
}

void Board::NewGame()
{
    ListBox &pool = *m_controls.List1(0);
    ListBox &dealt = *m_controls.List1(1);
    pool.Clear();
    dealt.Clear();
    m_controls.List2.Clear();

    const qint16 m = numbers::mul16(BoardSize, BoardSize);
    const qint16 last = numbers::sub16(m, 1);
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

    layOutList(dealt, 1);
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
    const qint16 n = BoardSize;
    const Label &cell = m_controls.Label3;
    // The template is read for every cell, so moving or resizing it moves or
    // respaces the whole board. Single precision, as the tiles keep it.
    const float y = float(numbers::div16(i, n)) * cell.Height() + cell.Top();
    const float x = float(numbers::mod16(i, n)) * cell.Width() + cell.Left();
    return { x, y };
}

qint16 Board::CellOf(qint16 k) const
{
    const CommandButton *tile = m_controls.Command1(k);
    const int cells = BoardSize * BoardSize;
    for (int i = 0; i < cells; ++i) {
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
    const int row = blank / n, column = blank % n;
    int from = -1;
    switch (arrow) {
    case Arrow::Right: // from the blank's left
        from = column > 0 ? blank - 1 : -1;
        break;
    case Arrow::Left: // from its right
        from = column < n - 1 ? blank + 1 : -1;
        break;
    case Arrow::Down: // from above it
        from = row > 0 ? blank - n : -1;
        break;
    case Arrow::Up: // from below it
        from = row < n - 1 ? blank + n : -1;
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
