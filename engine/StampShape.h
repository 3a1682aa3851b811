// Placing a precomputed shape at one star: every point of the star's phase that falls inside the
// destination rectangle is tinted by the star's colour and screen-blended onto the destination.
#pragma once

#include "engine/Shape.h"
#include "engine/StarList.h"
#include "image/ImageBuffer.h"

// `colour` holds the star's colour fractions in red, green and blue and its strength (a fraction) in
// alpha. A `saturation` of 0 leaves the points' hue as it is. Fails when the phase cannot be built.
bool StampShape(ImageBuffer* destination, const ImageRect& destRect, Shape* shape, const PixelSample& colour,
                const StarPosition& position, int32_t saturation);
