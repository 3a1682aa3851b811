// The soft flare: a round glow around every star whose profile falls off with distance, steeply for
// short spikes and gently for long ones. Its shape's builder, BuildFlareShape, is declared with the
// render shapes.
#pragma once

#include <cstdint>

// Centre value of the flare profile: 4 x full channel, so that as a fraction it stays near 1/64 and the
// stamp's 256-fold opacity scaling brings it back to full strength at the centre.
constexpr uint32_t kFlareCentreWeight = 67108860;

// The flare weight at `distance40` fortieths of a pixel for the spike `length` 0..100; 0 from 250 pixels.
uint32_t FlareProfile(uint32_t distance40, int32_t length);
