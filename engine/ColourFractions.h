// A colour as three fractions (0xFFFFFFFE is 1.0), the form in which shape points and stars carry hue.
#pragma once

#include "engine/FixedPoint.h"

struct ColourFractions
{
    Fraction red;
    Fraction green;
    Fraction blue;
};
