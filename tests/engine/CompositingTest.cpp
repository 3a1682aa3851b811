#include "engine/Compositing.h"
#include "RenderFixture.h"
#include "engine/StampShape.h"
#include "image/PixelAccess.h"

namespace {

using CompositingTest = RenderFixture;

// The mode's own procedures behind wrappers: a buffer that calls these is stamped point by point
// through getPixel, BlendPixelWith and putPixel, as every buffer was before the direct way existed.
PixelProcs gWrappedProcs;

PixelSample GetThroughWrapper(const ImageBuffer* buffer, int32_t x, int32_t y)
{
    return gWrappedProcs.getPixel(buffer, x, y);
}

void PutThroughWrapper(ImageBuffer* buffer, const PixelSample& sample, int32_t x, int32_t y)
{
    gWrappedProcs.putPixel(buffer, sample, x, y);
}

// Samples the readers clamp: host values above full scale, and floats below 0, above 1 and NaN.
void AddOutOfRangeSamples(ImageBuffer* image, uint32_t seed)
{
    std::mt19937 random(seed);
    const size_t samples = size_t(image->pixelCount) * size_t(image->layerPlanes);
    for (int k = 0; k < 40; ++k) {
        uint8_t* sample = static_cast<uint8_t*>(image->image.data) + random() % samples * size_t(image->bytesPerSample);
        const uint16_t deep = uint16_t(32768 + random() % 32768);
        const float floats[] = {-0.25f, 1.0f, 7.5f, std::nanf("")};
        if (image->bytesPerSample == 1)
            *sample = 255;
        else
            std::memcpy(sample, image->bytesPerSample == 2 ? static_cast<const void*>(&deep) : &floats[k % 4],
                        size_t(image->bytesPerSample));
    }
}

// The slow model of the copy: a destination pixel left of and above the destination rectangle's far
// edges takes the source pixel at the same offset when that lies in the source rectangle and image.
std::vector<uint8_t> ModelCopy(const ImageBuffer* source, const std::vector<uint8_t>& from, const ImageRect& sourceRect,
                               const ImageBuffer* dest, std::vector<uint8_t> to, const ImageRect& destRect)
{
    const ImageRect inside = IntersectRect(sourceRect, source->rect);
    const size_t bytes = size_t(dest->bytesPerSample);
    for (int32_t y = dest->rect.top; y < std::min(dest->rect.bottom, destRect.bottom); ++y)
        for (int32_t x = dest->rect.left; x < std::min(dest->rect.right, destRect.right); ++x) {
            const int32_t sx = x - destRect.left + sourceRect.left, sy = y - destRect.top + sourceRect.top;
            if (sx < inside.left || sx >= inside.right || sy < inside.top || sy >= inside.bottom)
                continue;
            for (int32_t p = 0; p < dest->layerPlanes + dest->transparencyPlanes; ++p)
                std::memcpy(
                    &to[(size_t(p) * size_t(dest->pixelCount) + size_t(y - dest->rect.top) * size_t(dest->width) +
                         size_t(x - dest->rect.left)) *
                        bytes],
                    &from[(size_t(p) * size_t(source->pixelCount) +
                           size_t(sy - source->rect.top) * size_t(source->width) + size_t(sx - source->rect.left)) *
                          bytes],
                    bytes);
        }
    return to;
}

TEST_F(CompositingTest, CopyMatchesTheModelOnSeededRectanglesOverlapsAndUnlikeBuffers)
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int32_t> coordinate(-20, 70);
    auto randomRect = [&]() {
        const int32_t a = coordinate(random), b = coordinate(random), c = coordinate(random), d = coordinate(random);
        return ImageRect{std::min(a, b), std::min(c, d), std::max(a, b) + 1, std::max(c, d) + 1};
    };
    ImageBuffer* source = MakeImage(ImageRect{10, 5, 50, 37}, kModeRgb16, true, true, 2);
    ImageBuffer* dest = MakeImage(ImageRect{-7, 12, 29, 60}, kModeRgb16, true, true, 3);
    const std::vector<uint8_t> mask(static_cast<uint8_t*>(dest->mask.data),
                                    static_cast<uint8_t*>(dest->mask.data) + dest->pixelCount);
    for (int trial = 0; trial < 300; ++trial) {
        FillNoise(dest, uint32_t(trial + 10));
        std::memcpy(dest->mask.data, mask.data(), mask.size());
        const ImageRect sourceRect = randomRect(), destRect = randomRect();
        const std::vector<uint8_t> expected =
            ModelCopy(source, PlaneBytes(source), sourceRect, dest, PlaneBytes(dest), destRect);
        ASSERT_TRUE(CopyImageRect(source, sourceRect, dest, destRect));
        ASSERT_EQ(PlaneBytes(dest), expected) << "trial " << trial;
        ASSERT_EQ(std::memcmp(dest->mask.data, mask.data(), mask.size()), 0) << "the mask is never copied";
    }

    // Unlike buffers are refused untouched.
    ImageBuffer* rgb8 = MakeImage(ImageRect{10, 5, 50, 37}, kModeRgb8, true);
    const std::vector<uint8_t> before = PlaneBytes(rgb8);
    EXPECT_FALSE(CopyImageRect(source, source->rect, rgb8, rgb8->rect));
    EXPECT_EQ(EngineFailure(), -50);
    EXPECT_EQ(PlaneBytes(rgb8), before);

    // Within one buffer, in every direction.
    ImageBuffer* image = MakeImage(ImageRect{0, 0, 23, 17}, kModeGray8);
    for (const auto& [dx, dy] : {std::pair{1, 1}, {-1, -1}, {3, 0}, {-3, 0}, {0, 2}, {2, -2}}) {
        const std::vector<uint8_t> before = PlaneBytes(image);
        const ImageRect from{2, 2, 20, 15}, to{2 + dx, 2 + dy, 20 + dx, 15 + dy};
        ASSERT_TRUE(CopyImageRect(image, from, image, to));
        EXPECT_EQ(PlaneBytes(image), ModelCopy(image, before, from, image, before, to)) << dx << "," << dy;
    }
}

// A small shape in row order whose neighbouring points differ in one colour channel at a time, with two
// points on some pixels.
bool BuildPatchShape(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    SubShapeEntry& entry = EntryFor(*shape, xPhase, yPhase);
    entry = SubShapeEntry{0, -8, -6, 9, 7, entry.points};
    for (int16_t dy = -6; dy <= 6; ++dy)
        for (int16_t dx = -8; dx <= 8; ++dx)
            for (int copy = 0; copy < (((dx + dy + xPhase) & 3) == 0 ? 2 : 1); ++copy) {
                const uint32_t weight = 0x00100000u * uint32_t(1 + (dx * 7 + dy * 3 + yPhase + copy) % 19 + 19);
                const ShapePoint point{dx,
                                       dy,
                                       dy % 2 == 0 ? kFractionOne : 0xC0000000u,
                                       dx / 2 % 2 == 0 ? kFractionOne : 0x50000000u,
                                       dx % 2 == 0 ? 0x90000000u : kFractionOne,
                                       weight};
                if (!AppendPoint(&entry, point, 256))
                    return false;
            }
    return true;
}

// The direct stamp against the procedures, for every mode and both qualities: spike, flare and patch
// stars in every phase on and around the buffer's edges, stamping rectangles that reach beyond it
// (where the procedures read clamped pixels and drop the writes), transparency and selection (which
// must stay as they are), out-of-range samples, and saturation pulling either way.
TEST_F(CompositingTest, DirectStampMatchesTheProceduresInEveryModeAndQuality)
{
    std::mt19937 random(20241017);
    auto between = [&random](int32_t low, int32_t high) { return low + int32_t(random() % uint32_t(high - low)); };
    auto fraction = [&random]() {
        const uint32_t r = random();
        return r % 5 == 0 ? kFractionOne : r % 7 == 0 ? 0u : r % kFractionOne;
    };
    const ImageRect rect{-7, 4, 53, 45};
    parameters.angle = 137;
    Shape patch{};
    patch.builder = BuildPatchShape;
    for (const int32_t mode : {1, 3, 10, 11, 16, 17})
        for (const bool preview : {false, true})
            for (const bool layered : {false, true}) {
                ImageBuffer direct{}, reference{};
                for (ImageBuffer* image : {&direct, &reference}) {
                    const PlaneCounts counts{3, layered ? 1 : 0, 0, 0, 0};
                    ASSERT_EQ(noErr, AllocateImageBuffer(image, rect, mode, counts, layered));
                    FillNoise(image, uint32_t(mode));
                    AddOutOfRangeSamples(image, uint32_t(mode));
                }
                gWrappedProcs = SelectPixelProcs(mode);
                reference.getPixel = GetThroughWrapper;
                reference.putPixel = PutThroughWrapper;
                ASSERT_TRUE(HasModePixelProcs(direct) && !HasModePixelProcs(reference));
                const std::vector<uint8_t> before = PlaneBytes(&direct);
                gQuality = preview ? PreviewQuality() : FinalQuality(direct.bitsPerSample);
                RefreshShapes();

                for (int trial = 0; trial < 40; ++trial) {
                    Shape* shape = trial % 3 == 0   ? &gRenderShapes.flare
                                   : trial % 3 == 1 ? &patch
                                                    : &gRenderShapes.spike;
                    const StarPosition at{between(-40, 100), between(0, 4), between(-30, 80), between(0, 4)};
                    const PixelSample colour{fraction(), fraction(), fraction(), fraction(), 0};
                    const int32_t saturation = trial % 4 == 0 ? 0 : between(-100, 101);
                    const int32_t left = between(-20, 40), top = between(-10, 30);
                    const ImageRect destRect{left, top, left + between(1, 70), top + between(1, 60)};
                    ASSERT_TRUE(StampShape(&direct, destRect, shape, colour, at, saturation));
                    ASSERT_TRUE(StampShape(&reference, destRect, shape, colour, at, saturation));
                    ASSERT_TRUE(PlaneBytes(&direct) == PlaneBytes(&reference) &&
                                (!layered ||
                                 std::memcmp(direct.mask.data, reference.mask.data, size_t(direct.pixelCount)) == 0))
                        << "mode " << mode << (preview ? " preview" : " final") << (layered ? " layered" : "")
                        << ", trial " << trial << ": "
                        << (shape == &gRenderShapes.flare ? "flare"
                            : shape == &patch             ? "patch"
                                                          : "spike")
                        << " at {" << at.x << ", " << at.xPhase << ", " << at.y << ", " << at.yPhase << "}, colour {"
                        << colour.red << ", " << colour.green << ", " << colour.blue << ", " << colour.alpha
                        << "}, saturation " << saturation << ", rectangle {" << destRect.left << ", " << destRect.top
                        << ", " << destRect.right << ", " << destRect.bottom << "}";
                }
                EXPECT_NE(PlaneBytes(&direct), before) << "the stars must have drawn something";
                FreeImageBuffer(&direct);
                FreeImageBuffer(&reference);
            }
    ClearShape(&patch);
}

TEST_F(CompositingTest, StampRefusesAShapeWithoutPointsOnlyWhereItWouldDraw)
{
    ImageBuffer* image = MakeImage(ImageRect{0, 0, 40, 30}, kModeRgb8);
    Shape broken{}; // claims points but holds none, as a damaged shape would
    broken.entries[0] = SubShapeEntry{5, -2, -2, 3, 3, BufferRecord{}};
    const PixelSample colour{kFractionOne, kFractionOne, kFractionOne, kFractionOne, 0};
    EXPECT_TRUE(StampShape(image, image->rect, &broken, colour, StarPosition{100, 0, 100, 0}, 30));
    EXPECT_FALSE(StampShape(image, image->rect, &broken, colour, StarPosition{20, 0, 15, 0}, 30));
}

} // namespace
