// The final filter run: detect the stars, render the effect tile by tile and hand each tile to the host.
#pragma once

#include "engine/FilterParameters.h"
#include "image/ImageBuffer.h"
#include "image/TileGrid.h"
#include "sdk/HostInterface.h"

// Tiles are at most this many pixels on a side, so the result needs at most one tile of memory besides
// the input image.
constexpr int32_t kFilterTileSize = 2048;

// The tiles of the run over `filterRect`, in the order they are handed to the host.
inline TileGrid FilterTileGrid(const ImageRect& filterRect)
{
    return TileGrid{filterRect, kFilterTileSize, kFilterTileSize};
}

// Applies the effect with `parameters` to the whole of `image` (the input image, whose selection mask
// detection marks) and writes the result to the host through `record`. Returns noErr, userCanceledErr
// when the host aborted, or the code of the first failure.
OSErr RunFilter(FilterRecord* record, ImageBuffer& image, const FilterParameters& parameters);
