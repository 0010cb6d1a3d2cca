#pragma once

// Reading the board back from the window, the way a player sees it: where
// the tile buttons stand on the grid of the cell template.

#include "app/main_window.h"

#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace board_state {

inline QStringList items(const ListBox &list)
{
    QStringList result;
    for (int i = 0; i < list.ListCount(); ++i)
        result << list.List(i);
    return result;
}

// The cell a tile stands on, as the game itself finds it, or nothing when
// it is off the grid.
inline std::optional<int> cellOf(MainWindow &window, qint16 tile)
{
    const qint16 cell = window.forTests().board->CellOf(tile);
    return cell < 0 ? std::nullopt : std::optional<int>(cell);
}

// Tile number per cell, -1 for a cell no tile stands on; empty when a tile
// is off the grid or two tiles share a cell.
inline std::vector<int> arrangement(MainWindow &window)
{
    const int n = window.forTests().board->BoardSize;
    std::vector<int> cells(n * n, -1);
    for (int k = 0; k < n * n; ++k) {
        const auto cell = cellOf(window, qint16(k));
        if (!cell || cells[*cell] != -1)
            return {};
        cells[*cell] = k;
    }
    return cells;
}

// The arrangement held as text items in a list, read as numbers.
inline std::vector<int> arrangement(const ListBox &list)
{
    std::vector<int> cells;
    for (int i = 0; i < list.ListCount(); ++i)
        cells.push_back(list.List(i).toInt());
    return cells;
}

// The tiles that stand next to the blank along a row or a column.
inline std::vector<qint16> neighboursOfBlank(MainWindow &window)
{
    const int n = window.forTests().board->BoardSize;
    const int blank = *cellOf(window, 0);
    const std::vector<int> cells = arrangement(window);
    std::vector<qint16> result;
    const int row = blank / n, column = blank % n;
    if (column > 0)
        result.push_back(qint16(cells[blank - 1]));
    if (column < n - 1)
        result.push_back(qint16(cells[blank + 1]));
    if (row > 0)
        result.push_back(qint16(cells[blank - n]));
    if (row < n - 1)
        result.push_back(qint16(cells[blank + n]));
    return result;
}

} // namespace board_state
