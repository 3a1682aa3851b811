#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "image/ImageTestSupport.h"
#include "image/ToneTables.h"
#include "tools/harness/HeapHostMemory.h"

namespace {

constexpr int32_t kModes[] = {1, 3, 10, 11, 16, 17};
constexpr ImageRect kRect{-3, 5, 2, 8}; // 5 x 3 pixels, left of the origin
constexpr uint32_t K = kKeepSample;

class PixelAccessTest : public ::testing::Test
{
protected:
    void SetUp() override { BuildToneTables(); }
    void TearDown() override { FreeImageBuffer(&b); }
    void Allocate(int32_t mode, bool transparency, bool withMask)
    {
        ASSERT_EQ(noErr, AllocateImageBuffer(&b, kRect, mode, PlaneCounts{3, transparency, 0, 0, 0}, withMask));
    }
    int32_t Planes() const { return b.layerPlanes + b.transparencyPlanes; }
    uint8_t& Mask(int32_t x, int32_t y) { return static_cast<uint8_t*>(b.mask.data)[(y - 5) * 5 + x + 3]; }

    HeapHostMemory memory;
    ImageBuffer b{};
};

// Every 8- and 16-bit host value, and floats on the 2^-24 grid (every float from 0.5 up), read and
// written back in every mode, come back unchanged: colour, coverage and selection.
TEST_F(PixelAccessTest, EveryModeWritesBackEveryHostValueItRead)
{
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        Allocate(mode, true, true);
        const uint32_t count = b.bytesPerSample == 1 ? 256 : b.bytesPerSample == 2 ? 32769 : 4097;
        auto value = [&](uint32_t i, bool coverage) {
            i %= count;
            if (b.bytesPerSample != 4)
                return double(i);
            // Float coverage below 2^-9 is finer than a fraction can tell apart on reading.
            if (i == 0)
                return 0.0;
            return coverage ? double(i + 8) * 4088.0 / 16777216.0 : double(i * 4095 + 2) / 16777216.0;
        };
        for (uint32_t i = 0; i < count; ++i) {
            for (int32_t p = 0; p < Planes(); ++p)
                StoreSample(b, p, 1, 6, value(i + 7 * p, p == b.layerPlanes));
            Mask(1, 6) = uint8_t(i);
            const PixelSample read = b.getPixel(&b, 1, 6);
            std::memset(b.image.data, 0x55, b.image.size);
            Mask(1, 6) = uint8_t(i + 128);
            b.putPixel(&b, read, 1, 6);
            for (int32_t p = 0; p < Planes(); ++p)
                ASSERT_EQ(StoredSample(b, p, 1, 6), value(i + 7 * p, p == b.layerPlanes)) << "plane " << p;
            ASSERT_EQ(Mask(1, 6), uint8_t(i));
        }
        // Anything from full scale up is written as full scale.
        b.putPixel(&b, PixelSample{0xFFFFFF, 0x1000000, 0xFFFFFFFE, 0xFFFFFFFE, K}, 1, 6);
        for (int32_t p = 0; p < Planes(); ++p)
            EXPECT_EQ(StoredSample(b, p, 1, 6), FullScale(b));
    }
}

TEST_F(PixelAccessTest, KeepMarkerLeavesEveryStoredSampleButTheMask)
{
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        Allocate(mode, true, true);
        for (int32_t p = 0; p < Planes(); ++p)
            StoreSample(b, p, -3, 7, FullScale(b) / 4);
        const double stored = StoredSample(b, 0, -3, 7);
        Mask(-3, 7) = 200;
        b.putPixel(&b, PixelSample{K, K, K, K, 0}, -3, 7);
        for (int32_t p = 0; p < Planes(); ++p)
            EXPECT_EQ(StoredSample(b, p, -3, 7), stored) << "plane " << p;
        EXPECT_EQ(Mask(-3, 7), 0);
    }
}

TEST_F(PixelAccessTest, ReadingOutsideGivesTheEdgeColourWithoutCoverageOrSelection)
{
    for (int32_t mode : kModes) {
        SCOPED_TRACE(mode);
        Allocate(mode, false, false);
        for (int32_t x = kRect.left; x < kRect.right; ++x)
            StoreSample(b, 0, x, 6, (x + 4) * 0.1 * FullScale(b));
        const PixelSample edge = b.getPixel(&b, kRect.left, 6);
        EXPECT_EQ(edge.alpha, 0xFFFFFFFEu); // no transparency plane: opaque
        EXPECT_EQ(edge.mask, 0xFFFFFFFEu);  // no mask: selected
        const PixelSample left = b.getPixel(&b, kRect.left - 1, 6);
        EXPECT_EQ(left.red, edge.red);
        EXPECT_EQ(left.alpha | left.mask, 0u);
        EXPECT_EQ(b.getPixel(&b, std::numeric_limits<int32_t>::max(), 6).red, b.getPixel(&b, 1, 6).red);
    }
}

TEST_F(PixelAccessTest, GreyscaleWritesTheMeanWithoutOverflow)
{
    for (int32_t mode : {1, 10, 17}) {
        SCOPED_TRACE(mode);
        Allocate(mode, false, false);
        b.putPixel(&b, PixelSample{0x300000, 0x300000, 0x300000, K, K}, 0, 5);
        const double mean = StoredSample(b, 0, 0, 5);
        b.putPixel(&b, PixelSample{0, 0x300000, 0x600000, K, K}, 0, 5);
        EXPECT_EQ(StoredSample(b, 0, 0, 5), mean);
        b.putPixel(&b, PixelSample{0xFFFFFFF0, 0xFFFFFFF0, 0xFFFFFFF0, K, K}, 0, 5);
        EXPECT_EQ(StoredSample(b, 0, 0, 5), FullScale(b));
    }
}

} // namespace
