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
    int32_t xPhase;
    int32_t yPhase;
    int32_t length;

    uint32_t WeightAt(int32_t i, int32_t j) const
    {
        return FlareProfile(Distance40Flare(4 * i - xPhase, 4 * j - yPhase), length);
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
    const FlareBuild build{xPhase, yPhase, key.length};
    const uint32_t cut = key.quality.visibilityCutoff;

    // The flare takes the square rings around the centre out to the first whose pixel on the right-hand
    // axis is invisible (the profile only falls with distance), and of them every visible pixel.
    const int32_t reach = int32_t(key.imageDiagonal);
    int32_t k = 1;
    while (k <= reach && build.WeightAt(k, 0) >= cut)
        ++k;
    const int32_t last = k - 1; // the outermost ring taken
    // The rectangle reaches one ring beyond the first invisible one, or one beyond the reach.
    const int32_t bound = k <= reach ? k + 1 : k;

    // Row by row, so that the points are in row order as they come. The centre is kept whatever its
    // weight, so that a built phase is never empty.
    for (int32_t j = -last; j <= last; ++j)
        for (int32_t i = -last; i <= last; ++i) {
            const uint32_t weight = build.WeightAt(i, j);
            if ((weight >= cut || (i == 0 && j == 0)) &&
                !AppendPoint(&entry, ShapePoint{int16_t(i), int16_t(j), kWhite, kWhite, kWhite, weight},
                             kRenderShapeGrowthPoints)) {
                // A partly built phase must not pass for a built one.
                entry.pointCount = 0;
                return false;
            }
        }

    entry.left = -bound;
    entry.top = -bound;
    entry.right = bound;
    entry.bottom = bound;
    return true;
}
