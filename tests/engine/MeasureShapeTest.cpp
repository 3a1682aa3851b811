#include "DetectionFixture.h"

#include <cmath>
#include <cstring>

#include "engine/MeasureShapes.h"
#include "engine/Shape.h"
#include "engine/StarEffectRect.h"

using namespace detection_test;

namespace {

constexpr double kOne = 4294967296.0;

int gBuilds;
bool gBuilderFails;

// Builds one point per phase at (xPhase, yPhase) with a rectangle around it.
bool CountingBuilder(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    ++gBuilds;
    if (gBuilderFails)
        return false;
    SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
    entry.left = -1;
    entry.top = -2;
    entry.right = 3;
    entry.bottom = 4;
    return AppendPoint(&entry, ShapePoint{int16_t(xPhase), int16_t(yPhase), 1, 2, 3, 4}, 8);
}

double WeightSum(const SubShapeEntry& entry)
{
    double sum = 0;
    for (uint32_t i = 0; i < entry.pointCount; ++i)
        sum += PointsOf(entry)[i].weight / kOne;
    return sum;
}

class MeasureShapeTest : public DetectionFixture
{
protected:
    void SetUp() override
    {
        DetectionFixture::SetUp();
        ConfigureMeasureShapes();
        gBuilds = 0;
        gBuilderFails = false;
    }
    void TearDown() override
    {
        ClearShape(&scratch);
        DetectionFixture::TearDown();
    }

    const SubShapeEntry& Built(Shape* shape, int32_t xPhase, int32_t yPhase)
    {
        EXPECT_TRUE(EnsureSubShape(shape, xPhase, yPhase));
        return EntryFor(*shape, xPhase, yPhase);
    }

    // The weighted mean and deviation of the brightness under a shape, in double precision.
    void Reference(const SubShapeEntry& entry, const StarPosition& at, double* mean, double* deviation)
    {
        double sumW = 0, sumV = 0, sumSq = 0;
        const ImageBuffer& image = gDetection.image;
        for (int pass = 0; pass < 2; ++pass) {
            for (uint32_t i = 0; i < entry.pointCount; ++i) {
                const ShapePoint& p = PointsOf(entry)[i];
                const int32_t x = at.x + p.dx, y = at.y + p.dy;
                if (x < image.rect.left || x >= image.rect.right || y < image.rect.top || y >= image.rect.bottom)
                    continue;
                const PixelSample s = image.getPixel(&image, x, y);
                const double b = MeanOfThree(s.red, s.green, s.blue);
                if (pass == 0) {
                    sumW += p.weight;
                    sumV += b * p.weight;
                } else {
                    sumSq += (b - *mean) * (b - *mean) * p.weight;
                }
            }
            if (pass == 0)
                *mean = sumW > 0 ? sumV / sumW : 0;
        }
        *deviation = sumW > 0 ? std::sqrt(sumSq / sumW) : 0;
    }

    Shape scratch{};
};

} // namespace

TEST_F(MeasureShapeTest, PointsGrowByTheHintAndKeepTheirValues)
{
    SubShapeEntry& entry = scratch.entries[0];
    for (int16_t i = 0; i < 25; ++i)
        ASSERT_TRUE(AppendPoint(&entry, ShapePoint{i, int16_t(-i), 1, 2, 3, uint32_t(i)}, 10));
    EXPECT_EQ(entry.pointCount, 25u);
    EXPECT_EQ(entry.points.size, 30 * sizeof(ShapePoint)); // three steps of ten
    for (int16_t i = 0; i < 25; ++i) {
        EXPECT_EQ(PointsOf(entry)[i].dx, i);
        EXPECT_EQ(PointsOf(entry)[i].weight, uint32_t(i));
    }

    // Refused memory: the point is dropped, the user is told, and the host gets the allocator's code.
    for (int16_t i = 25; i < 30; ++i)
        ASSERT_TRUE(AppendPoint(&entry, ShapePoint{i, 0, 0, 0, 0, 0}, 10));
    TestHostMemory::RefuseAll() = true;
    EXPECT_FALSE(AppendPoint(&entry, ShapePoint{}, 10));
    EXPECT_EQ(entry.pointCount, 30u);
    EXPECT_EQ(ResultCode(), memFullErr);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "Unable to allocate memory for shape.");
}

TEST_F(MeasureShapeTest, PhasesAreBuiltOnceUntilInvalidatedAndClearingFreesEverything)
{
    EXPECT_FALSE(EnsureSubShape(&scratch, 0, 0)); // no builder
    const uint64_t before = CurrentBufferUsage();
    scratch.builder = CountingBuilder;
    for (int32_t phase = 0; phase < 16; ++phase)
        ASSERT_TRUE(EnsureSubShape(&scratch, phase / 4, phase % 4));
    ASSERT_TRUE(EnsureSubShape(&scratch, 2, 3));
    EXPECT_EQ(gBuilds, 16);
    EXPECT_EQ(PointsOf(EntryFor(scratch, 2, 3))[0].dx, 2);
    EXPECT_EQ(PointsOf(EntryFor(scratch, 2, 3))[0].dy, 3);

    // Invalidation keeps the blocks and the rectangles, and the next use rebuilds.
    const void* block = EntryFor(scratch, 1, 1).points.data;
    InvalidateShape(&scratch);
    EXPECT_EQ(EntryFor(scratch, 1, 1).pointCount, 0u);
    EXPECT_EQ(EntryFor(scratch, 1, 1).points.data, block);
    EXPECT_EQ(EntryFor(scratch, 1, 1).bottom, 4);
    ASSERT_TRUE(EnsureSubShape(&scratch, 1, 1));
    EXPECT_EQ(gBuilds, 17);
    EXPECT_EQ(EntryFor(scratch, 1, 1).points.data, block);

    InvalidateShape(&scratch);
    gBuilderFails = true;
    EXPECT_FALSE(EnsureSubShape(&scratch, 1, 1));

    ClearShape(&scratch);
    EXPECT_EQ(CurrentBufferUsage(), before);
    EXPECT_EQ(scratch.builder, nullptr);
    EXPECT_EQ(EntryFor(scratch, 1, 1).bottom, 0);
    EXPECT_FALSE(EnsureSubShape(&scratch, 1, 1));
}

TEST_F(MeasureShapeTest, DiscZeroHoldsThePixelNearestTheCentreExceptAtHalfPixelPhases)
{
    for (int32_t xPhase = 0; xPhase < 4; ++xPhase) {
        for (int32_t yPhase = 0; yPhase < 4; ++yPhase) {
            EnsureSubShape(&gDiscShape[0], xPhase, yPhase);
            const SubShapeEntry& entry = EntryFor(gDiscShape[0], xPhase, yPhase);
            if (xPhase == 2 || yPhase == 2) {
                // Every pixel is at least half a pixel away: nothing is inside radius 0 + 0.5.
                EXPECT_EQ(entry.pointCount, 0u) << xPhase << "," << yPhase;
                continue;
            }
            ASSERT_EQ(entry.pointCount, 1u) << xPhase << "," << yPhase;
            const ShapePoint& p = PointsOf(entry)[0];
            EXPECT_EQ(p.dx, xPhase == 3 ? 1 : 0);
            EXPECT_EQ(p.dy, yPhase == 3 ? 1 : 0);
            const double fx = p.dx - xPhase * 0.25, fy = p.dy - yPhase * 0.25;
            EXPECT_NEAR(p.weight / kOne, 0.5 - std::sqrt(fx * fx + fy * fy), 1e-6);
            EXPECT_GT(p.weight, 0u);
        }
    }
    EXPECT_EQ(PointsOf(EntryFor(gDiscShape[0], 0, 0))[0].weight, 0x80000000u);
}

TEST_F(MeasureShapeTest, DiscWeightsAddUpToItsAreaAndRingsStayInTheirBand)
{
    for (int32_t index : {8, 40, 101}) {
        const double r = index * 0.25;
        for (int32_t phase = 0; phase < 16; ++phase) {
            const int32_t xPhase = phase / 4, yPhase = phase % 4;
            const SubShapeEntry& disc = Built(&gDiscShape[index], xPhase, yPhase);
            EXPECT_NEAR(WeightSum(disc), 3.14159265 * r * r, 0.5 + 0.01 * 3.14159265 * r * r) << r;

            const SubShapeEntry& ring = Built(&gRingShape[index], xPhase, yPhase);
            ASSERT_GT(ring.pointCount, 0u);
            for (uint32_t i = 0; i < ring.pointCount; ++i) {
                const ShapePoint& p = PointsOf(ring)[i];
                const double d = std::hypot(p.dx - xPhase * 0.25, p.dy - yPhase * 0.25);
                EXPECT_GT(d + 0.564, r - 0.125) << r;
                EXPECT_LT(d - 0.564, r + 0.125) << r;
                EXPECT_TRUE(p.dx >= ring.left && p.dx < ring.right && p.dy >= ring.top && p.dy < ring.bottom);
                EXPECT_GT(p.weight, 0u);
            }
        }
    }
}

TEST_F(MeasureShapeTest, RingThatCoversNoPixelHoldsTheCentreAtQuarterWeight)
{
    const SubShapeEntry& empty = Built(&gRingShape[0], 2, 2);
    ASSERT_EQ(empty.pointCount, 1u);
    EXPECT_EQ(PointsOf(empty)[0].dx, 0);
    EXPECT_EQ(PointsOf(empty)[0].dy, 0);
    EXPECT_EQ(PointsOf(empty)[0].weight, 0x3FFFFFFFu);
    // At a whole-pixel centre the tiny ring covers the pixel across the centre.
    const SubShapeEntry& centred = Built(&gRingShape[0], 0, 0);
    ASSERT_EQ(centred.pointCount, 1u);
    EXPECT_NEAR(PointsOf(centred)[0].weight / kOne, 0.5 * 1.4142137, 1e-6);
}

TEST_F(MeasureShapeTest, MeasurementsMatchADoublePrecisionModelAndUseOnlyInsidePoints)
{
    StarfieldOptions options;
    options.width = 60;
    options.height = 50;
    options.seed = 3;
    options.starCount = 12;
    options.noise = 0.05;
    UseImage(RenderStarfield(options, GenerateStars(options)));
    gDetection.image = gInputImage;

    const StarPosition positions[] = {{30, 0, 25, 0}, {12, 3, 40, 1}, {0, 2, 0, 2}, {59, 1, 3, 3}, {-3, 0, 20, 0}};
    for (const StarPosition& at : positions) {
        for (int32_t index : {1, 6, 17, 40}) {
            for (Shape* shape : {&gRingShape[index], &gDiscShape[index]}) {
                const BrightnessMeasurement m = MeasureBrightness(shape, gDetection.image, at);
                ASSERT_TRUE(m.success);
                double mean, deviation;
                Reference(EntryFor(*shape, at.xPhase, at.yPhase), at, &mean, &deviation);
                // The mean keeps 16 bits above the fraction scale: it is low by less than 2 x 256.
                EXPECT_LE(double(m.mean), mean + 1.0) << at.x << "," << at.y << " index " << index;
                EXPECT_GE(double(m.mean), mean - 512.0) << at.x << "," << at.y << " index " << index;
                EXPECT_NEAR(m.deviation, deviation, 256.0 + deviation * 1e-4);
            }
        }
    }

    // Colour under a uniform patch reads back its value; the preview's truncated products read a little low.
    UseImage(UniformImage(30, 30, 0.8, 0.4, 0.1), kRgb32);
    gDetection.image = gInputImage;
    const PixelSample pixel = gInputImage.getPixel(&gInputImage, 15, 15);
    const ColourMeasurement precise = MeasureColour(&gRingShape[20], gDetection.image, StarPosition{15, 1, 15, 2});
    EXPECT_NEAR(double(precise.red), double(pixel.red), 512.0);
    EXPECT_NEAR(double(precise.blue), double(pixel.blue), 512.0);
    SetPreviewQuality();
    const ColourMeasurement preview = MeasureColour(&gRingShape[20], gDetection.image, StarPosition{15, 1, 15, 2});
    EXPECT_LT(preview.red, precise.red);
    EXPECT_NEAR(double(preview.red), double(pixel.red), double(pixel.red) * 0.003 + 512.0);
    SetFinalQuality();

    // Entirely outside the image: nothing to average.
    const BrightnessMeasurement outside = MeasureBrightness(&gRingShape[8], gDetection.image, StarPosition{-40, 0, 5, 0});
    EXPECT_TRUE(outside.success);
    EXPECT_EQ(outside.mean, 0u);
    EXPECT_EQ(outside.deviation, 0.0f);
    const ColourMeasurement none = MeasureColour(&gDiscShape[8], gDetection.image, StarPosition{5, 0, 90, 0});
    EXPECT_TRUE(none.success);
    EXPECT_EQ(none.red + none.green + none.blue, 0u);
}

TEST_F(MeasureShapeTest, OnlyShapeParametersAndQualityRebuildTheRenderShapes)
{
    FilterParameters parameters = kFactoryParameters;
    SetFinalQuality();
    RefreshRenderShapes(parameters);
    auto markBuilt = [] {
        gSpikeShape.entries[5].pointCount = 3;
        gFlareShape.entries[5].pointCount = 3;
    };
    auto built = [](const Shape& shape) { return shape.entries[5].pointCount != 0; };

    markBuilt();
    parameters.saturation = -40;
    parameters.intensity = 90;
    parameters.softFlareBrightness = 10;
    parameters.outputSpikesOnly = 1;
    EXPECT_FALSE(RefreshRenderShapes(parameters));
    EXPECT_TRUE(built(gSpikeShape));
    EXPECT_TRUE(built(gFlareShape));

    parameters.angle = 300;
    EXPECT_TRUE(RefreshRenderShapes(parameters));
    EXPECT_FALSE(built(gSpikeShape));
    EXPECT_TRUE(built(gFlareShape));

    for (int16_t FilterParameters::*field :
         {&FilterParameters::numberOfPoints, &FilterParameters::spikeSharpness, &FilterParameters::rainbowIntensity,
          &FilterParameters::rainbowFrequency, &FilterParameters::secondarySpikeIntensity}) {
        markBuilt();
        parameters.*field = int16_t(parameters.*field + 1);
        EXPECT_TRUE(RefreshRenderShapes(parameters));
        EXPECT_FALSE(built(gSpikeShape));
        EXPECT_TRUE(built(gFlareShape));
    }

    markBuilt();
    parameters.length = 70;
    EXPECT_TRUE(RefreshRenderShapes(parameters));
    EXPECT_FALSE(built(gSpikeShape));
    EXPECT_FALSE(built(gFlareShape));

    markBuilt();
    SetPreviewQuality();
    EXPECT_TRUE(RefreshRenderShapes(parameters));
    EXPECT_FALSE(built(gSpikeShape));
    EXPECT_FALSE(built(gFlareShape));
    markBuilt();
    EXPECT_FALSE(RefreshRenderShapes(parameters)); // the quality is remembered
    SetFinalQuality();
    EXPECT_TRUE(RefreshRenderShapes(parameters));
    EXPECT_FALSE(built(gSpikeShape));

    // After a release the first refresh of the next run always reports a change.
    ReleaseRenderShapes();
    EXPECT_TRUE(RefreshRenderShapes(parameters));
}

TEST_F(MeasureShapeTest, StarEffectRectangleIsTheUnionOfBothShapesAtTheStar)
{
    StarRecord star{100, 1, 50, 2, 4, 0, 0, 0, 0, kFractionOne, 0xFFFFFFFF};
    EXPECT_TRUE(IsEmptyRect(StarEffectRect(star)));

    SubShapeEntry& spike = EntryFor(gSpikeShape, 1, 2);
    spike.left = -30, spike.top = -2, spike.right = 31, spike.bottom = 3;
    EXPECT_EQ(StarEffectRect(star), (ImageRect{70, 48, 131, 53}));

    SubShapeEntry& flare = EntryFor(gFlareShape, 1, 2);
    flare.left = -5, flare.top = -6, flare.right = 6, flare.bottom = 7;
    spike.pointCount = 0; // invalidated shapes keep their rectangles
    EXPECT_EQ(StarEffectRect(star), (ImageRect{70, 44, 131, 57}));
    ReleaseRenderShapes();
}
