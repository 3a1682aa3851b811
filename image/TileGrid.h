// Cutting a rectangle into tiles: rows of tiles top to bottom, tiles left to right, each clipped to the
// rectangle. Both the reading of the host's image and the filter run's output go through it.
#pragma once

#include <cstdint>

#include "image/ImageRect.h"

struct TileGrid
{
    ImageRect area;
    int64_t tileWidth; // at least 1
    int64_t tileHeight;
};

inline int64_t TilesAcross(const TileGrid& grid)
{
    return IsEmptyRect(grid.area) ? 0
                                  : (int64_t(grid.area.right) - grid.area.left + grid.tileWidth - 1) / grid.tileWidth;
}

inline int64_t TilesDown(const TileGrid& grid)
{
    return IsEmptyRect(grid.area) ? 0
                                  : (int64_t(grid.area.bottom) - grid.area.top + grid.tileHeight - 1) / grid.tileHeight;
}

inline int64_t TileCount(const TileGrid& grid)
{
    return TilesAcross(grid) * TilesDown(grid);
}

// Tile `index` (0 .. TileCount - 1); sums in 64 bits, so that no tile size a host reports can overflow.
inline ImageRect TileAt(const TileGrid& grid, int64_t index)
{
    const int64_t across = TilesAcross(grid);
    const int64_t left = grid.area.left + (index % across) * grid.tileWidth;
    const int64_t top = grid.area.top + (index / across) * grid.tileHeight;
    const int64_t right = left + grid.tileWidth < grid.area.right ? left + grid.tileWidth : grid.area.right;
    const int64_t bottom = top + grid.tileHeight < grid.area.bottom ? top + grid.tileHeight : grid.area.bottom;
    return ImageRect{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
}
