#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>

#include "image/ImageTestSupport.h"
#include "image/ToneTables.h"
#include "tools/harness/HeapHostMemory.h"

namespace {

// The classic bufferProcs of a host without the Buffer suite; `log` records what the module did.
struct FakeBufferProcs
{
    static inline std::string log;
    static inline OSErr allocateError = noErr;
    static inline bool lockFails = false;
    static inline int live = 0;

    static OSErr Allocate(int32 size, BufferID* id)
    {
        log += "allocate " + std::to_string(size) + ", ";
        if (allocateError == noErr)
            ++live, *id = reinterpret_cast<BufferID>(std::malloc(size_t(size)));
        return allocateError;
    }
    static Ptr Lock(BufferID id, Boolean moveHigh)
    {
        log += moveHigh ? "lock high, " : "lock low, ";
        return lockFails ? nullptr : reinterpret_cast<Ptr>(id);
    }
    static void Unlock(BufferID) { log += "unlock, "; }
    static void Free(BufferID id)
    {
        log += "free, ";
        --live;
        std::free(id);
    }
};

class ImageBufferTest : public ::testing::Test
{
protected:
    void SetUp() override { BuildToneTables(); }
    void TearDown() override
    {
        ReleaseBuffer(&record);
        for (ImageBuffer* buffer : {&a, &b, &c})
            FreeImageBuffer(buffer);
    }

    HeapHostMemory memory;
    BufferRecord record{0, nullptr, 0};
    ImageBuffer a{}, b{}, c{};
};

TEST_F(ImageBufferTest, BlocksOnlyGrowKeepTheirContentsAndAreCounted)
{
    ASSERT_EQ(GrowBuffer(4, &record), noErr);
    std::memcpy(record.data, "abcd", 4);
    EXPECT_EQ(ReallocateBuffer(2, &record), noErr); // smaller: nothing happens
    EXPECT_EQ(CurrentBufferUsage(), 4u);
    ASSERT_EQ(GrowBuffer(300, &record), noErr);
    EXPECT_EQ(std::memcmp(record.data, "abcd", 4), 0);
    EXPECT_EQ(CurrentBufferUsage(), 300u);
    EXPECT_EQ(PeakBufferUsage(), 304u); // both blocks were held for a moment

    HeapHostMemory::RefuseAll() = true;
    EXPECT_EQ(GrowBuffer(8000, &record), memFullErr);
    HeapHostMemory::RefuseAll() = false;
    EXPECT_EQ(std::memcmp(record.data, "abcd", 4), 0); // the old block stays

    ReleaseBuffer(&record);
    EXPECT_EQ(record.data, nullptr);
    EXPECT_EQ(CurrentBufferUsage(), 0u);
}

TEST_F(ImageBufferTest, BufferProcsServeWhenTheSuiteIsMissing)
{
    using F = FakeBufferProcs;
    BufferProcs procs{2, 5, F::Allocate, F::Lock, F::Unlock, F::Free, nullptr, nullptr, nullptr, nullptr};
    SetHostMemory(HostMemory{nullptr, nullptr});
    EXPECT_EQ(ReallocateBuffer(64, &record), memFullErr); // no host memory at all
    SetHostMemory(HostMemory{nullptr, &procs});

    ASSERT_EQ(ReallocateBuffer(64, &record), noErr);
    ASSERT_EQ(ReallocateBuffer(128, &record), noErr);
    ReleaseBuffer(&record);
    EXPECT_EQ(FakeBufferProcs::log, "allocate 64, lock high, allocate 128, lock high, unlock, free, unlock, free, ");

    FakeBufferProcs::allocateError = -34;
    EXPECT_EQ(ReallocateBuffer(64, &record), -34); // the host's own code
    FakeBufferProcs::allocateError = noErr;
    FakeBufferProcs::lockFails = true;
    EXPECT_EQ(ReallocateBuffer(64, &record), memFullErr);
    EXPECT_EQ(FakeBufferProcs::live, 0); // the block that could not be locked was freed
    EXPECT_EQ(CurrentBufferUsage(), 0u);
}

TEST_F(ImageBufferTest, WhatCannotBeServedIsReportedAndNeverAskedOfTheHost)
{
    CapturedMessages messages;
    ASSERT_EQ(noErr, AllocateImageBuffer(&a, ImageRect{0, 0, 4, 4}, 3, PlaneCounts{1, 2, 1, 0, 2}, false));
    EXPECT_EQ(a.layerPlanes, 3);
    EXPECT_EQ(a.transparencyPlanes, 1);
    EXPECT_NE(a.planes[3], nullptr);
    FreeImageBuffer(&a);

    // 40000 x 40000 x 3 x 4 bytes; and 50000 x 50000 one-byte pixels, a count that overflows an int32.
    EXPECT_EQ(memFullErr, AllocateImageBuffer(&a, ImageRect{0, 0, 40000, 40000}, 16, PlaneCounts{3, 0, 0, 0, 0}, true));
    EXPECT_EQ(memFullErr, AllocateImageBuffer(&b, ImageRect{0, 0, 50000, 50000}, 1, PlaneCounts{1, 0, 0, 0, 0}, false));
    EXPECT_EQ(a.getPixel(&a, 0, 0).red, 0u); // still safe to call
    // An inverted rectangle allocates nothing and ignores access.
    ASSERT_EQ(noErr, AllocateImageBuffer(&c, ImageRect{5, 5, 2, 9}, 3, PlaneCounts{3, 0, 0, 0, 0}, true));
    c.putPixel(&c, PixelSample{1, 2, 3, 4, 5}, 5, 5);
    EXPECT_EQ(c.pixelCount, 0);
    EXPECT_EQ(PeakBufferUsage(), 4u * 4 * 4); // only the first buffer's four 8-bit planes

    const std::string unsupported = "Error: Unsupported feature. / Plugin does not currently support ";
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{
                                    unsupported + "the use of layer masks or non-layer planes.",
                                    unsupported + "more than one transparency plane.",
                                    "Error - Exiting Plugin / Could not allocate memory for an image.",
                                    "Error - Exiting Plugin / Could not allocate memory for an image.",
                                }));
}

// 8-bit values survive a trip through 16 and 32 bits and back; one mode over different rectangles goes
// pixel by pixel, and target pixels beyond the source get its edge colour, unselected.
TEST_F(ImageBufferTest, CopiesKeepEightBitValuesAcrossDepthsAndRectangles)
{
    const ImageRect rect{0, 0, 256, 2};
    ASSERT_EQ(noErr, AllocateImageBuffer(&a, rect, 3, PlaneCounts{3, 1, 0, 0, 0}, false));
    for (int32_t x = 0; x < 256; ++x)
        for (int32_t p = 0; p < 4; ++p)
            for (int32_t y = 0; y < 2; ++y)
                StoreSample(a, p, x, y, (x + 40 * p + 101 * y) % 256);
    for (int32_t deep : {11, 16}) {
        ASSERT_EQ(noErr, AllocateImageBuffer(&b, rect, deep, PlaneCounts{3, 1, 0, 0, 0}, false));
        ASSERT_EQ(noErr, AllocateImageBuffer(&c, rect, 3, PlaneCounts{3, 1, 0, 0, 0}, false));
        CopyImageBuffer(&a, &b);
        CopyImageBuffer(&b, &c);
        EXPECT_EQ(std::memcmp(a.image.data, c.image.data, size_t(a.pixelCount) * 4), 0) << deep;
    }

    ASSERT_EQ(noErr, AllocateImageBuffer(&a, ImageRect{0, 0, 2, 1}, 1, PlaneCounts{1, 0, 0, 0, 0}, false));
    ASSERT_EQ(noErr, AllocateImageBuffer(&b, ImageRect{-1, 0, 4, 2}, 1, PlaneCounts{1, 0, 0, 0, 0}, true));
    StoreSample(a, 0, 0, 0, 10);
    StoreSample(a, 0, 1, 0, 20);
    CopyImageBuffer(&a, &b);
    EXPECT_EQ(StoredSample(b, 0, -1, 0), 10);
    EXPECT_EQ(StoredSample(b, 0, 3, 1), 20);
    const uint8_t* mask = static_cast<const uint8_t*>(b.mask.data);
    EXPECT_EQ(mask[1], 255); // (0, 0) lies in the source, which has no mask: selected
    EXPECT_EQ(mask[0], 0);   // (-1, 0) lies outside it
}

// The whole-buffer conversion writes exactly what the pixel procedures write, pixel by pixel, between
// every pair of different modes, with transparency and a mask, for stored values in and out of range.
TEST_F(ImageBufferTest, ConvertingWholeBuffersMatchesThePixelProcedures)
{
    const int32_t modes[] = {1, 3, 10, 11, 16, 17};
    const ImageRect rect{3, -2, 40, 9};
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int32_t from : modes) {
        const int32_t planes = IsGreyMode(from) ? 1 : 3;
        ASSERT_EQ(noErr, AllocateImageBuffer(&a, rect, from, PlaneCounts{planes, 1, 0, 0, 0}, true));
        auto* bytes = static_cast<uint8_t*>(a.image.data);
        for (uint32_t i = 0; i < a.image.size; ++i)
            bytes[i] = uint8_t(next() >> 24);
        if (a.bytesPerSample == 4) { // floats: mostly 0..1, some beyond, some NaN and infinities
            auto* samples = static_cast<float*>(a.image.data);
            for (int32_t i = 0; i < a.pixelCount * (planes + 1); ++i)
                samples[i] = float(int32_t(next() % 1400) - 200) / 1000.0f;
            samples[5] = std::numeric_limits<float>::quiet_NaN();
            samples[6] = std::numeric_limits<float>::infinity();
            samples[7] = -std::numeric_limits<float>::infinity();
        }
        for (int32_t i = 0; i < a.pixelCount; ++i)
            static_cast<uint8_t*>(a.mask.data)[i] = uint8_t(next() >> 24);
        for (int32_t to : modes) {
            if (IsGreyMode(to) != IsGreyMode(from) || to == from) // one mode is a byte copy
                continue;
            for (bool withMask : {false, true}) {
                ASSERT_EQ(noErr, AllocateImageBuffer(&b, rect, to, PlaneCounts{planes, 1, 0, 0, 0}, withMask));
                ASSERT_EQ(noErr, AllocateImageBuffer(&c, rect, to, PlaneCounts{planes, 1, 0, 0, 0}, withMask));
                CopyImageBuffer(&a, &b);
                for (int32_t y = rect.top; y < rect.bottom; ++y)
                    for (int32_t x = rect.left; x < rect.right; ++x)
                        c.putPixel(&c, a.getPixel(&a, x, y), x, y);
                const size_t bytes = size_t(b.pixelCount) * size_t(planes + 1) * size_t(b.bytesPerSample);
                EXPECT_EQ(std::memcmp(b.image.data, c.image.data, bytes), 0) << from << " to " << to;
                if (withMask) {
                    EXPECT_EQ(std::memcmp(b.mask.data, c.mask.data, size_t(b.pixelCount)), 0) << from << " to " << to;
                }
            }
        }
    }
}

} // namespace
