// The brightness by which star detection judges pixels: the mean of the three colour channels.
#pragma once

#include "engine/FixedPoint.h"
#include "image/ImageBuffer.h"

inline Channel BrightnessOf(const PixelSample& sample)
{
    return MeanOfThree(sample.red, sample.green, sample.blue);
}
