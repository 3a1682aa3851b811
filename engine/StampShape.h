// Placing a precomputed shape at one star: every point of the star's phase that falls inside the
// destination rectangle is tinted by the star's colour and screen-blended onto the destination.
#pragma once

#include "engine/Shape.h"
#include "engine/StarList.h"
#include "image/ImageBuffer.h"

// `colour` holds the star's colour fractions in red, green and blue and its strength (a fraction) in
// alpha. A `saturation` of 0 leaves the points' hue as it is. The shape's points must be in row order
// (SortPointsInRowOrder), as the render shapes keep them. Fails when the phase cannot be built.
//
// A destination that reads and writes through its mode's own pixel procedures is stamped on its planes
// directly, with the same result to the bit; any other goes through its procedures point by point.
bool StampShape(ImageBuffer* destination, const ImageRect& destRect, Shape* shape, const PixelSample& colour,
                const StarPosition& position, int32_t saturation);
