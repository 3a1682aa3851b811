#include "engine/SpikeRaster.h"

#include <algorithm>
#include <cmath>

#include "engine/EffectTables.h"
#include "engine/QualityMode.h"
#include "engine/Rainbow.h"
#include "engine/RenderShapes.h"
#include "engine/SecondarySpikes.h"

namespace {

constexpr int32_t kSecondaryLengthPercent = 90;
constexpr uint32_t kOneTenThousandth = 429496; // 2^32 / 10000, truncated

// One ray seen along its walk: the outer loop steps along the major axis (rows for rays steeper than
// 45 degrees, columns otherwise), the inner loops walk the minor axis away from the centre line.
struct RayWalk
{
    SubShapeEntry* entry;
    const SpikeShapeKey* key;
    bool steep;         // major axis is the row
    int32_t majorPhase; // the star centre in quarter pixels along each axis
    int32_t minorPhase;
    int32_t rayLength;
    Fraction intensity;
    uint32_t cut;
    float coverageSlope; // coverage change per quarter pixel along the minor axis
    float low;           // the core's edges on the current major step
    float high;
    uint32_t stepMax; // strongest point of the current major step
    bool failed;

    // Visits the point at `minor` on major step `major`; false when its coverage is gone.
    bool Visit(int32_t major, int32_t minor)
    {
        float coverage = std::fmin(0.5f - (low - float(minor)) * 0.25f * coverageSlope,
                                   0.5f + (high - float(minor)) * 0.25f * coverageSlope);
        if (coverage <= 0.0f)
            return false;
        if (coverage > 1.0f)
            coverage = 1.0f;
        const double scaled = double(coverage) * 4294967296.0;
        const Fraction coverageFraction = scaled >= double(kFractionOne) ? kFractionOne : Fraction(scaled);

        const int32_t dx = steep ? minor : major;
        const int32_t dy = steep ? major : minor;
        const int32_t phaseX = steep ? minorPhase : majorPhase;
        const int32_t phaseY = steep ? majorPhase : minorPhase;
        const SpikePointValue value = SpikePoint(dx - phaseX, dy - phaseY, *key, rayLength, intensity);
        const uint32_t weight = MulFraction(coverageFraction, value.strength);
        if (weight > stepMax)
            stepMax = weight;
        if (weight >= cut && !failed) {
            const ShapePoint point{int16_t(dx / 4),    int16_t(dy / 4),   value.colour.red,
                                   value.colour.green, value.colour.blue, weight};
            failed = !AppendPoint(entry, point, kRenderShapeGrowthPoints);
        }
        return true;
    }
};

void GrowMinorBounds(SubShapeEntry* entry, bool steep, int32_t lowStop, int32_t highStop)
{
    int32_t& lowBound = steep ? entry->left : entry->top;
    int32_t& highBound = steep ? entry->right : entry->bottom;
    if (lowStop / 4 < lowBound)
        lowBound = lowStop / 4;
    if (highStop / 4 + 1 > highBound)
        highBound = highStop / 4 + 1;
}

} // namespace

double SpikeFalloff(uint32_t distance40, int32_t rayLength)
{
    double* cache = SpikeFalloffCacheFor(rayLength);
    if (distance40 < kSpikeFalloffCacheEntries && cache[distance40] != 0.0)
        return cache[distance40];
    const double value = 1.0 / std::pow(1.0 + distance40 * 0.01, 170.0 / (rayLength + 36));
    if (distance40 < kSpikeFalloffCacheEntries)
        cache[distance40] = value;
    return value;
}

SpikePointValue SpikePoint(int32_t dx, int32_t dy, const SpikeShapeKey& key, int32_t rayLength, Fraction intensity)
{
    const uint32_t distance40 = Distance40Spike(dx, dy);
    const double falloff = SpikeFalloff(distance40, rayLength) * 4294967294.0;
    return SpikePointValue{RainbowColourFor(distance40, key.rainbowIntensity, key.rainbowFrequency),
                           MulFraction(Fraction(falloff), intensity)};
}

float SpikeWidthFactor(int32_t spikeSharpness)
{
    return float((spikeSharpness + 10) * 67) * 0.0001f;
}

bool DrawSpikeRay(Shape* shape, int32_t xPhase, int32_t yPhase, const SpikeShapeKey& key, int32_t angle, float width,
                  int32_t rayLength, Fraction intensity)
{
    const uint32_t cut = 2 * key.quality.visibilityCutoff;
    if (rayLength < 1 || intensity < cut)
        return true;

    const float s = SineAt(angle);
    const float c = -CosineAt(angle);
    const bool steep = std::fabs(s) < std::fabs(c);
    const float along = steep ? c : s;  // direction component on the major axis
    const float across = steep ? s : c; // on the minor axis
    const int32_t majorExtent = 4 * (steep ? key.imageHeight : key.imageWidth);
    const int32_t minorExtent = 4 * (steep ? key.imageWidth : key.imageHeight);

    RayWalk walk{};
    walk.entry = &EntryFor(*shape, xPhase, yPhase);
    const uint32_t rayStart = walk.entry->pointCount;
    walk.key = &key;
    walk.steep = steep;
    walk.majorPhase = steep ? yPhase : xPhase;
    walk.minorPhase = steep ? xPhase : yPhase;
    walk.rayLength = rayLength;
    walk.intensity = intensity;
    walk.cut = cut;
    walk.coverageSlope = std::fabs(along) * width;

    const int32_t step = along > 0.0f ? 4 : -4;
    const float slope = across / along;
    const float advance = slope * float(step);
    const float halfWidth = 1.3f / std::fabs(along);
    float centre = float(walk.minorPhase) - slope * float(walk.majorPhase);
    int32_t major = 0;
    // Opposite rays would both draw the star's own row (or column); the one walking backwards starts
    // one step out.
    if (step < 0) {
        major = -4;
        centre += advance;
    }

    for (; std::abs(major) <= majorExtent; major += step, centre += advance) {
        walk.low = centre - halfWidth;
        walk.high = centre + halfWidth;
        walk.stepMax = 0;
        const int32_t start = int32_t(centre) / 4 * 4;

        int32_t minor = start;
        while (std::abs(minor) <= minorExtent && walk.Visit(major, minor))
            minor -= 4;
        const int32_t lowStop = minor;
        minor = start + 4;
        while (std::abs(minor) <= minorExtent && walk.Visit(major, minor))
            minor += 4;
        if (walk.failed)
            return false;
        GrowMinorBounds(walk.entry, steep, lowStop, minor);

        if (walk.stepMax < cut)
            break;
    }

    // A steep ray walking upward is stored from its far end, so that its rows come in order and the
    // shape's sort has little to do. No two of its points share a pixel, so their order among
    // themselves does not matter; the order of the rays does, and stays.
    if (steep && step < 0) {
        ShapePoint* points = static_cast<ShapePoint*>(walk.entry->points.data);
        std::reverse(points + rayStart, points + walk.entry->pointCount);
    }
    int32_t& lowBound = steep ? walk.entry->top : walk.entry->left;
    int32_t& highBound = steep ? walk.entry->bottom : walk.entry->right;
    if (major / 4 < lowBound)
        lowBound = major / 4;
    if (major / 4 + 1 > highBound)
        highBound = major / 4 + 1;
    return true;
}

namespace {

bool DrawSpikeRays(Shape* shape, int32_t xPhase, int32_t yPhase, const SpikeShapeKey& key)
{
    const float width = SpikeWidthFactor(key.spikeSharpness);
    if (key.length > 0) {
        for (int32_t k = 0; k < key.numberOfPoints; ++k) {
            const int32_t angle = key.angle + k * 3600 / key.numberOfPoints;
            if (!DrawSpikeRay(shape, xPhase, yPhase, key, angle, width, key.length, kFractionOne))
                return false;
        }
    }

    if (key.secondarySpikeIntensity >= 1 && key.length >= 1) {
        const int32_t rayLength = key.length * kSecondaryLengthPercent / 100;
        for (const SecondarySpike& spike : kSecondarySpikeTable) {
            const Fraction intensity =
                uint32_t(spike.weight) * uint32_t(key.secondarySpikeIntensity) * kOneTenThousandth;
            if (!DrawSpikeRay(shape, xPhase, yPhase, key, key.angle + spike.degrees * 10, width * 0.5f, rayLength,
                              intensity))
                return false;
        }
    }
    return true;
}

} // namespace

bool BuildSpikeShape(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
    entry.pointCount = 0;
    entry.left = entry.top = entry.right = entry.bottom = 0;
    if (DrawSpikeRays(shape, xPhase, yPhase, *static_cast<const SpikeShapeKey*>(shape->builderParameters))) {
        SortPointsInRowOrder(&entry);
        return true;
    }
    // A partly drawn phase must not pass for a built one.
    entry.pointCount = 0;
    return false;
}
