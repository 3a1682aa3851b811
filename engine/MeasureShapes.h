// The ring and disc shapes under which star detection measures brightness and colour, and the
// measurements themselves. Shape i of either family has the radius i / 4 pixels.
#pragma once

#include "engine/Shape.h"
#include "engine/StarList.h"
#include "host/ImageBuffer.h"

constexpr int32_t kMeasureShapeCount = 640;

extern Shape gRingShape[kMeasureShapeCount];
extern Shape gDiscShape[kMeasureShapeCount];

// Attaches the builders and radii; the phases are built on first use.
void ConfigureMeasureShapes();
// Frees every ring and disc; rendering never uses them.
void ReleaseMeasureShapes();

// Builders; the shape's parameter block is its radius in pixels (float).
bool BuildRingShape(Shape* shape, int32_t xPhase, int32_t yPhase);
bool BuildDiscShape(Shape* shape, int32_t xPhase, int32_t yPhase);

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
