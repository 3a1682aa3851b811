// Shared set-up for the detection and shape tests: host memory, tone tables, an input image made from a
// synthetic linear-light picture, and a clean engine before and after each test.
#pragma once

#include <gtest/gtest.h>

#include "common/CapturedMessages.h"
#include "engine/RenderShapes.h"
#include "engine/ShapeMeasurement.h"
#include "engine/StarDetection.h"
#include "engine/UserInput.h"
#include "image/ToneTables.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace detection_test {

constexpr int32_t kRgb8 = 3;
constexpr int32_t kGray16 = 10;
constexpr int32_t kRgb16 = 11;
constexpr int32_t kRgb32 = 16;

inline bool Near(const StarRecord& star, double x, double y, double tolerance)
{
    const double dx = star.x + star.xPhase * 0.25 - x;
    const double dy = star.y + star.yPhase * 0.25 - y;
    return dx >= -tolerance && dx <= tolerance && dy >= -tolerance && dy <= tolerance;
}

class DetectionFixture : public ::testing::Test
{
public:
    void SetUp() override
    {
        BuildToneTables();
        ResetEngine();
        SetUserInputPendingHook(nullptr);
        SetDetectionProgressHook(nullptr);
    }

    void TearDown() override
    {
        HeapHostMemory::RefuseAll() = false;
        SetUserInputPendingHook(nullptr);
        SetDetectionProgressHook(nullptr);
        ResetEngine();
        FreeImageBuffer(&input);
        gQuality = QualityMode{true, 16383};
    }

    // Makes the input image from a linear picture: opaque, fully selected.
    void UseImage(const LinearImage& picture, int32_t mode = kRgb16, bool transparency = false)
    {
        FreeImageBuffer(&input);
        const PlaneCounts counts{mode == kGray16 ? 1 : 3, transparency ? 1 : 0, 0, 0, 0};
        ASSERT_EQ(noErr,
                  AllocateImageBuffer(&input, ImageRect{0, 0, picture.width, picture.height}, mode, counts, true));
        WriteToImageBuffer(picture, &input);
    }

    // Sets only the selection (and, when given, the transparency) of one pixel.
    void SetCoverage(int32_t x, int32_t y, uint32_t mask, uint32_t alpha = kKeepSample)
    {
        const PixelSample sample{kKeepSample, kKeepSample, kKeepSample, alpha, mask};
        input.putPixel(&input, sample, x, y);
    }

    // Runs a whole detection from the start; fails the test if it never completes.
    void Detect()
    {
        ResetEngine();
        for (int32_t calls = 0; calls < 1000000; ++calls) {
            if (FindStars(input) != WorkStatus::Interrupted)
                return;
        }
        FAIL() << "detection never finished";
    }

    std::vector<StarRecord> Stars() const
    {
        return std::vector<StarRecord>(StarRecords(), StarRecords() + gStarList.starCount);
    }

    HeapHostMemory memory;
    CapturedMessages messages;
    ImageBuffer input{}; // the image detection scans
};

inline LinearImage SingleStar(int32_t width, int32_t height, const StarfieldStar& star, double background = 0.01)
{
    LinearImage picture = UniformImage(width, height, background, background, background);
    AddGaussianStar(&picture, star);
    ClampImage(&picture);
    return picture;
}

inline StarfieldStar GreyStar(double x, double y, double sigma, double peak)
{
    return StarfieldStar{x, y, sigma, peak, 1.0, 1.0, 1.0};
}

} // namespace detection_test
