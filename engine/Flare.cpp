#include "engine/Flare.h"

#include <cmath>

#include "engine/EffectTables.h"
#include "engine/FixedPoint.h"
#include "engine/RenderShapes.h"

namespace {

constexpr uint32_t kFlareReach40 = 10000; // 250 pixels: nothing of the flare is drawn beyond
constexpr Fraction kWhite = kFractionOne;

struct FlareBuild
{
    SubShapeEntry* entry;
    int32_t xPhase;
    int32_t yPhase;
    int32_t length;
    uint32_t cut;
    bool failed;

    uint32_t WeightAt(int32_t i, int32_t j) const
    {
        return FlareProfile(Distance40Flare(4 * i - xPhase, 4 * j - yPhase), length);
    }

    // Appends the pixel when it is visible; returns its weight.
    uint32_t Visit(int32_t i, int32_t j)
    {
        const uint32_t weight = WeightAt(i, j);
        if (weight >= cut && !failed) {
            const ShapePoint point{int16_t(i), int16_t(j), kWhite, kWhite, kWhite, weight};
            failed = !AppendPoint(entry, point, kRenderShapeGrowthPoints);
        }
        return weight;
    }

    // One ring of pixels at Chebyshev distance k, each pixel once: the axis and corner pixels in the
    // first and last steps, the others in eight mirrored positions. False when the ring's first axis
    // pixel is already invisible: the profile only falls with distance, so that ends the flare.
    bool VisitRing(int32_t k)
    {
        for (int32_t j = 0; j <= k; ++j) {
            const bool between = j > 0 && j < k;
            if (Visit(k, j) < cut && j == 0)
                return false;
            if (between)
                Visit(j, k);
            Visit(-j, k);
            if (between)
                Visit(-k, j);
            Visit(-k, -j);
            if (between)
                Visit(-j, -k);
            Visit(j, -k);
            if (between)
                Visit(k, -j);
        }
        return true;
    }
};

} // namespace

uint32_t FlareProfile(uint32_t distance40, int32_t length)
{
    // Asked first, so that a change of length empties the cache even for distances beyond the reach.
    uint32_t* cache = FlareProfileCacheFor(length);
    if (distance40 >= kFlareReach40)
        return 0;
    if (cache[distance40] != 0)
        return cache[distance40];
    const double exponent = 25.0 - 0.2 * length;
    const uint32_t value =
        uint32_t(double(kFlareCentreWeight) / std::pow(1.0 + (distance40 + 1) * 0.000333333, exponent));
    cache[distance40] = value;
    return value;
}

bool BuildFlareShape(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
    entry.pointCount = 0;
    entry.left = entry.top = entry.right = entry.bottom = 0;

    const FlareShapeKey& key = *static_cast<const FlareShapeKey*>(shape->builderParameters);
    FlareBuild build{&entry, xPhase, yPhase, key.length, key.quality.visibilityCutoff, false};

    // The centre is kept whatever its weight, so that a built phase is never empty.
    const ShapePoint centre{0, 0, kWhite, kWhite, kWhite, build.WeightAt(0, 0)};
    build.failed = !AppendPoint(&entry, centre, kRenderShapeGrowthPoints);

    const int32_t reach = int32_t(key.imageDiagonal);
    int32_t k = 1;
    while (k <= reach && !build.failed) {
        const bool goesOn = build.VisitRing(k);
        ++k;
        if (!goesOn)
            break;
    }
    if (build.failed) {
        // A partly built phase must not pass for a built one.
        entry.pointCount = 0;
        return false;
    }

    SortPointsInRowOrder(&entry);
    entry.left = -k;
    entry.top = -k;
    entry.right = k;
    entry.bottom = k;
    return true;
}
