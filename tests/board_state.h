#pragma once

// Reading the board back from its tile buttons, the way a player sees it:
// where each button stands on the grid of cells. The cell is worked out here
// from the button's Left and Top and the grid's corner and pitch alone,
// never by asking the game.

#include "app/platform/controls.h"

#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace board_state {

// The grid of cells: the top-left cell's corner and the pitch between
// neighbouring cells, in twips; as designed unless a test moves it.
struct Grid {
    float left = 2280;
    float top = 480;
    float width = 495;
    float height = 495;
};

using Tiles = ControlArray<CommandButton>;

// Row and column of cell i of an n-board, counted from 0.
struct RowColumn {
    int row;
    int column;
};
inline RowColumn rowColumn(int cell, int n) { return { cell / n, cell % n }; }

// Whether two cells of an n-board are neighbours along a row or a column.
inline bool neighbours(int a, int b, int n)
{
    const RowColumn p = rowColumn(a, n), q = rowColumn(b, n);
    return std::abs(p.row - q.row) + std::abs(p.column - q.column) == 1;
}

inline QStringList items(const ListBox &list)
{
    QStringList result;
    for (int i = 0; i < list.ListCount(); ++i)
        result << list.List(i);
    return result;
}

// Tiles per row of a board of these tiles (n*n of them), 0 when their
// number is no square.
inline int sizeOf(const Tiles &tiles)
{
    const int n = int(std::lround(std::sqrt(double(tiles.count()))));
    return std::size_t(n * n) == tiles.count() ? n : 0;
}

// The cell of an n-board whose top-left corner is exactly where the tile
// stands, or nothing when it is off the grid.
inline std::optional<int> cellOf(const CommandButton &tile, int n, const Grid &grid = {})
{
    const double column = (double(tile.Left()) - grid.left) / grid.width;
    const double row = (double(tile.Top()) - grid.top) / grid.height;
    if (column != std::floor(column) || row != std::floor(row) || column < 0 || row < 0 || column >= n || row >= n)
        return std::nullopt;
    return int(row) * n + int(column);
}

inline std::optional<int> cellOf(const Tiles &tiles, qint16 tile, const Grid &grid = {})
{
    return cellOf(*tiles(tile), sizeOf(tiles), grid);
}

// Tile number per cell; empty when a tile is off the grid or two tiles
// share a cell.
inline std::vector<int> arrangement(const Tiles &tiles, const Grid &grid = {})
{
    const int n = sizeOf(tiles);
    std::vector<int> cells(std::size_t(n * n), -1);
    for (int k = 0; k < n * n; ++k) {
        const auto cell = cellOf(tiles, qint16(k), grid);
        if (!cell || cells[std::size_t(*cell)] != -1)
            return {};
        cells[std::size_t(*cell)] = k;
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

// The tiles that stand next to the blank along a row or a column, in the
// order of their cells.
inline std::vector<qint16> neighboursOfBlank(const Tiles &tiles)
{
    const int n = sizeOf(tiles);
    const std::vector<int> cells = arrangement(tiles);
    const int blank = *cellOf(tiles, 0);
    std::vector<qint16> result;
    for (int cell = 0; cell < n * n; ++cell)
        if (neighbours(cell, blank, n))
            result.push_back(qint16(cells[std::size_t(cell)]));
    return result;
}

} // namespace board_state
