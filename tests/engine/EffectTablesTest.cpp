#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/EffectTables.h"
#include "engine/FixedPoint.h"
#include "host/ImageTransfer.h"

namespace {

uint64_t Fnv1aOf(const void* data, size_t bytes)
{
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < bytes; ++i)
        hash = (hash ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
    return hash;
}

class QualityRestorer : public ::testing::Test
{
protected:
    void TearDown() override
    {
        gQuality = QualityMode{true, 16383};
        gInputImage = ImageBuffer{};
    }
};

} // namespace

TEST(FixedPoint, RatioCapsAtOneAndTreatsZeroDivisorAsOne)
{
    EXPECT_EQ(RatioFraction(12345, 0), kFractionOne);
    EXPECT_EQ(RatioFraction(0, 0), kFractionOne);
    EXPECT_EQ(RatioFraction(1, 2), 0x80000000u);
    EXPECT_EQ(RatioFraction(7, 7), kFractionOne); // 2^32 itself is capped
    EXPECT_EQ(RatioFraction(0xFFFFFFFF, 1), kFractionOne);
    EXPECT_EQ(RatioFraction(0, 5), 0u);
}

TEST(FixedPoint, ProductsOfBothQualities)
{
    // Full scale times 1.0: the preview's truncated operands lose a little.
    EXPECT_EQ(MulFraction<PreciseArithmetic>(kFullChannel, kFractionOne), 16777214u);
    EXPECT_EQ(MulFraction<PreviewArithmetic>(kFullChannel, kFractionOne), 16759809u);
    // Fraction times fraction.
    EXPECT_EQ(MulFraction<PreciseArithmetic>(0x80000000u, 0x80000000u), 0x40000000u);
    EXPECT_EQ(MulFraction<PreciseArithmetic>(kFractionOne, 0), 0u);
    // The untemplated form follows the current quality.
    gQuality.preciseArithmetic = false;
    EXPECT_EQ(MulFraction(kFullChannel, kFractionOne), 16759809u);
    gQuality.preciseArithmetic = true;
    EXPECT_EQ(MulFraction(kFullChannel, kFractionOne), 16777214u);
}

TEST(FixedPoint, MeanAndComplementDoNotOverflow)
{
    EXPECT_EQ(MeanOfThree(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(MeanOfThree(1, 1, 0), 0u);
    EXPECT_EQ(OneMinus(kFractionOne), 0u);
    EXPECT_EQ(OneMinus(0), kFractionOne);
}

TEST_F(QualityRestorer, CutOffFollowsDepthInFinalQuality)
{
    const struct
    {
        int32_t bits;
        uint32_t cutoff;
    } cases[] = {{8, 16383}, {16, 4095}, {32, 2047}, {1, 16383}};
    for (const auto& c : cases) {
        gInputImage.bitsPerSample = c.bits;
        SetFinalQuality();
        EXPECT_TRUE(gQuality.preciseArithmetic);
        EXPECT_EQ(gQuality.visibilityCutoff, c.cutoff) << c.bits << " bits";
    }
    SetPreviewQuality();
    EXPECT_FALSE(gQuality.preciseArithmetic);
    EXPECT_EQ(gQuality.visibilityCutoff, 65535u);
}

TEST(QuarterPixel, CoordinatesSplitIntoPixelAndPhase)
{
    const struct
    {
        float v;
        int32_t whole;
        int32_t phase;
    } cases[] = {
        {-0.2f, -1, 3},  {0.0f, 0, 0},    {0.12f, 0, 0},   {0.125f, 0, 1}, {0.37f, 0, 1},  {0.875f, 1, 0},
        {2.5f, 2, 2},    {-0.125f, 0, 0}, {-0.126f, -1, 3}, {-3.0f, -3, 0}, {-0.625f, -1, 2},
        {-1.125f, -1, 0}, // a negative whole v + 0.125 is its own floor: phase 0, not 4
    };
    for (const auto& c : cases) {
        const StarPosition p = ToStarPosition(c.v, 10.0f);
        EXPECT_EQ(p.x, c.whole) << c.v;
        EXPECT_EQ(p.xPhase, c.phase) << c.v;
        EXPECT_EQ(p.y, 10);
        EXPECT_EQ(p.yPhase, 0);
    }
    EXPECT_EQ(ToStarPosition(3.0f, -0.2f).y, -1);
    EXPECT_EQ(ToStarPosition(3.0f, -0.2f).yPhase, 3);
}

TEST(QuarterPixel, RoundingGoesToTheNearerPixel)
{
    EXPECT_EQ(RoundToPixel(StarPosition{5, 1, 7, 2}), (StarPosition{5, 0, 8, 0}));
    EXPECT_EQ(RoundToPixel(StarPosition{-1, 3, -1, 0}), (StarPosition{0, 0, -1, 0}));
}

TEST(EffectTables, SineLookUpsReduceEveryAngle)
{
    InitEffectTables();
    EXPECT_EQ(SineAt(900), 1.0f);
    EXPECT_EQ(SineAt(0), 0.0f);
    EXPECT_EQ(SineAt(-900), -1.0f);
    EXPECT_EQ(SineAt(-900), SineAt(2700));
    EXPECT_EQ(CosineAt(3599), SineAt(899));
    EXPECT_EQ(CosineAt(0), 1.0f);
    EXPECT_EQ(CosineAt(1800), -1.0f);
    EXPECT_EQ(SineAt(3600 * 5 + 300), SineAt(300));
    EXPECT_EQ(SineAt(-3600 * 5 - 300), SineAt(3300));
    EXPECT_EQ(SineAt(1800 + 123), -SineAt(123));
    EXPECT_NEAR(SineAt(300), 0.5f, 1e-6f);
    // (1 + sin a) / 2 as a fraction.
    EXPECT_EQ(HalfSineAt(900), kFractionOne);
    EXPECT_EQ(HalfSineAt(2700), 0u);
    EXPECT_EQ(HalfSineAt(0), 0x7FFFFFFFu);
    EXPECT_EQ(HalfSineAt(-900), 0u);
}

// Both builds must agree to the bit: the walk of a 45-degree ray depends on the last bit of entries.
TEST(EffectTables, TablesAreTheSameOnEveryPlatform)
{
    InitEffectTables();
    EXPECT_EQ(Fnv1aOf(SineTable, sizeof SineTable), 0xdb1d721ae867a275ull) << std::hex << Fnv1aOf(SineTable, sizeof SineTable);
    EXPECT_EQ(Fnv1aOf(HalfSineTable, sizeof HalfSineTable), 0x1ed7245692508758ull)
        << std::hex << Fnv1aOf(HalfSineTable, sizeof HalfSineTable);
    // Every entry is the correctly rounded sine: within half an ulp of the double value.
    for (int32_t i = 0; i < 1800; ++i) {
        const double exact = std::sin(double(float(i) * 0.0017453294f));
        const float entry = SineTable[i];
        EXPECT_LE(std::fabs(double(entry) - exact), 0.5 * double(std::nextafter(std::fabs(entry), 2.0f) - std::fabs(entry)))
            << i;
    }
}

TEST(EffectTables, DistanceInFortiethsOfAPixel)
{
    for (auto distance : {Distance40Spike, Distance40Flare}) {
        EXPECT_EQ(distance(0, 0), 0u);
        EXPECT_EQ(distance(0, 0), 0u); // a stored 0 is recomputed, still 0
        EXPECT_EQ(distance(4, 0), 40u);
        EXPECT_EQ(distance(-12, 16), 200u);
        EXPECT_EQ(distance(1, 1), 14u); // sqrt(2) x 10 = 14.14
        EXPECT_EQ(distance(1, 1), 14u); // from the cache
        // Beyond the cache the value is computed and returned in full, past 16 bits.
        EXPECT_EQ(distance(8000, 0), 80000u);
        EXPECT_EQ(distance(0, -8000), 80000u);
        // Offsets of a large image's diagonal do not overflow.
        const uint32_t far = distance(131068, 131068);
        EXPECT_NEAR(double(far), std::sqrt(2.0) * 131068 * 10, 256.0);
    }
}

TEST(EffectTables, ProfileCachesAreZeroedOnlyWhenTheLengthChanges)
{
    uint32_t* flare = FlareProfileCacheFor(50);
    flare[10] = 1234;
    flare[kFlareProfileCacheEntries - 1] = 99;
    EXPECT_EQ(FlareProfileCacheFor(50)[10], 1234u);
    EXPECT_EQ(FlareProfileCacheFor(51)[10], 0u);
    EXPECT_EQ(FlareProfileCacheFor(51)[kFlareProfileCacheEntries - 1], 0u);
    FlareProfileCacheFor(51)[3] = 7;
    EXPECT_EQ(FlareProfileCacheFor(50)[3], 0u); // back to the old length: zeroed again

    double* spike = SpikeFalloffCacheFor(50);
    spike[20] = 0.5;
    spike[kSpikeFalloffCacheEntries - 1] = 0.25;
    EXPECT_EQ(SpikeFalloffCacheFor(50)[20], 0.5);
    // Switching between main rays (length) and secondary rays (length x 90 / 100) clears it each time.
    EXPECT_EQ(SpikeFalloffCacheFor(45)[20], 0.0);
    EXPECT_EQ(SpikeFalloffCacheFor(45)[kSpikeFalloffCacheEntries - 1], 0.0);
    SpikeFalloffCacheFor(45)[20] = 0.75;
    EXPECT_EQ(SpikeFalloffCacheFor(50)[20], 0.0);
    // The two caches are independent.
    FlareProfileCacheFor(60)[1] = 5;
    SpikeFalloffCacheFor(61);
    EXPECT_EQ(FlareProfileCacheFor(60)[1], 5u);
}
