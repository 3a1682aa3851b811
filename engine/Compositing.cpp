#include "engine/Compositing.h"

#include <cstring>

#include "diag/ErrorReport.h"
#include "engine/EngineState.h"
#include "engine/QualityMode.h"

namespace {

bool SameAttributes(const ImageBuffer* a, const ImageBuffer* b)
{
    return a->mode == b->mode && a->bitsPerSample == b->bitsPerSample && a->layerPlanes == b->layerPlanes &&
           a->transparencyPlanes == b->transparencyPlanes;
}

uint8_t* SampleAddress(const ImageBuffer* buffer, int32_t plane, int32_t x, int32_t y)
{
    const size_t index = size_t(y - buffer->rect.top) * size_t(buffer->width) + size_t(x - buffer->rect.left);
    return static_cast<uint8_t*>(buffer->planes[plane]) + index * size_t(buffer->bytesPerSample);
}

} // namespace

void BlendPixel(PixelSample& d, const PixelSample& s)
{
    if (gQuality.preciseArithmetic)
        BlendPixelWith<PreciseArithmetic>(d, s);
    else
        BlendPixelWith<PreviewArithmetic>(d, s);
}

bool CopyImageRect(const ImageBuffer* source, const ImageRect& sourceRect, ImageBuffer* destination,
                   const ImageRect& destRect)
{
    if (!SameAttributes(source, destination)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Programming error:  Incompatible image attributes.");
        RecordEngineFailure(paramErr); // a caller paired unlike buffers
        return false;
    }

    ImageRect from = IntersectRect(sourceRect, source->rect);
    if (IsEmptyRect(from))
        return true;

    // The clipped source area in destination coordinates, reaching as far as the destination rectangle.
    const ImageRect moved{from.left + (destRect.left - sourceRect.left), from.top + (destRect.top - sourceRect.top),
                          destRect.right, destRect.bottom};
    if (IsEmptyRect(moved))
        return true;
    const ImageRect to = IntersectRect(moved, destination->rect);
    if (IsEmptyRect(to))
        return true;
    from.left += to.left - moved.left;
    from.top += to.top - moved.top;

    const int32_t fromWidth = from.right - from.left;
    const int32_t toWidth = to.right - to.left;
    const int32_t width = fromWidth < toWidth ? fromWidth : toWidth;
    const int32_t fromHeight = from.bottom - from.top;
    const int32_t toHeight = to.bottom - to.top;
    const int32_t height = fromHeight < toHeight ? fromHeight : toHeight;
    if (width < 1 || height < 1)
        return true;

    const size_t rowBytes = size_t(width) * size_t(source->bytesPerSample);
    const int32_t planes = source->layerPlanes + source->transparencyPlanes;
    for (int32_t p = 0; p < planes; ++p) {
        const uint8_t* sourceStart = SampleAddress(source, p, from.left, from.top);
        uint8_t* destStart = SampleAddress(destination, p, to.left, to.top);
        if (sourceStart == destStart)
            continue;
        // A destination that lies later in memory is copied from the last row back, so that rows of an
        // overlapping source are read before they are overwritten.
        const bool backwards = destStart > sourceStart;
        for (int32_t i = 0; i < height; ++i) {
            const int32_t row = backwards ? height - 1 - i : i;
            std::memmove(SampleAddress(destination, p, to.left, to.top + row),
                         SampleAddress(source, p, from.left, from.top + row), rowBytes);
        }
    }
    return true;
}

void FillImageRect(ImageBuffer* destination, const PixelSample& sample, const ImageRect& rect)
{
    // Kept fields are handed to putPixel as "keep", so that they are not rewritten through a lossy
    // conversion round trip. Only a partly kept colour needs the stored pixel: greyscale writers store the
    // mean of all three channels.
    const int keptColours = (sample.red == kKeepSample) + (sample.green == kKeepSample) + (sample.blue == kKeepSample);
    const bool mergeColour = keptColours == 1 || keptColours == 2;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            PixelSample out = sample;
            if (mergeColour) {
                const PixelSample stored = destination->getPixel(destination, x, y);
                if (out.red == kKeepSample)
                    out.red = stored.red;
                if (out.green == kKeepSample)
                    out.green = stored.green;
                if (out.blue == kKeepSample)
                    out.blue = stored.blue;
            }
            destination->putPixel(destination, out, x, y);
        }
    }
}
