// Shapes: precomputed lists of weighted pixel offsets around a star, one list per quarter-pixel phase,
// so that placing a shape at a star costs one integer offset per point. Built lazily, phase by phase.
#pragma once

#include "image/BufferRecord.h"

struct ShapePoint
{
    int16_t dx; // column offset from the star's pixel
    int16_t dy; // row offset
    uint32_t red;
    uint32_t green;
    uint32_t blue;
    uint32_t weight; // a fraction for rings, discs and spikes; a flare-profile value for the flare
};

struct SubShapeEntry
{
    uint32_t pointCount; // 0: not built
    int32_t left;        // bounding rectangle in pixel offsets; right and bottom exclusive
    int32_t top;
    int32_t right;
    int32_t bottom;
    BufferRecord points; // ShapePoint array
};

struct Shape;
using ShapeBuilder = bool (*)(Shape* shape, int32_t xPhase, int32_t yPhase);

struct Shape
{
    SubShapeEntry entries[16]; // indexed by xPhase * 4 + yPhase
    ShapeBuilder builder;
    const void* builderParameters;
};

inline SubShapeEntry& EntryFor(Shape& shape, int32_t xPhase, int32_t yPhase)
{
    return shape.entries[xPhase * 4 + yPhase];
}

inline const ShapePoint* PointsOf(const SubShapeEntry& entry)
{
    return static_cast<const ShapePoint*>(entry.points.data);
}

// Row order: by row offset. A walk through the points then walks a destination's memory forward, and
// the points of a band of rows are one stretch of them.
inline bool PrecedesInRowOrder(const ShapePoint& a, const ShapePoint& b)
{
    return a.dy != b.dy ? a.dy < b.dy : a.dx < b.dx;
}

// Growth hints for AppendPoint.
constexpr uint32_t kRenderShapeGrowthPoints = 16384;

bool AppendPoint(SubShapeEntry* entry, const ShapePoint& point, uint32_t growthPoints);

// Puts the entry's points in row order. Points on one pixel (where rays cross) keep the order in which
// they were added: their blends do not commute. Takes no memory beyond the block and a few kilobytes of
// stack.
void SortPointsInRowOrder(SubShapeEntry* entry);
bool EnsureSubShape(Shape* shape, int32_t xPhase, int32_t yPhase);
void InvalidateShape(Shape* shape);
void ClearShape(Shape* shape);
