#include "DetectionFixture.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/EffectTables.h"
#include "engine/MeasureShapes.h"
#include "engine/StarDetectionSteps.h"
#include "engine/StarListJson.h"

using namespace detection_test;

namespace {

int gPolls;
int gPollsPerInterruption;

bool InterruptEveryFewPolls()
{
    return ++gPolls % gPollsPerInterruption == 0;
}

std::vector<std::pair<int32_t, int32_t>> gProgress;

void RecordProgress(int32_t done, int32_t total)
{
    gProgress.emplace_back(done, total);
}

LinearImage Starfield(int32_t width, int32_t height, uint64_t seed, int32_t stars, bool coloured = true)
{
    StarfieldOptions options;
    options.width = width;
    options.height = height;
    options.seed = seed;
    options.starCount = stars;
    options.coloured = coloured;
    return RenderStarfield(options, GenerateStars(options));
}

} // namespace

TEST_F(DetectionFixture, SingleGaussianStarFoundAtItsSubPixelCentreForEveryPhase)
{
    for (int32_t yq = 0; yq < 4; ++yq) {
        for (int32_t xq = 0; xq < 4; ++xq) {
            const double x = 40.0 + 0.25 * xq;
            const double y = 36.0 + 0.25 * yq;
            UseImage(SingleStar(80, 72, GreyStar(x, y, 2.0, 0.95)));
            Detect();
            ASSERT_EQ(gStarList.starCount, 1u) << "star at " << x << ", " << y;
            const StarRecord star = Stars()[0];
            EXPECT_TRUE(Near(star, x, y, 0.25)) << "star at " << x << ", " << y << " found at " << star.x << "+"
                                                << star.xPhase << "/4, " << star.y << "+" << star.yPhase << "/4";
            EXPECT_EQ(star.spikesEnabled, kFractionOne);
            EXPECT_EQ(star.reserved, 0xFFFFFFFFu);
            ReleaseEngine();
        }
    }
}

TEST_F(DetectionFixture, EqualNeighboursCanBeSeedsButDimmerOnesCannot)
{
    // Centred between two pixels: both are equally bright maxima, and the first one found is a seed.
    UseImage(SingleStar(80, 80, GreyStar(40.5, 40.0, 1.5, 0.9)));
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    EXPECT_TRUE(Near(Stars()[0], 40.5, 40.0, 0.25));

    // A pixel beside the maximum is rejected at once.
    ReleaseEngine();
    UseImage(SingleStar(80, 80, GreyStar(40.0, 40.0, 1.5, 0.9)));
    gDetection.image = gInputImage;
    StarPosition flank{41, 0, 40, 0};
    EXPECT_FALSE(RefineSeed(&flank));
    EXPECT_EQ(flank.x, 41);
    StarPosition peak{40, 0, 40, 0};
    ConfigureMeasureShapes();
    EXPECT_TRUE(RefineSeed(&peak));
    EXPECT_EQ(gStarList.maxSeedBrightness, MeanOfThree(gInputImage.getPixel(&gInputImage, 40, 40).red,
                                                       gInputImage.getPixel(&gInputImage, 40, 40).green,
                                                       gInputImage.getPixel(&gInputImage, 40, 40).blue));
}

TEST_F(DetectionFixture, StarWithoutAnEastEdgeIsNotAStar)
{
    // On the image's last column nothing lies east of the centre, so the column cannot be estimated.
    UseImage(SingleStar(60, 60, GreyStar(59.0, 30.0, 1.5, 0.95)));
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);

    UseImage(SingleStar(60, 60, GreyStar(50.0, 30.0, 1.5, 0.95)));
    Detect();
    EXPECT_EQ(gStarList.starCount, 1u);

    const float noEast[8] = {-1.0f, -1.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f, -1.0f};
    StarPosition centre;
    EXPECT_FALSE(EstimateCentre(StarPosition{10, 0, 10, 0}, noEast, &centre));
    const float round[8] = {2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f};
    EXPECT_TRUE(EstimateCentre(StarPosition{10, 0, 10, 0}, round, &centre));
    EXPECT_EQ(centre, (StarPosition{10, 0, 10, 0}));
}

TEST_F(DetectionFixture, UnselectedOrTransparentCentreGetsNoSpikes)
{
    const LinearImage picture = SingleStar(80, 80, GreyStar(40.0, 40.0, 2.5, 3.0));
    UseImage(picture);
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    const StarRecord open = Stars()[0];
    EXPECT_EQ(open.spikesEnabled, kFractionOne);

    // The saturated core has seeds all round, so the star is still found from a selected pixel.
    UseImage(picture);
    for (int32_t y = open.y - 1; y <= open.y + 1; ++y)
        for (int32_t x = open.x - 1; x <= open.x + 1; ++x)
            SetCoverage(x, y, 0);
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    EXPECT_EQ(Stars()[0].spikesEnabled, 0u);
    EXPECT_EQ(Stars()[0].radiusSquared, open.radiusSquared);

    UseImage(picture, kRgb16, true);
    SetCoverage(open.x, open.y, kKeepSample, 0);
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    EXPECT_EQ(Stars()[0].spikesEnabled, 0u);
}

TEST_F(DetectionFixture, OverlappingStarsAreSettledBySize)
{
    const uint32_t white[3] = {kFractionOne, kFractionOne, kFractionOne};
    // Small enabled star first.
    AddStar(StarPosition{10, 0, 10, 0}, 4.0f, 1000, white, true);
    ASSERT_EQ(gStarList.starCount, 1u);
    // The same position again is a duplicate.
    AddStar(StarPosition{10, 0, 10, 0}, 50.0f, 1000, white, true);
    EXPECT_EQ(gStarList.starCount, 1u);
    EXPECT_EQ(StarRecords()[0].spikesEnabled, kFractionOne);

    // A larger star without spikes overlapping it is left out and silences nothing.
    AddStar(StarPosition{12, 0, 10, 0}, 25.0f, 2000, white, false);
    EXPECT_EQ(gStarList.starCount, 1u);
    EXPECT_EQ(StarRecords()[0].spikesEnabled, kFractionOne);

    // A larger enabled star switches the smaller one off and is added.
    AddStar(StarPosition{12, 1, 10, 0}, 25.0f, 2000, white, true);
    ASSERT_EQ(gStarList.starCount, 2u);
    EXPECT_EQ(StarRecords()[0].spikesEnabled, 0u);
    EXPECT_EQ(StarRecords()[1].radiusSquared, 25);
    EXPECT_EQ(StarRecords()[1].spikesEnabled, kFractionOne);

    // A switched-off star still blocks smaller stars in its zone.
    AddStar(StarPosition{11, 0, 11, 0}, 1.0f, 10, white, true);
    EXPECT_EQ(gStarList.starCount, 2u);

    // An equal-sized newcomer is blocked.
    AddStar(StarPosition{60, 0, 10, 0}, 16.0f, 10, white, true);
    ASSERT_EQ(gStarList.starCount, 3u);
    AddStar(StarPosition{61, 0, 10, 0}, 16.2f, 10, white, true);
    EXPECT_EQ(gStarList.starCount, 3u);
    EXPECT_EQ(StarRecords()[2].spikesEnabled, kFractionOne);

    // A newcomer larger than one neighbour but not the other silences the smaller one and is still left
    // out.
    AddStar(StarPosition{80, 0, 10, 0}, 64.0f, 10, white, true);
    AddStar(StarPosition{70, 0, 10, 0}, 4.0f, 10, white, true);
    ASSERT_EQ(gStarList.starCount, 5u);
    AddStar(StarPosition{74, 0, 10, 0}, 20.0f, 10, white, true);
    EXPECT_EQ(gStarList.starCount, 5u);
    EXPECT_EQ(StarRecords()[4].spikesEnabled, 0u);
    EXPECT_EQ(StarRecords()[3].spikesEnabled, kFractionOne);
    EXPECT_EQ(gStarList.maxStarChannel, MulFraction(2000, kFractionOne));
}

TEST_F(DetectionFixture, StarsWiderThan128PixelsAreIgnored)
{
    // A bright dome with a sharp rim. Its edge is found at the rim along the axes and, as diagonal steps
    // are counted at 0.70711 each, at half the rim's distance along the diagonals: the radius is about
    // three quarters of the rim's.
    auto dome = [](double radius) {
        const int32_t size = int32_t(2 * radius) + 40;
        LinearImage picture = UniformImage(size, size, 0.02, 0.02, 0.02);
        const double centre = size / 2;
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) {
                const double d2 = ((x - centre) * (x - centre) + (y - centre) * (y - centre)) / (radius * radius);
                if (d2 < 1.0)
                    for (int32_t c = 0; c < 3; ++c)
                        picture.rgb[(size_t(y) * size_t(size) + size_t(x)) * 3 + size_t(c)] = float(0.95 - 0.1 * d2);
            }
        }
        return picture;
    };
    UseImage(dome(190.0), kRgb32);
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);

    UseImage(dome(100.0), kRgb32);
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    EXPECT_NEAR(std::sqrt(double(Stars()[0].radiusSquared)), 75.0, 8.0);
    EXPECT_TRUE(Near(Stars()[0], 120.0, 120.0, 1.0));
}

TEST_F(DetectionFixture, WhiteRectangleIsMarkedAndYieldsNoStar)
{
    LinearImage picture = UniformImage(340, 330, 0.02, 0.02, 0.02);
    for (int32_t y = 20; y < 310; ++y)
        for (int32_t x = 30; x < 310; ++x)
            for (int32_t c = 0; c < 3; ++c)
                picture.rgb[(size_t(y) * 340 + size_t(x)) * 3 + size_t(c)] = 1.0f;
    UseImage(picture, kRgb8);
    Detect();
    EXPECT_EQ(gStarList.starCount, 0u);
    int32_t unmarked = 0;
    for (int32_t y = 20; y < 310; ++y)
        for (int32_t x = 30; x < 310; ++x)
            unmarked += gInputImage.getPixel(&gInputImage, x, y).mask != 0 ? 1 : 0;
    EXPECT_EQ(unmarked, 0);
    // Colour stays, and nothing outside the rectangle is marked.
    EXPECT_EQ(gInputImage.getPixel(&gInputImage, 100, 100).red, kFullChannel);
    EXPECT_EQ(gInputImage.getPixel(&gInputImage, 29, 100).mask, kFractionOne);
    EXPECT_EQ(gInputImage.getPixel(&gInputImage, 100, 310).mask, kFractionOne);
}

TEST_F(DetectionFixture, InterruptedScanYieldsTheSameListAndProgress)
{
    const LinearImage picture = Starfield(330, 250, 11, 70);
    UseImage(picture);
    SetDetectionProgressHook(RecordProgress);
    gProgress.clear();
    Detect();
    const std::vector<StarRecord> whole = Stars();
    ASSERT_GT(whole.size(), 20u);
    ASSERT_FALSE(gProgress.empty());
    EXPECT_EQ(gProgress.back(), std::make_pair(224, 250)); // the last row that is a multiple of 32
    EXPECT_EQ(gProgress.size(), 7u);

    for (int every : {1, 3, 7}) {
        ReleaseEngine();
        UseImage(picture);
        gPolls = 0;
        gPollsPerInterruption = every;
        gProgress.clear();
        SetUserInputPendingHook(InterruptEveryFewPolls);
        ResetDetection();
        int32_t interruptions = 0;
        while (!FindStars())
            ++interruptions;
        SetUserInputPendingHook(nullptr);
        // Every poll interrupts: at columns 64, 128, 192, 256 and 320 of every row.
        if (every == 1) {
            EXPECT_EQ(interruptions, 250 * 5);
        }
        EXPECT_GT(interruptions, 0);
        const std::vector<StarRecord> resumed = Stars();
        ASSERT_EQ(resumed.size(), whole.size()) << "interrupted every " << every << " polls";
        EXPECT_EQ(std::memcmp(resumed.data(), whole.data(), whole.size() * sizeof(StarRecord)), 0);
        ASSERT_FALSE(gProgress.empty());
        EXPECT_EQ(gProgress.back(), std::make_pair(224, 250));
        for (size_t i = 1; i < gProgress.size(); ++i)
            EXPECT_GE(gProgress[i].first, gProgress[i - 1].first);
    }

    // Once complete, further calls do nothing and succeed.
    SetUserInputPendingHook(InterruptEveryFewPolls);
    EXPECT_TRUE(FindStars());
    EXPECT_EQ(gStarList.starCount, whole.size());
}

TEST_F(DetectionFixture, FinishedListIsNormalisedAndSortedBrightestFirst)
{
    UseImage(Starfield(300, 220, 5, 60));
    Detect();
    const std::vector<StarRecord> stars = Stars();
    ASSERT_GT(stars.size(), 20u);
    bool someoneIsFull = false;
    for (size_t i = 0; i < stars.size(); ++i) {
        const StarRecord& s = stars[i];
        if (i > 0) {
            EXPECT_GE(stars[i - 1].brightness, s.brightness);
        }
        EXPECT_EQ(s.brightness, MeanOfThree(s.red, s.green, s.blue));
        EXPECT_TRUE(s.xPhase >= 0 && s.xPhase < 4 && s.yPhase >= 0 && s.yPhase < 4);
        if (s.spikesEnabled != 0 && (s.red == kFractionOne || s.green == kFractionOne || s.blue == kFractionOne))
            someoneIsFull = true;
        // No star is green: green never exceeds the mean of red and blue by more than rounding.
        EXPECT_LE(double(s.green), (double(s.red) + double(s.blue)) / 2.0 + 4096.0);
    }
    EXPECT_TRUE(someoneIsFull);

    // A fresh detection of the same image gives the same list.
    Detect();
    ASSERT_EQ(gStarList.starCount, stars.size());
    EXPECT_EQ(std::memcmp(StarRecords(), stars.data(), stars.size() * sizeof(StarRecord)), 0);
}

TEST_F(DetectionFixture, GreyImagesGiveGreyStars)
{
    UseImage(Starfield(300, 220, 9, 60, false), kGray16);
    Detect();
    ASSERT_GT(gStarList.starCount, 10u);
    for (const StarRecord& s : Stars()) {
        EXPECT_EQ(s.red, s.green);
        EXPECT_EQ(s.green, s.blue);
    }
    // The same field in colour is not grey.
    UseImage(Starfield(300, 220, 9, 60, true));
    Detect();
    bool coloured = false;
    for (const StarRecord& s : Stars())
        coloured = coloured || s.red != s.blue;
    EXPECT_TRUE(coloured);
}

TEST_F(DetectionFixture, GreenStarIsHeldToTheMeanOfRedAndBlue)
{
    LinearImage picture = UniformImage(60, 60, 0.01, 0.01, 0.01);
    AddGaussianStar(&picture, StarfieldStar{30.0, 30.0, 1.5, 1.0, 0.4, 1.0, 0.8});
    ClampImage(&picture);
    UseImage(picture);
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    const StarRecord s = Stars()[0];
    EXPECT_EQ(s.blue, kFractionOne);
    EXPECT_NEAR(double(s.green), (double(s.red) + double(s.blue)) / 2.0, 0.001 * kFractionOne);
}

TEST_F(DetectionFixture, DeleteToolSwitchesOnlyTheSpikes)
{
    UseImage(Starfield(200, 160, 21, 20));
    Detect();
    ASSERT_GT(gStarList.starCount, 3u);
    const std::vector<StarRecord> before = Stars();
    SetStarSpikesEnabled(2, false);
    EXPECT_FALSE(StarSpikesEnabled(2));
    EXPECT_EQ(StarRecords()[2].spikesEnabled, 0u);
    SetStarSpikesEnabled(2, true);
    EXPECT_EQ(StarRecords()[2].spikesEnabled, kFractionOne);
    SetStarSpikesEnabled(gStarList.starCount, false); // past the end: ignored
    EXPECT_EQ(std::memcmp(StarRecords(), before.data(), before.size() * sizeof(StarRecord)), 0);
}

TEST_F(DetectionFixture, StarListAsJson)
{
    UseImage(SingleStar(60, 60, GreyStar(30.25, 20.75, 1.5, 0.95)));
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    const StarRecord star = Stars()[0];
    char centre[80];
    std::snprintf(centre, sizeof centre, "\"centreX\": %.2f, \"centreY\": %.2f", star.x + star.xPhase * 0.25,
                  star.y + star.yPhase * 0.25);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(WriteStarListJson(file));
    std::rewind(file);
    char text[1024] = {};
    const size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    const std::string json(text, length);
    EXPECT_NE(json.find("\"starCount\": 1"), std::string::npos) << json;
    EXPECT_NE(json.find(centre), std::string::npos) << json;
    EXPECT_NE(json.find("\"spikesEnabled\": true"), std::string::npos) << json;
    EXPECT_EQ(json.back(), '\n');
}
