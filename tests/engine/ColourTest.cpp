#include <algorithm>
#include <map>
#include <utility>

#include "RenderFixture.h"
#include "engine/Rainbow.h"
#include "engine/Saturation.h"

namespace {

bool SameColour(const ColourFractions& a, const ColourFractions& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

using ColourTest = RenderFixture;

TEST_F(ColourTest, RainbowFadesInFromWhiteThenRepeatsEveryHueCycle)
{
    const ColourFractions white{kFractionOne, kFractionOne, kFractionOne};
    EXPECT_TRUE(SameColour(RainbowColourFor(0, 100, 50), white));
    EXPECT_TRUE(SameColour(RainbowColourFor(40000, 0, 50), white));

    // The three channels lose A x 1.5 between them whatever the hue, so their loss gives the amplitude:
    // rising linearly with the phase up to 10000 tenths of a degree (d = 6625 at frequency 50), then
    // constant. Forming the ramp as a product before dividing would wrap 32 bits long before its end.
    for (const uint32_t intensity : {100u, 63u})
        for (uint32_t d = 0; d < 9000; d += 37) {
            const ColourFractions c = RainbowColourFor(d, int32_t(intensity), 50);
            const double loss = 3.0 * kFractionOne - double(c.red) - double(c.green) - double(c.blue);
            const double ramp = std::min(d * 80 / 53, 10000u) / 10000.0;
            EXPECT_NEAR(loss / (1.5 * intensity * 42949672.0), ramp, 1e-5) << intensity << " at " << d;
        }
    // At frequency 50 one hue cycle spans 2385 fortieths of a pixel once the rainbow has faded in.
    for (uint32_t d : {6625u, 12345u}) {
        EXPECT_TRUE(SameColour(RainbowColourFor(d, 80, 50), RainbowColourFor(d + 2385, 80, 50))) << d;
        EXPECT_FALSE(SameColour(RainbowColourFor(d, 80, 50), RainbowColourFor(d + 1192, 80, 50))) << d;
    }
}

TEST_F(ColourTest, SaturationPullsTowardsOrPushesAwayFromGreyWithinRange)
{
    ColourFractions red{kFractionOne, 0, 0};
    SaturateColour(&red, -100);
    for (Fraction channel : {red.red, red.green, red.blue})
        EXPECT_NEAR(channel, kFractionOne / 3.0, 2.0);

    // The results are clamped to 0..1.
    ColourFractions orange{kFractionOne, kFractionOne / 2, kFractionOne / 4};
    SaturateColour(&orange, 100);
    EXPECT_EQ(orange.red, kFractionOne);
    EXPECT_EQ(orange.blue, 0u);
}

using FlareShapeTest = RenderFixture;

TEST_F(FlareShapeTest, RingsCoverEachPixelOnceUntilTheFirstInvisibleAxisPixel)
{
    const SubShapeEntry& entry = Built(&gRenderShapes.flare, 0, 0);
    std::map<std::pair<int, int>, uint32_t> weights;
    int32_t reach = 0;
    for (uint32_t i = 0; i < entry.pointCount; ++i) {
        const ShapePoint& p = PointsOf(entry)[i];
        EXPECT_TRUE(weights.insert({{p.dx, p.dy}, p.weight}).second) << p.dx << "," << p.dy;
        EXPECT_GE(p.weight, gQuality.visibilityCutoff);
        reach = std::max({reach, std::abs(int32_t(p.dx)), std::abs(int32_t(p.dy))});
    }
    // Centred on its pixel the flare is symmetric under the square's mirrors: a pixel the ring walk
    // skipped shows as a broken symmetry.
    for (const auto& [at, weight] : weights)
        for (const std::pair<int, int>& mirror : {std::pair{-at.first, at.second}, {at.second, at.first}}) {
            const auto found = weights.find(mirror);
            ASSERT_TRUE(found != weights.end() && found->second == weight) << at.first << "," << at.second;
        }
    // The walk stopped at the ring after the last visible one; the rectangle reaches one ring further.
    EXPECT_GT(reach, 20);
    EXPECT_TRUE(entry.left == -(reach + 2) && entry.top == -(reach + 2) && entry.right == reach + 2 &&
                entry.bottom == reach + 2);

    // Preview quality keeps it small, and no flare reaches beyond the image's diagonal.
    gQuality = PreviewQuality();
    EXPECT_LT(Built(&gRenderShapes.flare, 0, 0).right, reach);
    UseInputSize(3, 4, 16);
    EXPECT_EQ(Built(&gRenderShapes.flare, 2, 2).right, 7);
}

} // namespace
