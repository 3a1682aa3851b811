// Moving pixels between the host and the module: the whole input image is read once at start, and the
// result is handed back tile by tile. Every routine returns noErr or the code for the host; failures the
// user should know of have been reported.
#pragma once

#include "image/ImageBuffer.h"
#include "sdk/HostInterface.h"

// Lays out `image` for the filter rectangle in the document's mode and reads every plane (and the
// selection, or a full one) from the host.
OSErr ReadInputImage(FilterRecord* record, ImageBuffer* image);

// Hands one finished tile to the host.
OSErr WriteOutputTile(FilterRecord* record, const ImageBuffer* tile);

// Tells the host that no more pixels are wanted (a last advanceState with empty rectangles).
OSErr FinishImageTransfer(FilterRecord* record);
