// Marking a flat region of the image being scanned so that its pixels are never seeds again.
#pragma once

#include <cstdint>

// Marks the 4-connected region of pixels of exactly this colour around the seed. A refused block is
// reported and recorded as the engine's failure.
void FloodFillMark(int32_t seedX, int32_t seedY, uint32_t red, uint32_t green, uint32_t blue);
