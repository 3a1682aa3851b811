#include "engine/MeasureShapes.h"

#include <cmath>

#include "engine/FixedPoint.h"

MeasureShapes gMeasureShapes;

namespace {

float gMeasureRadius[kMeasureShapeCount];

// A pixel treated as a disc of unit area has this radius.
constexpr float kPixelRadius = 0.564f;
constexpr float kRingHalfWidth = 0.125f;
constexpr uint32_t kEmptyRingWeight = 0x3FFFFFFF;

struct ShapeFrame
{
    float radius;
    float px; // the phase as a pixel fraction
    float py;
};

ShapeFrame StartEntry(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    const ShapeFrame frame{*static_cast<const float*>(shape->builderParameters), float(xPhase) * 0.25f,
                           float(yPhase) * 0.25f};
    SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
    entry.pointCount = 0;
    entry.left = int32_t(frame.px - frame.radius - kPixelRadius);
    entry.top = int32_t(frame.py - frame.radius - kPixelRadius);
    entry.right = int32_t(frame.radius + frame.px + 1.564f);
    entry.bottom = int32_t(frame.radius + frame.py + 1.564f);
    return frame;
}

float DistanceFrom(const ShapeFrame& frame, int32_t x, int32_t y)
{
    const float fx = float(x) - frame.px;
    const float fy = float(y) - frame.py;
    return std::sqrt(fx * fx + fy * fy);
}

ShapePoint WhitePoint(int32_t x, int32_t y, uint32_t weight)
{
    return ShapePoint{int16_t(x), int16_t(y), kFractionOne, kFractionOne, kFractionOne, weight};
}

} // namespace

void ConfigureMeasureShapes()
{
    for (int32_t i = 0; i < kMeasureShapeCount; ++i) {
        gMeasureRadius[i] = float(i) * 0.25f;
        gMeasureShapes.rings[i].builder = BuildRingShape;
        gMeasureShapes.rings[i].builderParameters = &gMeasureRadius[i];
        gMeasureShapes.discs[i].builder = BuildDiscShape;
        gMeasureShapes.discs[i].builderParameters = &gMeasureRadius[i];
    }
}

void ReleaseMeasureShapes()
{
    for (int32_t i = 0; i < kMeasureShapeCount; ++i) {
        ClearShape(&gMeasureShapes.rings[i]);
        ClearShape(&gMeasureShapes.discs[i]);
    }
}

bool BuildDiscShape(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    const ShapeFrame frame = StartEntry(shape, xPhase, yPhase);
    SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
    const float r = frame.radius;
    const uint32_t growth = uint32_t((r + 1.0f) * (r + 1.0f) * 3.1415927f + 4.0f);
    for (int32_t y = entry.top; y < entry.bottom; ++y) {
        for (int32_t x = entry.left; x < entry.right; ++x) {
            const float d = DistanceFrom(frame, x, y);
            if (!(d < r + 0.5f))
                continue;
            // The rim pixels are weighted by how far the disc edge reaches into them.
            const uint32_t weight = d > r - 0.5f ? uint32_t((r + 0.5f - d) * 4294967296.0f) : kFractionOne;
            if (!AppendPoint(&entry, WhitePoint(x, y, weight), growth))
                return false;
        }
    }
    return true;
}

bool BuildRingShape(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    const ShapeFrame frame = StartEntry(shape, xPhase, yPhase);
    SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
    const float r = frame.radius;
    const uint32_t growth = uint32_t(r * 18.849556f + 4.0f);
    // Each pixel covers the radial span [d - 0.564, d + 0.564]; the ring is the band
    // [inner, r + 0.125] and a pixel's weight is the part of the band it covers.
    float inner = r - kRingHalfWidth;
    const float outer = r + kRingHalfWidth;
    for (int32_t y = entry.top; y < entry.bottom; ++y) {
        for (int32_t x = entry.left; x < entry.right; ++x) {
            const float d = DistanceFrom(frame, x, y);
            const float low = d - kPixelRadius;
            const float high = d + kPixelRadius;
            uint32_t weight;
            if (r <= 1.0f && low < -inner) {
                // The pixel's span reaches across the centre: weight it by the area it covers outside
                // the band's inner edge. A band that would start below zero starts at zero.
                if (r - kRingHalfWidth < 0.0f)
                    inner = 0.0f;
                weight = uint32_t((0.5f - inner * inner * 3.1415927f) * 1.4142137f * 4294967296.0f);
            } else if (low >= outer || high <= inner) {
                continue;
            } else if (low <= inner && high >= outer) {
                weight = kFractionOne;
            } else if (low > inner) {
                weight = uint32_t((outer - low) * 2.0f * 4294967296.0f);
            } else {
                weight = uint32_t((high - inner) * 2.0f * 4294967296.0f);
            }
            if (!AppendPoint(&entry, WhitePoint(x, y, weight), growth))
                return false;
        }
    }
    // A measurement under a ring that covers no pixel still needs something to average.
    if (entry.pointCount == 0)
        return AppendPoint(&entry, WhitePoint(0, 0, kEmptyRingWeight), growth);
    return true;
}
