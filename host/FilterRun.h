// The final filter run: detect the stars, render the effect tile by tile and hand each tile to the host.
#pragma once

#include "host/HostRects.h"

// Tiles are at most this many pixels on a side, so the result needs at most one tile of memory besides
// the input image.
constexpr int32_t kFilterTileSize = 2048;

// Applies the effect to the whole input image. A failure or cancel shows as a non-zero result code.
void DoFilter();

// The tiles of a filter rectangle, in the order the run hands them to the host (rows top to bottom,
// tiles left to right), each clipped to the rectangle.
int32_t TileCount(const ImageRect& filterRect);
ImageRect TileAt(const ImageRect& filterRect, int32_t index);
