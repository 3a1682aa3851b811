// Moving pixels between the host and the module: the whole input image is read once at start, and the
// result is handed back tile by tile.
#pragma once

#include "host/ImageBuffer.h"

// The input image of the current run, read at start and freed at its end.
extern ImageBuffer gInputImage;
// Integer part of the filter rectangle's diagonal plus one; bounds the reach of the soft flare.
extern uint32_t gImageDiagonal;

void BuildToneTables();
void ReadInputImage();
bool WriteOutputTile(const ImageBuffer* tile);
void FinishImageTransfer();
