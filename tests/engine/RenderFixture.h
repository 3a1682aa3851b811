// Shared set-up for the tests of spikes, flare and compositing: host memory, factory parameters, the
// effect tables, an input image record whose size bounds the rays and the flare, and a hand-made star
// list, all forgotten again after each test.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "common/Fnv1a.h"
#include "engine/EffectTables.h"
#include "engine/RenderEffect.h"
#include "engine/RenderShapes.h"
#include "engine/ShapeMeasurement.h"
#include "engine/UserInput.h"
#include "image/ToneTables.h"
#include "tools/harness/HeapHostMemory.h"

constexpr int32_t kModeGray8 = 1;
constexpr int32_t kModeRgb8 = 3;
constexpr int32_t kModeRgb16 = 11;
constexpr int32_t kModeRgb32 = 16;

class RenderFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BuildToneTables();
        InitEffectTables();
        ReleaseRenderShapes();
        ResetEngine();
        images.reserve(16); // tests keep pointers into it
        UseInputSize(200, 150, 8);
    }

    void TearDown() override
    {
        SetUserInputPendingHook(nullptr);
        for (ImageBuffer& image : images)
            FreeImageBuffer(&image);
        ReleaseRenderShapes();
        ReleaseBuffer(&gStarList.records);
        gStarList = StarList{};
        input = ImageBuffer{};
    }

    // The rays and the flare reach no farther than the input image; final quality's cut-off follows its depth.
    void UseInputSize(int32_t width, int32_t height, int32_t bitsPerSample)
    {
        input.width = width;
        input.height = height;
        input.bitsPerSample = bitsPerSample;
        gQuality = FinalQuality(input.bitsPerSample);
    }

    ImageBuffer* MakeImage(const ImageRect& rect, int32_t mode, bool transparency = false, bool mask = false,
                           uint32_t seed = 1)
    {
        EXPECT_LT(images.size(), images.capacity());
        ImageBuffer* image = &images.emplace_back();
        EXPECT_EQ(noErr, AllocateImageBuffer(image, rect, mode, PlaneCounts{3, transparency ? 1 : 0, 0, 0, 0}, mask));
        FillNoise(image, seed);
        return image;
    }

    // Dark noise in every plane, so that the effect shows; any values in the mask.
    static void FillNoise(ImageBuffer* image, uint32_t seed)
    {
        std::mt19937 random(seed);
        uint8_t* bytes = static_cast<uint8_t*>(image->image.data);
        const size_t size = size_t(image->bytesPerSample);
        const size_t count = size_t(image->pixelCount) * size_t(image->layerPlanes + image->transparencyPlanes);
        for (size_t i = 0; i < count; ++i) {
            const uint32_t r = random();
            const uint16_t v16 = uint16_t(r % 20000);
            const float v32 = float(r % 10000) / 16000.0f;
            if (size == 1)
                bytes[i] = uint8_t(r % 160);
            else
                std::memcpy(bytes + i * size, size == 2 ? static_cast<const void*>(&v16) : &v32, size);
        }
        for (int32_t i = 0; image->mask.data != nullptr && i < image->pixelCount; ++i)
            static_cast<uint8_t*>(image->mask.data)[i] = uint8_t(random());
    }

    // A star of the finished list; add them brightest first.
    void AddStar(int32_t x, int32_t y, uint32_t brightness, uint32_t red = kFractionOne, uint32_t green = kFractionOne,
                 uint32_t blue = kFractionOne, bool enabled = true, int32_t xPhase = 0, int32_t yPhase = 0)
    {
        if (gStarList.starCount == gStarList.capacity) {
            gStarList.capacity += 64;
            ASSERT_EQ(GrowBuffer(gStarList.capacity * sizeof(StarRecord), &gStarList.records), 0);
        }
        StarRecords()[gStarList.starCount++] =
            StarRecord{x, xPhase, y, yPhase, 4, brightness, red, green, blue, enabled ? kFractionOne : 0, 0xFFFFFFFF};
    }

    // One phase of a render shape, built for the current parameters.
    const SubShapeEntry& Built(Shape* shape, int32_t xPhase, int32_t yPhase)
    {
        RefreshShapes();
        EXPECT_TRUE(EnsureSubShape(shape, xPhase, yPhase));
        return EntryFor(*shape, xPhase, yPhase);
    }

    // What a render of this fixture draws: its parameters at the current quality, bounded by the input.
    RenderInputs Inputs() const { return RenderInputs{parameters, gQuality, input.width, input.height}; }

    // Points the render shapes at the fixture's parameters, as a render does before stamping.
    void RefreshShapes() { RefreshRenderShapes(parameters, gQuality, input.width, input.height); }

    FilterParameters parameters = kFactoryParameters;
    ImageBuffer input{}; // only its size and depth matter: they bound the rays and the flare
    std::vector<ImageBuffer> images;

private:
    HeapHostMemory memory;
};

// The colour and transparency planes as stored, for exact comparisons.
inline std::vector<uint8_t> PlaneBytes(const ImageBuffer* image)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(image->image.data);
    return std::vector<uint8_t>(bytes, bytes + size_t(image->pixelCount) * size_t(image->bytesPerSample) *
                                                   size_t(image->layerPlanes + image->transparencyPlanes));
}
