#include <gtest/gtest.h>

#include "common/Fnv1a.h"
#include "image/ToneTables.h"

namespace {

class ToneTablesTest : public ::testing::Test
{
protected:
    void SetUp() override { BuildToneTables(); }
    const ToneTables& t = gToneTables;
};

// The same constants on the native and the Windows build: a last-bit difference in any power shows here.
TEST_F(ToneTablesTest, EveryTableHasTheSameChecksumOnBothBuilds)
{
    EXPECT_EQ(Fnv1a(t.toLinear8, sizeof(t.toLinear8)), 13669706475276094484ull);
    EXPECT_EQ(Fnv1a(t.toFraction8, sizeof(t.toFraction8)), 16594535588074814220ull);
    EXPECT_EQ(Fnv1a(t.toLinear16, sizeof(t.toLinear16)), 15493080103916751752ull);
    EXPECT_EQ(Fnv1a(t.toFraction16, sizeof(t.toFraction16)), 389773624723997477ull);
    EXPECT_EQ(Fnv1a(t.fromLinear8, sizeof(t.fromLinear8)), 10088470338699176297ull);
    EXPECT_EQ(Fnv1a(t.fromFraction8, sizeof(t.fromFraction8)), 12197100514808014501ull);
    EXPECT_EQ(Fnv1a(t.fromLinear16, sizeof(t.fromLinear16)), 14021771941633919329ull);
    EXPECT_EQ(Fnv1a(t.fromFraction16, sizeof(t.fromFraction16)), 15928851509950791792ull);
    EXPECT_EQ(Fnv1a(t.linear16Start, sizeof(t.linear16Start)), 10704414769073771870ull);
    EXPECT_EQ(Fnv1a(t.linear16Threshold, sizeof(t.linear16Threshold)), 12024129393635240923ull);
}

// Against the obvious walk up the sorted linear values: the nearest host value, the lower on a tie.
TEST_F(ToneTablesTest, ExactSixteenBitEncodeGivesTheNearestHostValueForEveryLinearValue)
{
    uint32_t h = 0, wrong = 0, first = 0;
    for (uint32_t v = 0; v < 0xFFFFFF; ++v) {
        while (h < 32768 && int64_t(t.toLinear16[h + 1]) - v < int64_t(v) - t.toLinear16[h])
            ++h;
        if (EncodeLinear16(v) != h && wrong++ == 0)
            first = v;
    }
    EXPECT_EQ(wrong, 0u) << "first at linear value " << first;
}

TEST_F(ToneTablesTest, EveryEncodeRestoresWhatWasRead)
{
    for (uint32_t i = 0; i < 255; ++i) {
        EXPECT_EQ(t.fromLinear8[t.toLinear8[i] >> 8], i);
        EXPECT_EQ(t.fromFraction8[t.toFraction8[i] >> 16], i);
    }
    for (uint32_t h = 0; h <= 32768; ++h) {
        ASSERT_EQ(EncodeFraction16(t.toFraction16[h]), h);
        if (h < 32768) {
            ASSERT_EQ(EncodeLinear16(t.toLinear16[h]), h);
        }
    }
    uint32_t wrong = 0;
    for (uint32_t v = 0; v < 0xFFFFFF; ++v)
        wrong += uint32_t(double(EncodeLinear32(v)) * 16777215.0) != v ? 1 : 0;
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(EncodeLinear32(0), 0.0f);
}

} // namespace
