#pragma once

#include "app/platform/arrow_keys.h"
#include "app/platform/controls.h"

class Random;

// The game's rules, whole: dealing, the move with its count and record,
// taking back, the two presets. They keep no grid in memory: the board is
// where the tile buttons stand, an arrangement is the items of a hidden list
// box, the move history is another list box and the move counter is the text
// of a text box. Besides the controls there are only BoardSize and TileMoved.
//
// Tile k is Command1(k), tile 0 the blank. Cell i of an n-by-n board lies
// in row i \ n and column i mod n; its top-left corner is the template
// Label3's Left and Top plus the column and row times Label3's Width and
// Height. Errors of the controls and of the 16-bit arithmetic propagate as
// RuntimeError and end the caller's handler.
//
// The window owns the controls, makes and removes the tiles of each board
// size, and routes its events here.
class Board {
public:
    // The controls the game works through; the window owns them all.
    struct Controls {
        ControlArray<CommandButton> &Command1; // tiles, 0 the blank
        ControlArray<OptionButton> &Option1; // the board sizes "3", "4", "5"
        ControlArray<ListBox> &List1; // the arrangements, by List
        ListBox &List2; // move history, oldest first
        TextBox &Text2; // move counter
        Label &Label3; // cell template
    };

    // The elements of Command2, the command buttons.
    enum Command : qint16 { NewGameButton = 0, UnsolvableButton = 1, SolutionButton = 2, MoveBackButton = 3 };
    // The elements of List1: the pool of a deal in progress, the dealt game,
    // the solved and the unsolvable presets.
    enum List : qint16 { PoolList = 0, DealtList = 1, SolvedList = 2, UnsolvableList = 3 };
    // The element of Option1 for the 4x4 board, which the presets need.
    static constexpr qint16 FourByFourOption = 1;

    struct Cell {
        qint16 row;
        qint16 column;
    };

    Board(const Controls &controls, Random &random);

    qint16 BoardSize = 0; // tiles per row and per column
    qint16 TileMoved = 0; // -1 after MoveTile exchanged a tile, else 0

    // n*n and n*n-1 for the current size, in 16-bit arithmetic.
    qint16 cellCount() const;
    qint16 lastTile() const;
    // Row and column of cell i on the current board, counted from 0.
    Cell cellAt(qint16 i) const;

    // A click on tile index: the blank ignores it; another tile that moves
    // counts one up and goes to the end of the history.
    void ClickTile(qint16 index);

    // A click on command button index: a new game, either preset or taking
    // back one move; any other index does nothing. A preset first selects
    // the 4x4 option, which rebuilds another board before the preset is laid
    // out, and leaves the counter at "0" and the history empty.
    void ClickCommand(qint16 index);

    // Places tile k in cell i: Left, Top, shown, captioned with k.
    void LayOutArrangement(qint16 i, qint16 k);

    // Deals every tile of the board at random, lays them out, enables them,
    // sets the counter to "0" and empties the history. Draws exactly
    // n*n-1 values from the generator.
    void NewGame();

    // Exchanges tile k with the blank when the two share a row or a column
    // and their facing edges lie less than 50 twips apart; sets TileMoved.
    void MoveTile(qint16 k);

    // Replays the newest history item; when the tile moves, removes the
    // item and counts one down. Does nothing on an empty history.
    void UndoMove();

    // Lays out the arrangement in List1(p) and sets the counter to "0";
    // SolvedList disables every tile it places, UnsolvableList enables it.
    void ShowPreset(qint16 p);

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

private:
    void layOutList(ListBox &list, qint16 p);
    void showPresetButton(qint16 p);
    // The top-left corner of cell i, in twips, from the cell template.
    struct Corner {
        float left;
        float top;
    };
    Corner cellCorner(qint16 i) const;

    Controls m_controls;
    Random &m_random;
};
