// Images in the module: a rectangle of pixels in one host image mode, stored plane by plane, read and
// written one pixel at a time in linear light through procedures chosen once per buffer.
#pragma once

#include "image/BufferRecord.h"
#include "image/ImageRect.h"

// One pixel in linear light. On writing, 0xFFFFFFFF in a field keeps the stored value.
struct PixelSample
{
    uint32_t red;   // 0..0xFFFFFF
    uint32_t green; // 0..0xFFFFFF
    uint32_t blue;  // 0..0xFFFFFF
    uint32_t alpha; // coverage, 0..0xFFFFFFFE
    uint32_t mask;  // selection, 0..0xFFFFFFFE
};

constexpr uint32_t kKeepSample = 0xFFFFFFFF;

struct ImageBuffer;
using GetPixelProc = PixelSample (*)(const ImageBuffer* buffer, int32_t x, int32_t y);
using PutPixelProc = void (*)(ImageBuffer* buffer, const PixelSample& sample, int32_t x, int32_t y);

struct PlaneCounts
{
    int32_t layerPlanes;
    int32_t transparencyPlanes;
    int32_t layerMasks;
    int32_t invertedLayerMasks;
    int32_t nonLayerPlanes;
};

struct ImageBuffer
{
    GetPixelProc getPixel;
    PutPixelProc putPixel;
    ImageRect rect;             // document coordinates; right and bottom exclusive
    BufferRecord image;         // all planes, one after another
    int32_t layerPlanes;        // 1 for greyscale modes, 3 otherwise
    int32_t transparencyPlanes; // 0 or 1
    int32_t width;              // also the row stride in samples
    int32_t height;
    int32_t pixelCount; // samples in one plane
    int32_t mode;       // the host's image mode number
    int32_t bitsPerSample;
    int32_t bytesPerSample;
    BufferRecord mask; // one byte per pixel, 255 = selected; or empty
    void* planes[4];   // colour planes, then the transparency plane
};

// Lays out `buffer` for `rect` in `mode` and makes its blocks hold it (reusing blocks that are large
// enough). Returns noErr or the code of the refused allocation, which has been reported to the user.
OSErr AllocateImageBuffer(ImageBuffer* buffer, const ImageRect& rect, int32_t mode, const PlaneCounts& counts,
                          bool withMask);
void FreeImageBuffer(ImageBuffer* buffer);
void CopyImageBuffer(const ImageBuffer* source, ImageBuffer* target);

// Greyscale at any depth: one colour plane.
bool IsGreyMode(int32_t mode);
// Bytes per sample of a host mode (1 for modes without pixel access that are not deep).
int32_t BytesPerSampleOfMode(int32_t mode);
// The 8-bit mode a deep mode is based on: Gray16 and Gray32 give GrayScale, RGB48 and RGB96 RGBColor, and so on.
int32_t BaseModeOf(int32_t mode);
