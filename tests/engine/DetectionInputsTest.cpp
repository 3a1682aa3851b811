// Detection on images that hold no ordinary stars: each must finish, find nothing where nothing
// qualifies, and stay within a small, bounded amount of memory.
#include "DetectionFixture.h"

#include <deque>

#include "engine/FloodFill.h"
#include "engine/RadialProfile.h"
#include "engine/StarRefinement.h"

using namespace detection_test;

namespace {

// Detects and returns the host memory used beyond the input image at the peak.
uint64_t DetectAndMeasure(DetectionFixture* fixture)
{
    ResetEngine(); // blocks of the previous detection must not count against this one
    ResetBufferUsage();
    fixture->Detect();
    return PeakBufferUsage();
}

} // namespace

TEST_F(DetectionFixture, FlatNoisyTinyAndHugeImagesFinishWithoutStars)
{
    // Noise over the whole range has stars (single bright pixels pass as tiny stars); the rest has none.
    // Bright flat areas are marked in one fill whose list stays at its first block.
    const struct
    {
        double level, noise;
        int32_t width, height, mode;
        bool stars, marked;
    } cases[] = {{0.0, 0, 700, 500, kRgb8, false, false},   {1.0, 0, 700, 500, kRgb8, false, true},
                 {1.0, 0, 700, 500, kGray16, false, true},  {0.6, 0, 700, 500, kRgb32, false, true},
                 {0.5, 0.5, 300, 200, kRgb16, true, false}, {1.0, 0, 1, 1, kRgb16, false, false}};
    for (const auto& c : cases) {
        StarfieldOptions options{c.width, c.height, 1, 0}; // width, height, seed, stars
        options.background = c.level;
        options.noise = c.noise;
        UseImage(RenderStarfield(options, {}), c.mode);
        EXPECT_LT(DetectAndMeasure(this), 16u << 20) << c.level;
        EXPECT_EQ(gStarList.starCount > 0, c.stars) << c.level;
        EXPECT_EQ(input.getPixel(&input, c.width - 1, c.height - 1).mask == 0, c.marked) << c.level;
    }

    // One saturated disc larger than any star.
    LinearImage disc = UniformImage(500, 480, 0.01, 0.01, 0.01);
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 500; ++x)
            for (int32_t c = 0; c < 3 && (x - 250) * (x - 250) + (y - 240) * (y - 240) < 200 * 200; ++c)
                disc.rgb[(size_t(y) * 500 + size_t(x)) * 3 + size_t(c)] = 1.0f;
    UseImage(disc, kRgb16);
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);
    EXPECT_EQ(input.getPixel(&input, 250, 240).mask, 0u);
}

TEST_F(DetectionFixture, UnselectedOrTransparentPixelsAreNeverSeeds)
{
    const StarfieldOptions options{200, 150, 1, 25}; // width, height, seed, stars
    const LinearImage picture = RenderStarfield(options, GenerateStars(options));
    UseImage(picture);
    Detect();
    ASSERT_GT(gStarList.starCount, 5u);

    // Nothing selected, less than half selected, or fully transparent.
    for (const PixelSample coverage :
         {PixelSample{0, 0, 0, kKeepSample, 0}, {0, 0, 0, kKeepSample, 0x7F000000}, {0, 0, 0, 0, kKeepSample}}) {
        UseImage(picture, kRgb16, true);
        for (int32_t y = 0; y < 150; ++y)
            for (int32_t x = 0; x < 200; ++x)
                SetCoverage(x, y, coverage.mask, coverage.alpha);
        Detect();
        EXPECT_EQ(gStarList.starCount, 0u);
    }
}

// The fill against a plain breadth-first reference on irregular regions: the same pixels marked, colour
// and transparency untouched, unselected pixels acting as walls.
TEST_F(DetectionFixture, FloodFillMarksExactlyTheConnectedRegion)
{
    constexpr int32_t W = 61, H = 47;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        SeededRandom random(seed);
        LinearImage picture = UniformImage(W, H, 0.0, 0.0, 0.0);
        for (size_t i = 0; i < picture.rgb.size(); i += 3)
            picture.rgb[i] = picture.rgb[i + 1] = picture.rgb[i + 2] = random.Uniform() < 0.6 ? 1.0f : 0.3f;
        UseImage(picture, kRgb8, true);
        std::vector<PixelSample> before;
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                if (random.Uniform() < 0.05)
                    SetCoverage(x, y, 0);
                before.push_back(input.getPixel(&input, x, y));
            }
        }
        const int32_t sx = int32_t(random.Next() % W), sy = int32_t(random.Next() % H);
        const PixelSample seedPixel = before[size_t(sy) * W + size_t(sx)];
        std::vector<uint8_t> expected(size_t(W) * H, 0);
        expected[size_t(sy) * W + size_t(sx)] = 1;
        for (std::deque<std::pair<int32_t, int32_t>> queue{{sx, sy}}; !queue.empty(); queue.pop_front()) {
            const auto [x, y] = queue.front();
            const std::pair<int32_t, int32_t> next[4] = {{x + 1, y}, {x, y + 1}, {x - 1, y}, {x, y - 1}};
            for (const auto& [nx, ny] : next) {
                const size_t i = size_t(ny) * W + size_t(nx);
                if (nx < 0 || nx >= W || ny < 0 || ny >= H || expected[i] || before[i].mask == 0 ||
                    before[i].red != seedPixel.red)
                    continue;
                expected[i] = 1;
                queue.emplace_back(nx, ny);
            }
        }

        gDetection.image = &input;
        FloodFillMark(sx, sy, seedPixel.red, seedPixel.green, seedPixel.blue);
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                const size_t i = size_t(y) * W + size_t(x);
                const PixelSample now = input.getPixel(&input, x, y);
                ASSERT_EQ(now.mask, expected[i] ? 0u : before[i].mask) << "seed " << seed << " at " << x << "," << y;
                ASSERT_TRUE(now.red == before[i].red && now.alpha == before[i].alpha);
            }
        }
    }
}

TEST_F(DetectionFixture, FloodFillStopsAndReportsWhenItsListCannotGrow)
{
    UseImage(UniformImage(40, 30, 1.0, 1.0, 1.0), kRgb8);
    gDetection.image = &input;
    HeapHostMemory::RefuseAll() = true;
    FloodFillMark(5, 5, kFullChannel, kFullChannel, kFullChannel);
    EXPECT_EQ(EngineFailure(), memFullErr);
    EXPECT_EQ(CapturedMessages::Texts(),
              std::vector<std::string>{"Error - Exiting Plugin / Unable to allocate memory for a flood fill list."});
    // The seed itself was marked before the list was needed; nothing else.
    EXPECT_EQ(input.getPixel(&input, 5, 5).mask, 0u);
    EXPECT_EQ(input.getPixel(&input, 6, 5).mask, kFractionOne);

    // Detection carries on and finishes without a star.
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);
}
