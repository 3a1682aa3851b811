// Detection on images that hold no ordinary stars: each must finish, find nothing where nothing
// qualifies, and stay within a small, bounded amount of memory.
#include "DetectionFixture.h"

#include <deque>

#include "engine/StarDetectionSteps.h"

using namespace detection_test;

namespace {

class DetectionInputs : public DetectionFixture
{
protected:
    // Detects and returns the host memory used beyond the input image at the peak.
    uint64_t DetectAndMeasure()
    {
        const uint64_t image = CurrentBufferUsage();
        Detect();
        return PeakBufferUsage() - image;
    }
};

} // namespace

TEST_F(DetectionInputs, FlatImagesHaveNoStars)
{
    const struct
    {
        double level;
        int32_t mode;
    } cases[] = {{0.0, kRgb8}, {1.0, kRgb8}, {1.0, kGray16}, {0.6, kRgb32}, {1.0, kRgb16}};
    for (const auto& c : cases) {
        UseImage(UniformImage(700, 500, c.level, c.level, c.level), c.mode);
        ResetBufferUsage();
        const uint64_t extra = DetectAndMeasure();
        EXPECT_EQ(gStarList.starCount, 0u) << c.level;
        // Bright flat images are marked in one fill whose stack stays at its first block.
        EXPECT_LT(extra, 8u << 20) << c.level;
        if (c.level >= 0.5) {
            EXPECT_EQ(gInputImage.getPixel(&gInputImage, 0, 0).mask, 0u);
            EXPECT_EQ(gInputImage.getPixel(&gInputImage, 699, 499).mask, 0u);
        }
        ReleaseEngine();
    }
}

TEST_F(DetectionInputs, TinyNoisyAndHugeImagesFinish)
{
    // One white pixel: every direction leaves the image at once.
    UseImage(UniformImage(1, 1, 1.0, 1.0, 1.0));
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);

    // Noise over the whole range: many seeds, no runaway memory.
    StarfieldOptions noisy;
    noisy.width = 300;
    noisy.height = 200;
    noisy.starCount = 0;
    noisy.background = 0.5;
    noisy.noise = 0.5;
    UseImage(RenderStarfield(noisy, {}));
    ResetBufferUsage();
    EXPECT_LT(DetectAndMeasure(), 16u << 20);
    ReleaseEngine();

    // One saturated disc larger than any star.
    LinearImage disc = UniformImage(500, 480, 0.01, 0.01, 0.01);
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 500; ++x)
            if ((x - 250) * (x - 250) + (y - 240) * (y - 240) < 200 * 200)
                for (int32_t c = 0; c < 3; ++c)
                    disc.rgb[(size_t(y) * 500 + size_t(x)) * 3 + size_t(c)] = 1.0f;
    UseImage(disc, kRgb16);
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);
    EXPECT_EQ(gInputImage.getPixel(&gInputImage, 250, 240).mask, 0u);
}

TEST_F(DetectionInputs, UnselectedOrTransparentPixelsAreNeverSeeds)
{
    StarfieldOptions options;
    options.width = 200;
    options.height = 150;
    options.starCount = 25;
    const LinearImage picture = RenderStarfield(options, GenerateStars(options));

    UseImage(picture);
    Detect();
    ASSERT_GT(gStarList.starCount, 5u);

    UseImage(picture);
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x)
            SetCoverage(x, y, 0);
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);

    // Half-selected is not enough either (the seed needs at least half of the full selection).
    UseImage(picture);
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x)
            SetCoverage(x, y, 0x7F000000);
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);

    UseImage(picture, kRgb16, true);
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x)
            SetCoverage(x, y, kKeepSample, 0);
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);
}

// The fill against a plain breadth-first reference on irregular regions: same pixels marked, colour and
// transparency untouched, unselected pixels acting as walls.
TEST_F(DetectionInputs, FloodFillMarksExactlyTheConnectedRegion)
{
    constexpr int32_t W = 61, H = 47;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        SeededRandom random(seed);
        LinearImage picture = UniformImage(W, H, 0.0, 0.0, 0.0);
        std::vector<bool> wall(size_t(W) * H);
        for (size_t i = 0; i < size_t(W) * H; ++i) {
            const double u = random.Uniform();
            const float v = u < 0.6 ? 1.0f : 0.3f;
            for (int c = 0; c < 3; ++c)
                picture.rgb[i * 3 + size_t(c)] = v;
            wall[i] = random.Uniform() < 0.05;
        }
        UseImage(picture, kRgb8, true);
        for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x)
                if (wall[size_t(y) * W + size_t(x)])
                    SetCoverage(x, y, 0);
        gDetection.image = gInputImage;

        const int32_t sx = int32_t(random.Next() % W), sy = int32_t(random.Next() % H);
        const PixelSample seedPixel = gInputImage.getPixel(&gInputImage, sx, sy);
        std::vector<uint8_t> expected(size_t(W) * H, 0);
        std::vector<PixelSample> before(size_t(W) * H);
        for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x)
                before[size_t(y) * W + size_t(x)] = gInputImage.getPixel(&gInputImage, x, y);
        std::deque<std::pair<int32_t, int32_t>> queue{{sx, sy}};
        expected[size_t(sy) * W + size_t(sx)] = 1;
        while (!queue.empty()) {
            const auto [x, y] = queue.front();
            queue.pop_front();
            const int32_t nx[4] = {x + 1, x, x - 1, x}, ny[4] = {y, y + 1, y, y - 1};
            for (int k = 0; k < 4; ++k) {
                if (nx[k] < 0 || nx[k] >= W || ny[k] < 0 || ny[k] >= H)
                    continue;
                const size_t i = size_t(ny[k]) * W + size_t(nx[k]);
                if (expected[i] || before[i].mask == 0 || before[i].red != seedPixel.red)
                    continue;
                expected[i] = 1;
                queue.emplace_back(nx[k], ny[k]);
            }
        }

        FloodFillMark(sx, sy, seedPixel.red, seedPixel.green, seedPixel.blue);
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                const size_t i = size_t(y) * W + size_t(x);
                const PixelSample now = gInputImage.getPixel(&gInputImage, x, y);
                const uint32_t wanted = expected[i] ? 0u : before[i].mask;
                ASSERT_EQ(now.mask, wanted) << "seed " << seed << " at " << x << "," << y;
                ASSERT_EQ(now.red, before[i].red);
                ASSERT_EQ(now.alpha, before[i].alpha);
            }
        }
    }
}

TEST_F(DetectionInputs, FloodFillStopsAndReportsWhenItsListCannotGrow)
{
    UseImage(UniformImage(40, 30, 1.0, 1.0, 1.0), kRgb8);
    gDetection.image = gInputImage;
    TestHostMemory::RefuseAll() = true;
    FloodFillMark(5, 5, kFullChannel, kFullChannel, kFullChannel);
    TestHostMemory::RefuseAll() = false;
    EXPECT_EQ(ResultCode(), memFullErr);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "Unable to allocate memory for a flood fill list.");
    // The seed itself was marked before the list was needed; nothing else.
    EXPECT_EQ(gInputImage.getPixel(&gInputImage, 5, 5).mask, 0u);
    EXPECT_EQ(gInputImage.getPixel(&gInputImage, 6, 5).mask, kFractionOne);

    // Detection carries on and finishes; the profile of a failed fill counts as no edge.
    TestHostMemory::RefuseAll() = true;
    Detect();
    TestHostMemory::RefuseAll() = false;
    EXPECT_EQ(gStarList.starCount, 0u);
}
