// Reading and writing one pixel of an ImageBuffer in linear light, one pair of procedures per host
// image mode. The pair is chosen once when a buffer is set up, so no pixel pays for asking the mode.
//
// Reading clamps the position into the buffer; a clamped read keeps the edge colour but reports no
// coverage and no selection. Writing ignores positions outside the buffer and keeps every stored
// sample whose field holds kKeepSample. Colour at or above 0xFFFFFF is written as full scale.
#pragma once

#include "image/ImageBuffer.h"

struct PixelProcs
{
    GetPixelProc getPixel;
    PutPixelProc putPixel;
};

// The procedures for `mode`. Modes without pixel access get a reader that returns an all-zero sample
// and a writer that writes nothing; choosing them is reported, and so is every call of that writer.
PixelProcs SelectPixelProcs(int32_t mode);

// Silent procedures for a buffer that covers no pixels.
PixelProcs EmptyPixelProcs();

// True when `buffer` reads and writes through the procedures of its mode: then its planes hold the
// pixels, and a loop may address them directly (image/SampleFormats.h) instead of calling the
// procedures. A buffer that covers nothing, or whose procedures were replaced, answers false.
bool HasModePixelProcs(const ImageBuffer& buffer);
