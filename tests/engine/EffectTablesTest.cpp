#include <gtest/gtest.h>

#include <cmath>

#include "common/Fnv1a.h"
#include "engine/EffectTables.h"
#include "engine/RenderShapes.h"
#include "engine/ShapeMeasurement.h"

TEST(FixedPoint, RatiosMeansAndProductsAtTheirLimits)
{
    EXPECT_EQ(RatioFraction(12345, 0), kFractionOne);
    EXPECT_EQ(RatioFraction(1, 2), 0x80000000u);
    EXPECT_EQ(RatioFraction(7, 7), kFractionOne); // 2^32 itself is capped
    EXPECT_EQ(RatioFraction(0xFFFFFFFF, 1), kFractionOne);
    EXPECT_EQ(MeanOfThree(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(OneMinus(kFractionOne), 0u);

    // Full scale times 1.0: the preview's truncated operands lose a little.
    EXPECT_EQ(MulFraction<PreciseArithmetic>(kFullChannel, kFractionOne), 16777214u);
    EXPECT_EQ(MulFraction<PreviewArithmetic>(kFullChannel, kFractionOne), 16759809u);
    EXPECT_EQ(MulFraction<PreciseArithmetic>(0x80000000u, 0x80000000u), 0x40000000u);
    // The untemplated form follows the current quality.
    gQuality = PreviewQuality();
    EXPECT_EQ(MulFraction(kFullChannel, kFractionOne), 16759809u);
    gQuality = QualityMode{true, 16383};
    EXPECT_EQ(MulFraction(kFullChannel, kFractionOne), 16777214u);
}

TEST(QuarterPixel, CoordinatesSplitIntoPixelAndPhaseAndRoundToTheNearerPixel)
{
    // A negative whole v + 0.125 is its own floor: phase 0. Just below zero, v + 0.125 - floor rounds to
    // 1.0 in single precision: still phase 3, never a fifth quarter.
    const float belowZero = std::nextafter(-0.125f, -1.0f);
    const struct
    {
        float v;
        int32_t whole, phase;
    } cases[] = {{-0.2f, -1, 3},   {0.12f, 0, 0},    {0.125f, 0, 1},    {0.875f, 1, 0},
                 {2.5f, 2, 2},     {-0.125f, 0, 0},  {-0.126f, -1, 3},  {-3.0f, -3, 0},
                 {-0.625f, -1, 2}, {-1.125f, -1, 0}, {belowZero, -1, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(ToStarPosition(c.v, 10.0f), (StarPosition{c.whole, c.phase, 10, 0})) << c.v;
        EXPECT_EQ(ToStarPosition(3.0f, c.v), (StarPosition{3, 0, c.whole, c.phase})) << c.v;
    }
    EXPECT_EQ(RoundToPixel(StarPosition{5, 1, 7, 2}), (StarPosition{5, 0, 8, 0}));
    EXPECT_EQ(RoundToPixel(StarPosition{-1, 3, -1, 0}), (StarPosition{0, 0, -1, 0}));
}

// Both builds must agree to the bit: the walk of a 45-degree ray depends on the last bit of entries.
// Look-ups reduce every angle, negative or past a turn.
TEST(EffectTables, TablesAreTheSameOnEveryPlatformAndLookUpsReduceEveryAngle)
{
    InitEffectTables();
    EXPECT_EQ(Fnv1a(SineTable, sizeof SineTable), 0xdb1d721ae867a275ull);
    EXPECT_EQ(Fnv1a(HalfSineTable, sizeof HalfSineTable), 0x1ed7245692508758ull);
    for (int32_t i = 0; i < 1800; ++i) {
        const double exact = std::sin(double(float(i) * 0.0017453294f));
        const float entry = std::fabs(SineTable[i]);
        EXPECT_LE(std::fabs(entry - std::fabs(exact)), 0.5 * double(std::nextafter(entry, 2.0f) - entry)) << i;
    }
    EXPECT_TRUE(SineAt(900) == 1.0f && SineAt(-900) == -1.0f && CosineAt(1800) == -1.0f);
    EXPECT_EQ(SineAt(-900), SineAt(2700));
    EXPECT_EQ(CosineAt(3599), SineAt(899));
    EXPECT_EQ(SineAt(-3600 * 5 - 300), SineAt(3300));
    EXPECT_EQ(SineAt(1800 + 123), -SineAt(123));
    EXPECT_TRUE(HalfSineAt(900) == kFractionOne && HalfSineAt(-900) == 0u && HalfSineAt(0) == 0x7FFFFFFFu);
}

TEST(EffectTables, DistanceInFortiethsOfAPixel)
{
    for (auto distance : {Distance40Spike, Distance40Flare}) {
        EXPECT_EQ(distance(0, 0), 0u);
        EXPECT_EQ(distance(4, 0), 40u);
        EXPECT_EQ(distance(-12, 16), 200u);
        EXPECT_EQ(distance(1, 1), 14u);
        // Beyond the cache the value is computed and returned in full, past 16 bits.
        EXPECT_EQ(distance(0, -8000), 80000u);
        EXPECT_NEAR(double(distance(131068, 131068)), std::sqrt(2.0) * 131068 * 10, 256.0);
    }
}

// A cache kept across a change of length would give secondary rays the main rays' falloff, or a run
// the flare of the previous one.
TEST(EffectTables, ProfileCachesAreZeroedOnlyWhenTheLengthChanges)
{
    FlareProfileCacheFor(50)[kFlareProfileCacheEntries - 1] = 1234;
    EXPECT_EQ(FlareProfileCacheFor(50)[kFlareProfileCacheEntries - 1], 1234u);
    EXPECT_EQ(FlareProfileCacheFor(51)[kFlareProfileCacheEntries - 1], 0u);
    SpikeFalloffCacheFor(50)[20] = 0.5;
    EXPECT_EQ(SpikeFalloffCacheFor(50)[20], 0.5);
    SpikeFalloffCacheFor(45)[20] = 0.75;
    EXPECT_EQ(SpikeFalloffCacheFor(50)[20], 0.0);
    // The two caches are independent.
    FlareProfileCacheFor(60)[1] = 5;
    SpikeFalloffCacheFor(61);
    EXPECT_EQ(FlareProfileCacheFor(60)[1], 5u);
}
