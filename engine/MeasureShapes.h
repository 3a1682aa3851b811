// The ring and disc shapes under which star detection measures brightness and colour, and the
// measurements themselves. Shape i of either family has the radius i / 4 pixels.
#pragma once

#include "engine/Shape.h"

constexpr int32_t kMeasureShapeCount = 640;

struct MeasureShapes
{
    Shape rings[kMeasureShapeCount];
    Shape discs[kMeasureShapeCount];
};

extern MeasureShapes gMeasureShapes;

// Attaches the builders and radii; the phases are built on first use.
void ConfigureMeasureShapes();
// Frees every ring and disc; rendering never uses them.
void ReleaseMeasureShapes();

// Builders; the shape's parameter block is its radius in pixels (float).
bool BuildRingShape(Shape* shape, int32_t xPhase, int32_t yPhase);
bool BuildDiscShape(Shape* shape, int32_t xPhase, int32_t yPhase);
