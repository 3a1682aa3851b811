#include "image/ImageBuffer.h"

#include <cstring>

#include "diag/ErrorReport.h"
#include "image/PixelAccess.h"
#include "image/SampleFormats.h"

namespace {

// Drops the planes the module cannot handle, telling the user once per kind; answers the
// transparency planes that remain (0 or 1).
int32_t UsableTransparencyPlanes(const PlaneCounts& counts)
{
    if (counts.layerMasks != 0 || counts.invertedLayerMasks != 0 || counts.nonLayerPlanes != 0) {
        ReportError(USER_SITE, kStyleError, kCaptionUnsupported,
                    "Plugin does not currently support the use of layer masks or non-layer planes.");
    }
    if (counts.transparencyPlanes > 1) {
        ReportError(USER_SITE, kStyleError, kCaptionUnsupported,
                    "Plugin does not currently support more than one transparency plane.");
        return 1;
    }
    // A negative count from a confused caller would make the plane arithmetic meaningless.
    return counts.transparencyPlanes < 0 ? 0 : counts.transparencyPlanes;
}

// Copies plane by plane; both buffers cover the same rectangle in the same mode.
void CopyPlanes(const ImageBuffer* source, ImageBuffer* target)
{
    const size_t planeBytes = size_t(target->pixelCount) * size_t(target->bytesPerSample);
    if (planeBytes == 0)
        return;
    const int32_t planes = target->layerPlanes + (target->transparencyPlanes > 0 ? 1 : 0);
    for (int32_t p = 0; p < planes; ++p)
        std::memcpy(target->planes[p], source->planes[p], planeBytes);
    if (target->mask.data != nullptr && source->mask.data != nullptr && target->mask.data != source->mask.data)
        std::memcpy(target->mask.data, source->mask.data, size_t(target->pixelCount));
}

// What the pixel procedures would do for every pixel of two buffers over the same rectangle, without a
// call per pixel: the preview converts whole documents this way while the user waits.
template <class From, class To> void ConvertPlanes(const ImageBuffer* source, ImageBuffer* target)
{
    using FromType = typename From::Type;
    using ToType = typename To::Type;
    const From from(*source);
    const To to(*target);
    const auto* fromAlpha =
        source->transparencyPlanes > 0 ? static_cast<const FromType*>(source->planes[From::kColourPlanes]) : nullptr;
    auto* toAlpha = target->transparencyPlanes > 0 ? static_cast<ToType*>(target->planes[To::kColourPlanes]) : nullptr;
    const auto* fromMask = static_cast<const uint8_t*>(source->mask.data);
    auto* toMask = static_cast<uint8_t*>(target->mask.data);
    for (size_t i = 0; i < size_t(target->pixelCount); ++i) {
        to.Write(i, from.Read(i));
        if (toAlpha != nullptr)
            toAlpha[i] =
                To::Format::FromFraction(fromAlpha != nullptr ? From::Format::Fraction(fromAlpha[i]) : kFullFraction);
        if (toMask != nullptr)
            toMask[i] =
                gToneTables
                    .fromFraction8[(fromMask != nullptr ? gToneTables.toFraction8[fromMask[i]] : kFullFraction) >> 16];
    }
}

// True when both buffers use their modes' own procedures over the same rectangle and were converted.
bool ConvertWithoutProcedures(const ImageBuffer* source, ImageBuffer* target)
{
    if (!(source->rect == target->rect) || source->image.data == nullptr || target->image.data == nullptr ||
        !HasModePixelProcs(*source) || !HasModePixelProcs(*target))
        return false;
    VisitPixelFormat(source->mode, [&](auto from) {
        VisitPixelFormat(target->mode, [&](auto to) { ConvertPlanes<decltype(from), decltype(to)>(source, target); });
    });
    return true;
}

void CopyPixels(const ImageBuffer* source, ImageBuffer* target)
{
    if (ConvertWithoutProcedures(source, target))
        return;
    const ImageRect& r = target->rect;
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            target->putPixel(target, source->getPixel(source, x, y), x, y);
}

} // namespace

bool IsGreyMode(int32_t mode)
{
    return mode == plugInModeGrayScale || mode == plugInModeGray16 || mode == plugInModeGray32;
}

int32_t BytesPerSampleOfMode(int32_t mode)
{
    if (mode >= plugInModeBitmap && mode <= plugInModeLabColor)
        return 1;
    if (mode >= plugInModeGray16 && mode <= plugInModeDuotone16)
        return 2;
    if (mode == plugInModeRGB96 || mode == plugInModeGray32)
        return 4;
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Error:  Unrecognized image mode.");
    return 1;
}

int32_t BaseModeOf(int32_t mode)
{
    switch (mode) {
    case plugInModeGray16:
    case plugInModeGray32: return plugInModeGrayScale;
    case plugInModeRGB48:
    case plugInModeRGB96: return plugInModeRGBColor;
    case plugInModeLab48: return plugInModeLabColor;
    case plugInModeCMYK64: return plugInModeCMYKColor;
    case plugInModeDeepMultichannel: return plugInModeMultichannel;
    case plugInModeDuotone16: return plugInModeDuotone;
    default: return mode;
    }
}

OSErr AllocateImageBuffer(ImageBuffer* buffer, const ImageRect& rect, int32_t mode, const PlaneCounts& counts,
                          bool withMask)
{
    buffer->rect = rect;
    buffer->mode = mode;
    buffer->bytesPerSample = BytesPerSampleOfMode(mode);
    buffer->bitsPerSample = mode == plugInModeBitmap ? 1 : 8 * buffer->bytesPerSample;
    const PixelProcs procs = SelectPixelProcs(mode);

    buffer->layerPlanes = IsGreyMode(mode) ? 1 : 3;
    buffer->transparencyPlanes = UsableTransparencyPlanes(counts);

    // An inverted rectangle covers nothing; widths are taken in 64 bits so that no coordinates overflow.
    const int64_t width = int64_t(rect.right) - rect.left;
    const int64_t height = int64_t(rect.bottom) - rect.top;
    const bool empty = width <= 0 || height <= 0;
    const uint64_t pixelCount = empty ? 0 : uint64_t(width) * uint64_t(height);
    const int32_t planeCount = buffer->layerPlanes + buffer->transparencyPlanes;
    const uint64_t imageBytes = uint64_t(buffer->bytesPerSample) * uint64_t(planeCount) * pixelCount;

    for (void*& plane : buffer->planes)
        plane = nullptr;
    if (imageBytes > UINT32_MAX || pixelCount > uint64_t(INT32_MAX)) {
        buffer->width = buffer->height = buffer->pixelCount = 0;
        buffer->getPixel = EmptyPixelProcs().getPixel;
        buffer->putPixel = EmptyPixelProcs().putPixel;
        ReportError(USER_SITE, kStyleError, kCaptionExiting, "Could not allocate memory for an image.");
        return memFullErr;
    }
    buffer->width = empty ? 0 : int32_t(width);
    buffer->height = empty ? 0 : int32_t(height);
    buffer->pixelCount = int32_t(pixelCount);
    // Until the blocks exist, nothing may touch the planes.
    buffer->getPixel = EmptyPixelProcs().getPixel;
    buffer->putPixel = EmptyPixelProcs().putPixel;

    OSErr error = ReallocateBuffer(uint32_t(imageBytes), &buffer->image);
    if (error != noErr) {
        ReportError(USER_SITE, kStyleError, kCaptionExiting, "Could not allocate memory for an image.");
        return error;
    }
    const size_t planeBytes = size_t(buffer->bytesPerSample) * size_t(pixelCount);
    for (int32_t p = 0; p < planeCount && buffer->image.data != nullptr; ++p)
        buffer->planes[p] = static_cast<uint8_t*>(buffer->image.data) + size_t(p) * planeBytes;

    if (withMask) {
        error = ReallocateBuffer(uint32_t(pixelCount), &buffer->mask);
        if (error != noErr) {
            ReportError(USER_SITE, kStyleError, kCaptionExiting, "Could not allocate memory for an image mask.");
            return error;
        }
    } else {
        ReleaseBuffer(&buffer->mask);
    }

    if (!empty) {
        buffer->getPixel = procs.getPixel;
        buffer->putPixel = procs.putPixel;
    }
    return noErr;
}

void FreeImageBuffer(ImageBuffer* buffer)
{
    ReleaseBuffer(&buffer->image);
    ReleaseBuffer(&buffer->mask);
    std::memset(static_cast<void*>(buffer), 0, sizeof(*buffer));
}

void CopyImageBuffer(const ImageBuffer* source, ImageBuffer* target)
{
    // The byte copy is only sound when both buffers lay out the same pixels the same way; anything
    // else goes pixel by pixel through the buffers' own conversions.
    const bool sameLayout = source->mode == target->mode && source->rect == target->rect &&
                            source->layerPlanes == target->layerPlanes &&
                            target->transparencyPlanes <= source->transparencyPlanes && source->image.data != nullptr &&
                            target->image.data != nullptr;
    if (sameLayout)
        CopyPlanes(source, target);
    else
        CopyPixels(source, target);
}
