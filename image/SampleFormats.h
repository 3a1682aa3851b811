// The stored sample formats of the host image modes, and the colour of one pixel addressed by its index
// in the planes. The pixel procedures are built from these, and so are the loops that must write
// exactly what the procedures write without calling one per pixel:
//
//   VisitPixelFormat(buffer->mode, [&](auto format) {
//       const decltype(format) planes(*buffer);     // the plane addresses, once per loop
//       PixelSample pixel = planes.Read(i);          // colour only; alpha and mask are left unset
//       ...
//       planes.Write(i, pixel);                      // keeps a channel that holds kKeepSample
//   });
#pragma once

#include "image/ImageBuffer.h"
#include "image/ToneTables.h"

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

template <class Format> inline void WriteColour(typename Format::Type* stored, uint32_t v)
{
    if (v == kKeepSample)
        return;
    *stored = v >= kFullLinear ? Format::kFull : Format::FromLinear(v);
}

// The colour planes of a buffer in one format. The plane addresses are copied once, so that a loop
// over many pixels does not reload them after every store (an 8-bit store may alias anything).
template <class SampleFormat, int kPlanes> struct PixelPlanes
{
    using Format = SampleFormat;
    using Type = typename Format::Type;
    static constexpr int kColourPlanes = kPlanes;

    // Names the format only, as VisitPixelFormat hands it over.
    PixelPlanes() = default;

    explicit PixelPlanes(const ImageBuffer& buffer)
    {
        for (int p = 0; p < kColourPlanes; ++p)
            plane[p] = static_cast<Type*>(buffer.planes[p]);
    }

    // Linear light of pixel `i`; grey reads the same value into all three channels.
    PixelSample Read(size_t i) const
    {
        PixelSample sample;
        sample.red = Format::Linear(plane[0][i]);
        if constexpr (kColourPlanes == 3) {
            sample.green = Format::Linear(plane[1][i]);
            sample.blue = Format::Linear(plane[2][i]);
        } else {
            sample.green = sample.red;
            sample.blue = sample.red;
        }
        return sample;
    }

    // Grey stores the mean of the three channels, unless all three keep the stored value.
    void Write(size_t i, const PixelSample& sample) const
    {
        if constexpr (kColourPlanes == 3) {
            WriteColour<Format>(&plane[0][i], sample.red);
            WriteColour<Format>(&plane[1][i], sample.green);
            WriteColour<Format>(&plane[2][i], sample.blue);
        } else if (sample.red != kKeepSample || sample.green != kKeepSample || sample.blue != kKeepSample) {
            const uint64_t sum = uint64_t(sample.red) + sample.green + sample.blue;
            WriteColour<Format>(&plane[0][i], uint32_t(sum / 3));
        }
    }

    Type* plane[kColourPlanes] = {};
};

// The one place that says which format each mode stores: calls `visit` with an empty PixelPlanes of
// `mode`'s format and returns true, or returns false for modes without pixel access.
template <class Visit> bool VisitPixelFormat(int32_t mode, Visit&& visit)
{
    switch (mode) {
    case plugInModeGrayScale: visit(PixelPlanes<Sample8, 1>()); return true;
    case plugInModeRGBColor: visit(PixelPlanes<Sample8, 3>()); return true;
    case plugInModeGray16: visit(PixelPlanes<Sample16, 1>()); return true;
    case plugInModeRGB48: visit(PixelPlanes<Sample16, 3>()); return true;
    case plugInModeRGB96: visit(PixelPlanes<Sample32, 3>()); return true;
    case plugInModeGray32: visit(PixelPlanes<Sample32, 1>()); return true;
    default: return false;
    }
}
