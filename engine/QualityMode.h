// The arithmetic quality of the engine's work: final quality for the filter run (exact 64-bit
// products, faint contributions drawn as far as the document's depth can show them) or preview quality
// (cheaper truncated products, a higher cut-off).
#pragma once

#include <cstdint>

#include "engine/FixedPoint.h"

struct QualityMode
{
    bool preciseArithmetic;
    uint32_t visibilityCutoff; // contributions below this level are not drawn
};

// Deeper documents show fainter contributions, so they are drawn further out: 16383 for 8 bits per
// sample, 4095 for 16, 2047 for 32.
QualityMode FinalQuality(int32_t bitsPerSample);
QualityMode PreviewQuality(); // cut-off 65535

// The quality of the work in progress. Star detection sets final quality for its image and a render
// sets the quality it was asked for; everything below them reads it from here.
extern QualityMode gQuality;

// For work outside the hot loops: follows the current quality.
inline uint32_t MulFraction(uint32_t a, Fraction f)
{
    return gQuality.preciseArithmetic ? PreciseArithmetic::Mul(a, f) : PreviewArithmetic::Mul(a, f);
}
