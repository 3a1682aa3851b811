#include "DetectionFixture.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "engine/MeasureShapes.h"

using namespace detection_test;

namespace {

int gBuilds;

class MeasureShapeTest : public DetectionFixture
{
protected:
    void SetUp() override
    {
        DetectionFixture::SetUp();
        ConfigureMeasureShapes();
        gBuilds = 0;
    }
    void TearDown() override
    {
        ClearShape(&scratch);
        DetectionFixture::TearDown();
    }

    Shape scratch{};
};

// The weighted mean and deviation of the brightness of the inside points, in double precision.
void ReferenceMeasure(const SubShapeEntry& entry, const StarPosition& at, double* mean, double* deviation)
{
    const ImageBuffer& image = *gDetection.image;
    std::vector<std::pair<double, double>> values; // brightness, weight
    double sumW = 0, sumV = 0, sumSq = 0;
    for (uint32_t i = 0; i < entry.pointCount; ++i) {
        const ShapePoint& p = PointsOf(entry)[i];
        const int32_t x = at.x + p.dx, y = at.y + p.dy;
        if (x < image.rect.left || x >= image.rect.right || y < image.rect.top || y >= image.rect.bottom)
            continue;
        const PixelSample s = image.getPixel(&image, x, y);
        values.emplace_back(MeanOfThree(s.red, s.green, s.blue), p.weight);
        sumW += p.weight;
        sumV += values.back().first * p.weight;
    }
    *mean = sumW > 0 ? sumV / sumW : 0;
    for (const auto& [b, w] : values)
        sumSq += (b - *mean) * (b - *mean) * w;
    *deviation = sumW > 0 ? std::sqrt(sumSq / sumW) : 0;
}

} // namespace

TEST_F(MeasureShapeTest, PhasesAreBuiltOnceUntilInvalidatedAndClearingFreesEverything)
{
    EXPECT_FALSE(EnsureSubShape(&scratch, 0, 0)); // no builder
    const uint64_t before = CurrentBufferUsage();
    scratch.builder = [](Shape* shape, int32_t xPhase, int32_t yPhase) {
        ++gBuilds;
        SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
        entry.bottom = 4;
        return AppendPoint(&entry, ShapePoint{int16_t(xPhase), int16_t(yPhase), 1, 2, 3, 4}, 8);
    };
    for (int32_t phase = 0; phase < 16; ++phase)
        ASSERT_TRUE(EnsureSubShape(&scratch, phase / 4, phase % 4));
    ASSERT_TRUE(EnsureSubShape(&scratch, 2, 3));
    EXPECT_EQ(gBuilds, 16);
    EXPECT_EQ(PointsOf(EntryFor(scratch, 2, 3))[0].dx, 2);

    // Invalidation keeps the blocks and the rectangles, and the next use rebuilds into the same block.
    const void* block = EntryFor(scratch, 1, 1).points.data;
    InvalidateShape(&scratch);
    EXPECT_EQ(EntryFor(scratch, 1, 1).bottom, 4);
    ASSERT_TRUE(EnsureSubShape(&scratch, 1, 1));
    EXPECT_EQ(gBuilds, 17);
    EXPECT_EQ(EntryFor(scratch, 1, 1).points.data, block);

    // Points grow by the hint; refused memory drops the point, tells the user and gives the host the code.
    SubShapeEntry entry{};
    for (int16_t i = 0; i < 24; ++i)
        ASSERT_TRUE(AppendPoint(&entry, ShapePoint{i, 0, 1, 2, 3, uint32_t(i)}, 8));
    EXPECT_EQ(entry.points.size, 24 * sizeof(ShapePoint));
    EXPECT_EQ(PointsOf(entry)[23].weight, 23u);
    HeapHostMemory::RefuseAll() = true;
    EXPECT_FALSE(AppendPoint(&entry, ShapePoint{}, 8));
    EXPECT_EQ(entry.pointCount, 24u);
    EXPECT_EQ(EngineFailure(), memFullErr);
    EXPECT_EQ(CapturedMessages::Texts(),
              std::vector<std::string>{"Error - Exiting Plugin / Unable to allocate memory for shape."});
    HeapHostMemory::RefuseAll() = false;
    ReleaseBuffer(&entry.points);

    // A build that runs out of memory part-way leaves the phase unbuilt, so the next use builds it again
    // instead of taking the points it got for the whole shape.
    scratch.builder = [](Shape* shape, int32_t xPhase, int32_t yPhase) { // one point, then refused memory
        ++gBuilds;
        AppendPoint(&EntryFor(*shape, xPhase, yPhase), ShapePoint{}, 8);
        return false;
    };
    InvalidateShape(&scratch);
    EXPECT_FALSE(EnsureSubShape(&scratch, 3, 1));
    EXPECT_EQ(EntryFor(scratch, 3, 1).pointCount, 0u);
    EXPECT_FALSE(EnsureSubShape(&scratch, 3, 1));
    EXPECT_EQ(gBuilds, 19);

    ClearShape(&scratch);
    EXPECT_EQ(CurrentBufferUsage(), before);
    EXPECT_EQ(EntryFor(scratch, 1, 1).bottom, 0);
    EXPECT_FALSE(EnsureSubShape(&scratch, 1, 1));
}

// Row order against the standard stable sort, in blocks with no room to spare, a little and plenty:
// points on one pixel (here many) must keep the order they were added in, as their blends do not commute.
TEST(ShapeOrder, RowOrderKeepsThePointsOfOnePixelInTheOrderAdded)
{
    std::mt19937 random(77);
    for (const uint32_t count : {1u, 17u, 300u, 5000u})
        for (const uint32_t spare : {0u, 100u, 300u, 6000u}) {
            std::vector<ShapePoint> points(count + spare);
            for (uint32_t i = 0; i < count; ++i)
                points[i] = ShapePoint{int16_t(random() % 40 - 20), int16_t(random() % 30 - 15), 0, 0, 0, i};
            std::vector<ShapePoint> expected(points.begin(), points.begin() + count);
            std::stable_sort(expected.begin(), expected.end(), PrecedesInRowOrder);
            SubShapeEntry entry{count, 0, 0,
                                0,     0, BufferRecord{0, points.data(), uint32_t(points.size() * sizeof(ShapePoint))}};
            SortPointsInRowOrder(&entry);
            for (uint32_t i = 0; i < count; ++i)
                ASSERT_EQ(points[i].weight, expected[i].weight) << count << " points, " << spare << " spare, at " << i;
        }
}

TEST_F(MeasureShapeTest, MeasurementsMatchADoublePrecisionModelAndUseOnlyInsidePoints)
{
    StarfieldOptions options{60, 50, 3, 12}; // width, height, seed, stars
    options.noise = 0.05;
    UseImage(RenderStarfield(options, GenerateStars(options)));
    gDetection.image = &input;
    for (const StarPosition& at : {StarPosition{30, 0, 25, 0}, StarPosition{12, 3, 40, 1}, StarPosition{0, 2, 0, 2},
                                   StarPosition{59, 1, 3, 3}, StarPosition{-3, 0, 20, 0}}) {
        for (Shape* shape : {&gMeasureShapes.rings[1], &gMeasureShapes.rings[17], &gMeasureShapes.discs[6],
                             &gMeasureShapes.discs[40]}) {
            const BrightnessMeasurement m = MeasureBrightness(shape, *gDetection.image, at);
            ASSERT_TRUE(m.success);
            double mean, deviation;
            ReferenceMeasure(EntryFor(*shape, at.xPhase, at.yPhase), at, &mean, &deviation);
            // The mean keeps 16 bits of the quotient: it is low by less than 2 x 256.
            EXPECT_TRUE(m.mean <= mean + 1.0 && m.mean >= mean - 512.0) << m.mean << " vs " << mean;
            EXPECT_NEAR(m.deviation, deviation, 256.0 + deviation * 1e-4);
        }
    }

    // Entirely outside the image: nothing to average.
    const BrightnessMeasurement outside =
        MeasureBrightness(&gMeasureShapes.rings[8], *gDetection.image, StarPosition{-40, 0, 5, 0});
    EXPECT_TRUE(outside.success);
    EXPECT_EQ(outside.mean, 0u);
    EXPECT_EQ(outside.deviation, 0.0f);

    // Colour under a uniform patch reads back its value; the preview's truncated products read lower.
    UseImage(UniformImage(30, 30, 0.8, 0.4, 0.1), kRgb32);
    gDetection.image = &input;
    const PixelSample pixel = input.getPixel(&input, 15, 15);
    const ColourMeasurement precise =
        MeasureColour(&gMeasureShapes.rings[20], *gDetection.image, StarPosition{15, 1, 15, 2});
    EXPECT_NEAR(double(precise.red), double(pixel.red), 512.0);
    EXPECT_NEAR(double(precise.blue), double(pixel.blue), 512.0);
    gQuality = PreviewQuality();
    const ColourMeasurement preview =
        MeasureColour(&gMeasureShapes.rings[20], *gDetection.image, StarPosition{15, 1, 15, 2});
    EXPECT_LT(preview.red, precise.red);
    EXPECT_NEAR(double(preview.red), double(pixel.red), double(pixel.red) * 0.003 + 512.0);
}

TEST_F(MeasureShapeTest, OnlyShapeParametersAndQualityRebuildTheRenderShapes)
{
    FilterParameters parameters = kFactoryParameters;
    gQuality = FinalQuality(input.bitsPerSample);
    RefreshRenderShapes(parameters, gQuality, input.width, input.height);
    // Changes the parameters, refreshes, and tells which of the two shapes survived.
    auto refresh = [&](auto change) {
        gRenderShapes.spike.entries[5].pointCount = gRenderShapes.flare.entries[5].pointCount = 3;
        change();
        const bool invalidated = RefreshRenderShapes(parameters, gQuality, input.width, input.height);
        const bool spike = gRenderShapes.spike.entries[5].pointCount != 0,
                   flare = gRenderShapes.flare.entries[5].pointCount != 0;
        EXPECT_EQ(invalidated, !spike || !flare);
        return std::make_pair(spike, flare);
    };
    const auto both = std::make_pair(true, true), flareOnly = std::make_pair(false, true),
               neither = std::make_pair(false, false);
    EXPECT_EQ(refresh([&] {
                  parameters.saturation = -40;
                  parameters.intensity = 90;
                  parameters.softFlareBrightness = 10;
                  parameters.outputSpikesOnly = 1;
              }),
              both);
    EXPECT_EQ(refresh([&] { parameters.angle = 300; }), flareOnly);
    for (int16_t FilterParameters::*field :
         {&FilterParameters::numberOfPoints, &FilterParameters::spikeSharpness, &FilterParameters::rainbowIntensity,
          &FilterParameters::rainbowFrequency, &FilterParameters::secondarySpikeIntensity})
        EXPECT_EQ(refresh([&] { parameters.*field = int16_t(parameters.*field + 1); }), flareOnly);
    EXPECT_EQ(refresh([&] { parameters.length = 70; }), neither);
    EXPECT_EQ(refresh([] { gQuality = PreviewQuality(); }), neither);
    EXPECT_EQ(refresh([] {}), both); // the quality is remembered
    EXPECT_EQ(refresh([&] { gQuality = FinalQuality(input.bitsPerSample); }), neither);

    // After a release the first refresh of the next run always reports a change.
    ReleaseRenderShapes();
    EXPECT_TRUE(RefreshRenderShapes(parameters, gQuality, input.width, input.height));
}
