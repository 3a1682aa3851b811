#include "image/PixelAccess.h"

#include "diag/ErrorReport.h"
#include "image/SampleFormats.h"

namespace {

template <class Format> const typename Format::Type* PlaneOf(const ImageBuffer* buffer, int plane)
{
    return static_cast<const typename Format::Type*>(buffer->planes[plane]);
}

template <class Format> typename Format::Type* PlaneOf(ImageBuffer* buffer, int plane)
{
    return static_cast<typename Format::Type*>(buffer->planes[plane]);
}

template <class Planes> PixelSample GetPixel(const ImageBuffer* buffer, int32_t x, int32_t y)
{
    using Format = typename Planes::Format;
    const ImageRect& r = buffer->rect;
    bool clamped = false;
    if (x < r.left || x >= r.right) {
        x = x < r.left ? r.left : r.right - 1;
        clamped = true;
    }
    if (y < r.top || y >= r.bottom) {
        y = y < r.top ? r.top : r.bottom - 1;
        clamped = true;
    }
    const size_t i = size_t(y - r.top) * size_t(buffer->width) + size_t(x - r.left);

    PixelSample sample = Planes(*buffer).Read(i);
    if (clamped) {
        sample.alpha = 0;
        sample.mask = 0;
        return sample;
    }
    sample.alpha = buffer->transparencyPlanes > 0 ? Format::Fraction(PlaneOf<Format>(buffer, Planes::kColourPlanes)[i])
                                                  : kFullFraction;
    sample.mask = buffer->mask.data != nullptr
                      ? gToneTables.toFraction8[static_cast<const uint8_t*>(buffer->mask.data)[i]]
                      : kFullFraction;
    return sample;
}

template <class Planes> void PutPixel(ImageBuffer* buffer, const PixelSample& sample, int32_t x, int32_t y)
{
    using Format = typename Planes::Format;
    const ImageRect& r = buffer->rect;
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom)
        return;
    const size_t i = size_t(y - r.top) * size_t(buffer->width) + size_t(x - r.left);

    Planes(*buffer).Write(i, sample);
    if (buffer->transparencyPlanes > 0 && sample.alpha != kKeepSample)
        PlaneOf<Format>(buffer, Planes::kColourPlanes)[i] = Format::FromFraction(sample.alpha);
    if (buffer->mask.data != nullptr && sample.mask != kKeepSample)
        static_cast<uint8_t*>(buffer->mask.data)[i] = gToneTables.fromFraction8[sample.mask >> 16];
}

PixelSample GetNothing(const ImageBuffer*, int32_t, int32_t)
{
    return PixelSample{0, 0, 0, 0, 0};
}

void PutNothing(ImageBuffer*, const PixelSample&, int32_t, int32_t) {}

void PutUnsupported(ImageBuffer*, const PixelSample&, int32_t, int32_t)
{
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "OutputImage mode not implemented.");
}

// Modes the host knows but the module cannot convert.
bool IsKnownUnsupportedMode(int32_t mode)
{
    return mode == plugInModeBitmap || mode == plugInModeIndexedColor ||
           (mode >= plugInModeCMYKColor && mode <= plugInModeLabColor) ||
           (mode >= plugInModeLab48 && mode <= plugInModeDuotone16);
}

} // namespace

PixelProcs SelectPixelProcs(int32_t mode)
{
    PixelProcs procs{GetNothing, PutUnsupported};
    const bool supported = VisitPixelFormat(mode, [&procs](auto format) {
        using Planes = decltype(format);
        procs = PixelProcs{GetPixel<Planes>, PutPixel<Planes>};
    });
    if (supported)
        return procs;
    if (IsKnownUnsupportedMode(mode)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "InputImage mode not implemented.");
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "InputImage mode not yet implemented.");
    } else {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Invalid InputImage mode.");
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Unrecognized image mode.");
    }
    return procs;
}

PixelProcs EmptyPixelProcs()
{
    return PixelProcs{GetNothing, PutNothing};
}

bool HasModePixelProcs(const ImageBuffer& buffer)
{
    bool same = false;
    VisitPixelFormat(buffer.mode, [&](auto format) {
        using Planes = decltype(format);
        same = buffer.getPixel == GetPixel<Planes> && buffer.putPixel == PutPixel<Planes>;
    });
    return same;
}
