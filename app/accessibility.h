#pragma once

#include "puzzle/board.h"

#include <QString>

class QWidget;

// What assistive technology sees of the window, through Qt's accessibility
// interfaces. The window exposes only the controls that are shown: the
// hidden list boxes, the spare text box and the cell template stay out of
// the tree. A tile is a button named after its number and the row and
// column it stands in ("Плочка 7, ред 2, колона 3", the blank "Празно поле,
// ред 4, колона 4"), computed from the tile's position whenever it is asked
// for, so the name follows the tile as it moves; a move is announced as a
// change of place and of name. The other buttons and the options are named by their
// captions; the move counter is "Брой ходове" with the count as its value.
namespace accessibility {

// Makes windows and their buttons answer through this program's interfaces.
// Qt makes a control's interface the first time it is asked for (setting a
// button's text is enough) and keeps it for the control's life, so this must
// come before any window makes its controls. Once per application.
void installFactory();

// Before the window makes its controls: the window shows assistive
// technology its shown controls only.
void expose(QWidget &window);

// Once the window's controls and its game exist: its tiles are named by the
// game's cells, its counter and description by name.
void nameControls(QWidget &window, const Board &board, Label &countLabel, QWidget &description);

// The tile's accessible name as described above, rows and columns counted
// from 1. Without a cell (before the board is laid out) only the number.
QString tileName(const Board &board, qint16 index);

} // namespace accessibility
