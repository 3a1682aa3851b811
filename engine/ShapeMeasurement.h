// Weighted brightness and colour of an image under a ring or disc shape placed at a star position.
#pragma once

#include "engine/Shape.h"
#include "engine/StarList.h"
#include "image/ImageBuffer.h"

struct BrightnessMeasurement
{
    uint32_t mean;   // weighted mean brightness, channel units; 0 when nothing was inside the image
    float deviation; // weighted standard deviation of the brightness
    bool success;    // false when the shape could not be built
};

struct ColourMeasurement
{
    uint32_t red; // weighted means, channel units
    uint32_t green;
    uint32_t blue;
    bool success;
};

// Only the points that land inside the image's rectangle take part.
BrightnessMeasurement MeasureBrightness(Shape* shape, const ImageBuffer& image, const StarPosition& position);
ColourMeasurement MeasureColour(Shape* shape, const ImageBuffer& image, const StarPosition& position);
