#include "image/PixelAccess.h"

#include "diag/ErrorReport.h"
#include "image/ToneTables.h"

namespace {

constexpr uint32_t kFullLinear = 0xFFFFFF;
constexpr uint32_t kFullFraction = 0xFFFFFFFE;

// One sample format: how a stored sample becomes linear light or a fraction and back. The writers
// are only handed colour below full scale and fractions other than the keep marker.
struct Sample8
{
    using Type = uint8_t;
    static uint32_t Linear(Type s) { return gToneTables.toLinear8[s]; }
    static uint32_t Fraction(Type s) { return gToneTables.toFraction8[s]; }
    static constexpr Type kFull = 255;
    static Type FromLinear(uint32_t v) { return gToneTables.fromLinear8[v >> 8]; }
    static Type FromFraction(uint32_t v) { return gToneTables.fromFraction8[v >> 16]; }
};

struct Sample16
{
    using Type = uint16_t;
    static uint32_t Linear(Type s) { return gToneTables.toLinear16[s]; }
    static uint32_t Fraction(Type s) { return gToneTables.toFraction16[s]; }
    static constexpr Type kFull = 32768;
    static Type FromLinear(uint32_t v) { return EncodeLinear16(v); }
    static Type FromFraction(uint32_t v) { return EncodeFraction16(v); }
};

// Floats outside 0..1 (and NaN) would make the conversion to an integer undefined; they read as the
// nearest end of the range. The products are exact in double precision.
struct Sample32
{
    using Type = float;
    static uint32_t Linear(Type s)
    {
        if (!(s > 0.0f))
            return 0;
        return s >= 1.0f ? kFullLinear : uint32_t(double(s) * 16777215.0);
    }
    static uint32_t Fraction(Type s)
    {
        if (!(s > 0.0f))
            return 0;
        return s >= 1.0f ? kFullFraction : uint32_t(double(s) * 4294967294.0);
    }
    static constexpr Type kFull = 1.0f;
    static Type FromLinear(uint32_t v) { return EncodeLinear32(v); }
    // The middle of the interval that reads as v: every host value coarse enough to be told apart from
    // its neighbours on reading (all from 2^-9 up) comes back unchanged.
    static Type FromFraction(uint32_t v) { return v == 0 ? 0.0f : float((double(v) + 0.5) / 4294967294.0); }
};

template <class Format> void WriteColour(typename Format::Type* stored, uint32_t v)
{
    if (v == kKeepSample)
        return;
    *stored = v >= kFullLinear ? Format::kFull : Format::FromLinear(v);
}

template <class Format> const typename Format::Type* PlaneOf(const ImageBuffer* buffer, int plane)
{
    return static_cast<const typename Format::Type*>(buffer->planes[plane]);
}

template <class Format> typename Format::Type* PlaneOf(ImageBuffer* buffer, int plane)
{
    return static_cast<typename Format::Type*>(buffer->planes[plane]);
}

template <class Format, int kColourPlanes> PixelSample GetPixel(const ImageBuffer* buffer, int32_t x, int32_t y)
{
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

    PixelSample sample;
    sample.red = Format::Linear(PlaneOf<Format>(buffer, 0)[i]);
    if constexpr (kColourPlanes == 3) {
        sample.green = Format::Linear(PlaneOf<Format>(buffer, 1)[i]);
        sample.blue = Format::Linear(PlaneOf<Format>(buffer, 2)[i]);
    } else {
        sample.green = sample.red;
        sample.blue = sample.red;
    }
    if (clamped) {
        sample.alpha = 0;
        sample.mask = 0;
        return sample;
    }
    sample.alpha =
        buffer->transparencyPlanes > 0 ? Format::Fraction(PlaneOf<Format>(buffer, kColourPlanes)[i]) : kFullFraction;
    sample.mask = buffer->mask.data != nullptr
                      ? gToneTables.toFraction8[static_cast<const uint8_t*>(buffer->mask.data)[i]]
                      : kFullFraction;
    return sample;
}

template <class Format, int kColourPlanes>
void PutPixel(ImageBuffer* buffer, const PixelSample& sample, int32_t x, int32_t y)
{
    const ImageRect& r = buffer->rect;
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom)
        return;
    const size_t i = size_t(y - r.top) * size_t(buffer->width) + size_t(x - r.left);

    if constexpr (kColourPlanes == 3) {
        WriteColour<Format>(&PlaneOf<Format>(buffer, 0)[i], sample.red);
        WriteColour<Format>(&PlaneOf<Format>(buffer, 1)[i], sample.green);
        WriteColour<Format>(&PlaneOf<Format>(buffer, 2)[i], sample.blue);
    } else if (sample.red != kKeepSample || sample.green != kKeepSample || sample.blue != kKeepSample) {
        const uint64_t sum = uint64_t(sample.red) + sample.green + sample.blue;
        WriteColour<Format>(&PlaneOf<Format>(buffer, 0)[i], uint32_t(sum / 3));
    }
    if (buffer->transparencyPlanes > 0 && sample.alpha != kKeepSample)
        PlaneOf<Format>(buffer, kColourPlanes)[i] = Format::FromFraction(sample.alpha);
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
    switch (mode) {
    case plugInModeGrayScale: return PixelProcs{GetPixel<Sample8, 1>, PutPixel<Sample8, 1>};
    case plugInModeRGBColor: return PixelProcs{GetPixel<Sample8, 3>, PutPixel<Sample8, 3>};
    case plugInModeGray16: return PixelProcs{GetPixel<Sample16, 1>, PutPixel<Sample16, 1>};
    case plugInModeRGB48: return PixelProcs{GetPixel<Sample16, 3>, PutPixel<Sample16, 3>};
    case plugInModeRGB96: return PixelProcs{GetPixel<Sample32, 3>, PutPixel<Sample32, 3>};
    case plugInModeGray32: return PixelProcs{GetPixel<Sample32, 1>, PutPixel<Sample32, 1>};
    default: break;
    }
    if (IsKnownUnsupportedMode(mode)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "InputImage mode not implemented.");
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "InputImage mode not yet implemented.");
    } else {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Invalid InputImage mode.");
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Unrecognized image mode.");
    }
    return PixelProcs{GetNothing, PutUnsupported};
}

PixelProcs EmptyPixelProcs()
{
    return PixelProcs{GetNothing, PutNothing};
}
