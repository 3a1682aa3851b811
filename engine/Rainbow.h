// The rainbow along every spike: the hue of a spike point turns with its distance from the star's
// centre, three sine waves 120 degrees apart, fading in over the first part of the spike.
#pragma once

#include <cstdint>

#include "engine/ColourFractions.h"

// `distance40` in fortieths of a pixel; `rainbowIntensity` and `rainbowFrequency` 0..100.
ColourFractions RainbowColourFor(uint32_t distance40, int32_t rainbowIntensity, int32_t rainbowFrequency);
