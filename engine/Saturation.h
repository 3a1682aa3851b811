// Saturation of a stamped point's colour: each channel is pushed away from (or, for negative settings,
// towards) the mean of the other two. Applied per point while stamping, so it is inline.
#pragma once

#include <cstdint>

#include "engine/ColourFractions.h"

// Positive settings are amplified 13-fold so that the top of the slider reaches vivid colour, while the
// negative side only needs to reach grey (-100 moves each channel two thirds of the way to the mean).
inline int64_t SaturationGain(int32_t saturation)
{
    return saturation <= 0 ? saturation : int64_t(13) * saturation;
}

inline Fraction SaturatedChannel(int64_t c, int64_t o1, int64_t o2, int64_t gain)
{
    // Signed: a channel below the mean of the others moves down, and the product can exceed 32 bits.
    const int64_t moved = c + (c - (o1 + o2) / 2) * gain / 150;
    if (moved < 0)
        return 0;
    if (moved > int64_t(kFractionOne))
        return kFractionOne;
    return Fraction(moved);
}

// Every channel is computed from the values as they were on entry.
inline void SaturateColour(ColourFractions* colour, int32_t saturation)
{
    const int64_t gain = SaturationGain(saturation);
    const int64_t r = colour->red;
    const int64_t g = colour->green;
    const int64_t b = colour->blue;
    colour->red = SaturatedChannel(r, g, b, gain);
    colour->green = SaturatedChannel(g, r, b, gain);
    colour->blue = SaturatedChannel(b, r, g, gain);
}
