#pragma once

#include "app/platform/arrow_keys.h"
#include "app/platform/controls.h"

class Random;

// The game's procedures. They keep no grid in memory: the board is where
// the tile buttons stand, an arrangement is the items of a hidden list box,
// the move history is another list box and the move counter is the text of
// a text box. Besides the controls there are only BoardSize and TileMoved.
//
// Tile k is Command1(k), tile 0 the blank. Cell i of an n-by-n board lies
// in row i \ n and column i mod n; its top-left corner is the template
// Label3's Left and Top plus the column and row times Label3's Width and
// Height. Errors of the controls and of the 16-bit arithmetic propagate as
// RuntimeError and end the caller's handler.
class Board {
public:
    // The controls the game works through; the window owns them all.
    struct Controls {
        ControlArray<CommandButton> &Command1; // tiles, 0 the blank
        ControlArray<ListBox> &List1; // 0 pool, 1 dealt, 2 solved, 3 unsolvable
        ListBox &List2; // move history, oldest first
        TextBox &Text2; // move counter
        Label &Label3; // cell template
    };

    Board(const Controls &controls, Random &random);

    qint16 BoardSize = 0; // tiles per row and per column
    qint16 TileMoved = 0; // -1 after MoveTile exchanged a tile, else 0

    // Places tile k in cell i: Left, Top, shown, captioned with k.
    void LayOutArrangement(qint16 i, qint16 k);

    // Deals every tile of the board at random, lays them out, enables them,
    // sets the counter to "0" and empties the history. Draws exactly
    // n*n-1 values from the generator.
    void NewGame();

    // Exchanges tile k with the blank when the two share a row or a column
    // and their facing edges lie less than 50 twips apart; sets TileMoved.
    void MoveTile(qint16 k);

    // The cell that tile k stands on: the one whose top-left corner, as
    // LayOutArrangement places tiles, is the tile's Left and Top exactly;
    // -1 when it stands on none (before the board is laid out). Changes
    // nothing.
    qint16 CellOf(qint16 k) const;

    // The tile that would slide into the blank the way the arrow points: for
    // Right the tile in the cell on the blank's left, for Up the one below
    // it, and so on; -1 when there is none (the blank at that edge). Changes
    // nothing.
    qint16 TileSliding(Arrow arrow) const;

    // The controls, for reading only (accessibility names tiles by them).
    const Controls &controls() const { return m_controls; }

    // Replays the newest history item; when the tile moves, removes the
    // item and counts one down. Does nothing on an empty history.
    void UndoMove();

    // Lays out the arrangement in List1(p) and sets the counter to "0";
    // p == 2 disables every tile it places, p == 3 enables it.
    void ShowPreset(qint16 p);

private:
    void layOutList(ListBox &list, qint16 p);
    // The top-left corner of cell i, in twips, from the cell template.
    struct Corner {
        float left;
        float top;
    };
    Corner cellCorner(qint16 i) const;

    Controls m_controls;
    Random &m_random;
};
