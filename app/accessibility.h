#pragma once

#include <QString>

class MainWindow;

// What assistive technology sees of the window, through Qt's accessibility
// interfaces. The window exposes only the controls that are shown: the
// hidden list boxes, the spare text box and the cell template stay out of
// the tree. A tile is a button named after its number and the row and
// column it stands in ("Плочка 7, ред 2, колона 3", the blank "Празно поле,
// ред 4, колона 4"), computed from the tile's position whenever it is asked
// for, so the name follows the tile as it moves; a move is announced as a
// name change. The other buttons and the options are named by their
// captions; the move counter is "Брой ходове" with the count as its value.
namespace accessibility {

// The tile's accessible name as described above, rows and columns counted
// from 1. Without a cell (before the board is laid out) only the number.
QString tileName(MainWindow &window, qint16 index);

// Makes the window and its buttons answer through this program's
// interfaces. Qt makes a control's interface the first time it is asked for
// (setting a button's text is enough) and keeps it for the control's life,
// so this must come before the window makes any control. Once is enough.
void installFactory();

// Names the window's controls. Called by the window's constructor once its
// controls are made.
void attach(MainWindow &window);

} // namespace accessibility
