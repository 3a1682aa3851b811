#include "RenderFixture.h"

namespace {

int gPolls;       // polls of the engine since StartPolls()
int gInterruptAt; // the poll (1-based) that reports input waiting; 0: every poll

void StartPolls(int interruptAt)
{
    gPolls = 0;
    gInterruptAt = interruptAt;
    SetUserInputPendingHook([] { return ++gPolls == gInterruptAt || gInterruptAt == 0; });
}

class RenderEffectTest : public RenderFixture
{
protected:
    ImageBuffer* source = nullptr;
    ImageBuffer* dest = nullptr;

    void Use(int32_t mode, bool transparency = false, bool mask = false)
    {
        source = MakeImage(ImageRect{0, 0, 200, 150}, mode, transparency, mask, 11);
        dest = MakeImage(ImageRect{0, 0, 200, 150}, mode, transparency, mask, 12);
    }

    bool Render() { return RenderEffect(Inputs(), source, source->rect, dest, dest->rect) == WorkStatus::Done; }

    void AddGridOfStars(int count)
    {
        for (int i = 0; i < count; ++i)
            AddStar(20 + (i % 6) * 32, 25 + (i / 6) * 40, kFractionOne - uint32_t(i) * 50000000u,
                    kFractionOne - uint32_t(i % 3) * 900000000u, kFractionOne / 2, kFractionOne / 3, true, i % 4,
                    i / 4 % 4);
    }

    // The same job rendered without interruption into a scratch buffer.
    std::vector<uint8_t> Uninterrupted()
    {
        ImageBuffer* scratch = MakeImage(dest->rect, dest->mode, dest->transparencyPlanes > 0, false, 99);
        SetUserInputPendingHook(nullptr);
        EXPECT_TRUE(RenderEffect(Inputs(), source, source->rect, scratch, scratch->rect) == WorkStatus::Done);
        return PlaneBytes(scratch);
    }
};

TEST_F(RenderEffectTest, OnlyStarsAboveTheThresholdsAreStamped)
{
    // Nothing to draw: an exact copy in every mode, or black for the effect alone.
    parameters.intensity = 0;
    parameters.softFlareBrightness = 0;
    AddGridOfStars(8);
    for (int32_t mode : {kModeRgb8, kModeGray8, kModeRgb16}) {
        Use(mode, mode == kModeRgb16);
        ASSERT_TRUE(Render());
        EXPECT_EQ(PlaneBytes(dest), PlaneBytes(source)) << "mode " << mode;
    }
    parameters.outputSpikesOnly = 1;
    Use(kModeRgb8);
    ASSERT_TRUE(Render());
    EXPECT_EQ(PlaneBytes(dest), std::vector<uint8_t>(PlaneBytes(dest).size(), 0));

    // A float image changes wherever a point is blended, even at opacity 0.
    parameters = kFactoryParameters;
    parameters.softFlareBrightness = 0;
    Use(kModeRgb32);
    gStarList.starCount = 0;
    AddStar(100, 75, 50 * 10737418u);
    ASSERT_TRUE(Render());
    EXPECT_EQ(PlaneBytes(dest), PlaneBytes(source));
    StarRecords()[0].brightness = 50 * 10737418u + 1;
    ASSERT_TRUE(Render());
    EXPECT_NE(PlaneBytes(dest), PlaneBytes(source));
    parameters.intensity = 100;
    StarRecords()[0].brightness = 1;
    FillNoise(dest, 5);
    ASSERT_TRUE(Render());
    EXPECT_NE(PlaneBytes(dest), PlaneBytes(source));
}

TEST_F(RenderEffectTest, SwitchedOffStarsAreStampedInvisiblyButStillPolled)
{
    Use(kModeRgb8);
    parameters.intensity = 100;
    parameters.softFlareBrightness = 100;
    AddStar(100, 75, kFractionOne, kFractionOne, kFractionOne, kFractionOne, false);
    auto maxChange = [this]() {
        const std::vector<uint8_t> a = PlaneBytes(source), b = PlaneBytes(dest);
        int most = 0;
        for (size_t i = 0; i < a.size(); ++i)
            most = std::max(most, std::abs(int(a[i]) - int(b[i])));
        return most;
    };
    ASSERT_TRUE(Render());
    EXPECT_LE(maxChange(), 1);
    StarRecords()[0].spikesEnabled = kFractionOne;
    ASSERT_TRUE(Render());
    EXPECT_GE(maxChange(), 60);

    // Polls follow each of the first 32 spike stamps and every 64th, and every 64th flare stamp from the
    // first; switched-off stars count like the others.
    gStarList.starCount = 0;
    for (int i = 0; i < 70; ++i)
        AddStar(-5000, -5000, kFractionOne - uint32_t(i), kFractionOne, kFractionOne, kFractionOne, i % 2 == 0);
    StartPolls(-1);
    ASSERT_TRUE(Render());
    EXPECT_EQ(gPolls, 32 + 1 + 2);
}

TEST_F(RenderEffectTest, AnInterruptedRenderResumesOnlyForTheSameJob)
{
    Use(kModeRgb16);
    AddGridOfStars(16);
    const std::vector<uint8_t> original = PlaneBytes(source);
    const std::vector<uint8_t> expected = Uninterrupted();

    // Input at the poll after star 10 of the spike pass, or after star 0 of the flare pass (poll 17).
    for (const int interruptAt : {11, 17}) {
        std::memcpy(source->image.data, original.data(), original.size());
        StartPolls(interruptAt);
        ASSERT_FALSE(Render());
        EXPECT_TRUE(gRenderResume.resumable);
        EXPECT_EQ(gRenderResume.nextSpikeStar, interruptAt == 11 ? 11u : 16u);
        EXPECT_EQ(gRenderResume.nextFlareStar, interruptAt == 11 ? 0u : 1u);
        FillNoise(source, 77); // a recopy would now bring in other pixels
        SetUserInputPendingHook(nullptr);
        ASSERT_TRUE(Render());
        EXPECT_EQ(PlaneBytes(dest), expected) << interruptAt;
        EXPECT_FALSE(gRenderResume.resumable);
    }

    // Saturation is applied while stamping, the angle changes the spike shape: either restarts the job.
    for (int change = 0; change < 2; ++change) {
        StartPolls(11);
        ASSERT_FALSE(Render());
        (change == 0 ? parameters.saturation : parameters.angle) = -60;
        SetUserInputPendingHook(nullptr);
        ASSERT_TRUE(Render());
        EXPECT_EQ(PlaneBytes(dest), Uninterrupted()) << change;
    }
}

TEST_F(RenderEffectTest, EffectAloneKeepsTransparencyAndSelection)
{
    parameters.outputSpikesOnly = 1;
    Use(kModeRgb8, true, true);
    AddGridOfStars(3);
    const std::vector<uint8_t> mask(static_cast<uint8_t*>(dest->mask.data),
                                    static_cast<uint8_t*>(dest->mask.data) + dest->pixelCount);
    ASSERT_TRUE(Render());
    const std::vector<uint8_t> result = PlaneBytes(dest), original = PlaneBytes(source);
    const size_t plane = size_t(dest->pixelCount);
    EXPECT_TRUE(std::equal(result.begin() + 3 * plane, result.end(), original.begin() + 3 * plane));
    EXPECT_EQ(std::memcmp(dest->mask.data, mask.data(), plane), 0);
    EXPECT_GT(std::count(result.begin(), result.begin() + 3 * plane, 0), long(plane)); // mostly black
    EXPECT_GT(result[25 * 200 + 20], 200);                                             // bright at a star
}

TEST_F(RenderEffectTest, AFailedStampFailsTheRenderAndIsNotResumable)
{
    Use(kModeRgb8);
    AddGridOfStars(4);
    HeapHostMemory::RefuseAll() = true;
    StartPolls(0); // input waiting at every poll
    EXPECT_FALSE(Render());
    HeapHostMemory::RefuseAll() = false;
    EXPECT_NE(EngineFailure(), 0);
    EXPECT_FALSE(gRenderResume.resumable);
    EXPECT_EQ(PlaneBytes(dest), PlaneBytes(source));
}

} // namespace
