// Spikes as anti-aliased rays of weighted points, drawn into the spike shape for one quarter-pixel
// phase: the main spikes and the fan of secondary spikes, each running outward from the star centre
// until it is too faint to see.
#pragma once

#include <cstdint>

#include "engine/ColourFractions.h"
#include "engine/FixedPoint.h"
#include "engine/RenderShapes.h"

// How the brightness of a spike falls with the distance `distance40` (fortieths of a pixel) for the ray
// length parameter `rayLength` 0..100: 1 at the centre, a power law whose exponent shrinks as the spikes
// grow longer.
double SpikeFalloff(uint32_t distance40, int32_t rayLength);

struct SpikePointValue
{
    ColourFractions colour;
    Fraction strength; // before anti-aliasing coverage
};

// The colour and strength of a ray point `dx`, `dy` quarter pixels from the star centre, with the
// rainbow settings of `key`.
SpikePointValue SpikePoint(int32_t dx, int32_t dy, const SpikeShapeKey& key, int32_t rayLength, Fraction intensity);

// Appends the points of one ray at `angle` (tenths of a degree) with width factor `width` to the
// phase's entry and grows its bounding rectangle; the cut-off and the image's extent come from `key`.
// False only when a point could not be appended.
bool DrawSpikeRay(Shape* shape, int32_t xPhase, int32_t yPhase, const SpikeShapeKey& key, int32_t angle, float width,
                  int32_t rayLength, Fraction intensity);

// Width factor of the main spikes for a sharpness 0..100; the secondary spikes use half of it.
float SpikeWidthFactor(int32_t spikeSharpness);
