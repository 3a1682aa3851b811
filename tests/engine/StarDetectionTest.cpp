#include "DetectionFixture.h"
#include "common/Fnv1a.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/FloodFill.h"
#include "engine/RadialProfile.h"
#include "engine/StarListJson.h"
#include "engine/StarRefinement.h"

using namespace detection_test;

namespace {

int gPolls;
int gPollsPerInterruption;

bool InterruptEveryFewPolls()
{
    return ++gPolls % gPollsPerInterruption == 0;
}

std::vector<std::pair<int32_t, int32_t>> gProgress;

LinearImage Starfield(int32_t width, int32_t height, uint64_t seed, int32_t stars, bool coloured = true)
{
    StarfieldOptions options{width, height, seed, stars};
    options.coloured = coloured;
    return RenderStarfield(options, GenerateStars(options));
}

} // namespace

// Centred between two pixels, both are equally bright maxima and the first one met is a seed; a dimmer
// flank is not. On the image's last column nothing lies east of the centre, so no centre is estimated.
TEST_F(DetectionFixture, SeedsNeedNoBrighterNeighbourAndCentresNeedAnEastEdge)
{
    UseImage(SingleStar(80, 80, GreyStar(40.5, 40.0, 1.5, 0.9)));
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    EXPECT_TRUE(Near(Stars()[0], 40.5, 40.0, 0.25));
    UseImage(SingleStar(80, 80, GreyStar(40.0, 40.0, 1.5, 0.9)));
    gDetection.image = &input;
    StarPosition flank{41, 0, 40, 0};
    EXPECT_FALSE(RefineSeed(&flank));

    for (const auto& [x, stars] : {std::pair{59.0, 0u}, {50.0, 1u}}) {
        UseImage(SingleStar(60, 60, GreyStar(x, 30.0, 1.5, 0.95)));
        Detect();
        EXPECT_EQ(gStarList.starCount, stars) << x;
    }
    const float noEast[8] = {-1.0f, -1.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f, -1.0f};
    StarPosition centre;
    EXPECT_FALSE(EstimateCentre(StarPosition{10, 0, 10, 0}, noEast, &centre));
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

TEST_F(DetectionFixture, StarsWiderThan128PixelsAreIgnored)
{
    // A bright dome with a sharp rim. Its edge is found at the rim along the axes and, as diagonal steps
    // count 0.70711 each, at half the rim's distance along the diagonals: the radius is about three
    // quarters of the rim's.
    auto dome = [](double radius) {
        const int32_t size = int32_t(2 * radius) + 40;
        LinearImage picture = UniformImage(size, size, 0.02, 0.02, 0.02);
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) {
                const double d2 = (std::pow(x - size / 2, 2) + std::pow(y - size / 2, 2)) / (radius * radius);
                for (int32_t c = 0; c < 3 && d2 < 1.0; ++c)
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

TEST_F(DetectionFixture, InterruptedScanYieldsTheSameSortedListAndProgress)
{
    const LinearImage picture = Starfield(330, 250, 11, 70);
    UseImage(picture);
    SetDetectionProgressHook([](int32_t done, int32_t total) { gProgress.emplace_back(done, total); });
    gProgress.clear();
    Detect();
    const std::vector<StarRecord> whole = Stars();
    ASSERT_GT(whole.size(), 20u);
    EXPECT_EQ(gProgress.size(), 7u);
    EXPECT_EQ(gProgress.back(), std::make_pair(224, 250)); // the last row that is a multiple of 32
    bool someoneIsFull = false;
    for (size_t i = 0; i < whole.size(); ++i) {
        const StarRecord& s = whole[i];
        EXPECT_TRUE(i == 0 || whole[i - 1].brightness >= s.brightness);
        EXPECT_EQ(s.brightness, MeanOfThree(s.red, s.green, s.blue));
        someoneIsFull = someoneIsFull || (s.spikesEnabled != 0 && std::max({s.red, s.green, s.blue}) == kFractionOne);
    }
    EXPECT_TRUE(someoneIsFull) << "colours are relative to the strongest channel of the enabled stars";
    // Every build finds exactly this list (accepted once; regenerate only deliberately).
    const uint64_t hash = Fnv1a(whole.data(), whole.size() * sizeof(StarRecord));
    EXPECT_EQ(hash, 0x44468ffafe5915dfull) << std::hex << hash << std::dec << " for " << whole.size() << " stars";

    for (int every : {1, 3, 7}) {
        UseImage(picture);
        gPolls = 0;
        gPollsPerInterruption = every;
        gProgress.clear();
        SetUserInputPendingHook(InterruptEveryFewPolls);
        ResetEngine();
        int32_t interruptions = 0;
        while (FindStars(input) == WorkStatus::Interrupted)
            ++interruptions;
        SetUserInputPendingHook(nullptr);
        // Every poll interrupts: at columns 64, 128, 192, 256 and 320 of every row.
        EXPECT_TRUE(every != 1 || interruptions == 250 * 5) << interruptions;
        ASSERT_EQ(gStarList.starCount, whole.size()) << "interrupted every " << every << " polls";
        EXPECT_EQ(std::memcmp(StarRecords(), whole.data(), whole.size() * sizeof(StarRecord)), 0);
        EXPECT_EQ(gProgress.back(), std::make_pair(224, 250));
    }

    // Once complete, further calls do nothing and succeed.
    SetUserInputPendingHook(InterruptEveryFewPolls);
    EXPECT_EQ(FindStars(input), WorkStatus::Done);
    EXPECT_EQ(gStarList.starCount, whole.size());
}

TEST_F(DetectionFixture, GreyImagesGiveGreyStarsAndNoStarIsGreen)
{
    UseImage(Starfield(300, 220, 9, 60, false), kGray16);
    Detect();
    ASSERT_GT(gStarList.starCount, 10u);
    for (const StarRecord& s : Stars())
        EXPECT_TRUE(s.red == s.green && s.green == s.blue);

    // Green is held to the mean of red and blue.
    LinearImage picture = UniformImage(60, 60, 0.01, 0.01, 0.01);
    AddGaussianStar(&picture, StarfieldStar{30.0, 30.0, 1.5, 1.0, 0.4, 1.0, 0.8});
    ClampImage(&picture);
    UseImage(picture);
    Detect();
    ASSERT_EQ(gStarList.starCount, 1u);
    const StarRecord s = Stars()[0];
    EXPECT_EQ(s.blue, kFractionOne);
    EXPECT_NEAR(double(s.green), (double(s.red) + double(s.blue)) / 2.0, 0.001 * kFractionOne);

    // The list as JSON shows the star where it was found.
    std::FILE* file = std::tmpfile();
    ASSERT_TRUE(file != nullptr && WriteStarListJson(file));
    std::rewind(file);
    char text[1024] = {};
    const std::string json(text, std::fread(text, 1, sizeof text - 1, file));
    std::fclose(file);
    char centre[80];
    std::snprintf(centre, sizeof centre, "\"centreX\": %.2f, \"centreY\": %.2f", s.x + s.xPhase * 0.25,
                  s.y + s.yPhase * 0.25);
    EXPECT_NE(json.find("\"starCount\": 1,"), std::string::npos) << json;
    EXPECT_NE(json.find(centre), std::string::npos) << json;
}
