#include <algorithm>
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

} // namespace
