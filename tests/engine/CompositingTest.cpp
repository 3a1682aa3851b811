#include "engine/Compositing.h"
#include "RenderFixture.h"
#include "engine/StampShape.h"

namespace {

using CompositingTest = RenderFixture;

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
