// A seeded starfield found and rendered at factory settings, compared with checksums stored when the
// result was last looked at and accepted; both builds must give the same values. After a deliberate
// change of the effect: look at the new pictures (corvane-render), then replace the checksums.
#include "RenderFixture.h"
#include "engine/StarDetection.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

using RenderGoldenTest = RenderFixture;

TEST_F(RenderGoldenTest, FactorySettingsGiveTheAcceptedPictures)
{
    struct Golden
    {
        int32_t mode;
        bool preview;      // rendered in preview quality, whose products depend on the order of their operands
        uint64_t checksum; // FNV-1a of the result's colour planes
    };
    for (const Golden golden : {Golden{kModeRgb8, false, 0x956618560f41a67dull},
                                {kModeRgb16, false, 0xa60cf3c592af0d5bull},
                                {kModeRgb16, true, 0x5cc321bd34e9d65eull}}) {
        SCOPED_TRACE(std::to_string(golden.mode) + (golden.preview ? " preview" : ""));
        const StarfieldOptions options{320, 240, 424242, 70}; // width, height, seed, stars
        const ImageRect rect{0, 0, 320, 240};
        ASSERT_EQ(noErr, AllocateImageBuffer(&input, rect, golden.mode, PlaneCounts{3, 0, 0, 0, 0}, true));
        std::memset(input.mask.data, 255, size_t(input.pixelCount));
        WriteToImageBuffer(RenderStarfield(options, GenerateStars(options)), &input);
        ResetEngine();
        while (FindStars(input) == WorkStatus::Interrupted) {
        }
        EXPECT_EQ(gStarList.starCount, 52u);
        if (golden.preview)
            gQuality = PreviewQuality();

        // Tiles smaller than the image, so that stars cross tile edges.
        ImageBuffer* result = MakeImage(rect, golden.mode);
        for (int32_t top = 0; top < rect.bottom; top += 128)
            for (int32_t left = 0; left < rect.right; left += 128) {
                const ImageRect tile{left, top, std::min(left + 128, rect.right), std::min(top + 128, rect.bottom)};
                ASSERT_TRUE(RenderEffect(Inputs(), &input, tile, result, tile) == WorkStatus::Done);
            }
        const std::vector<uint8_t> bytes = PlaneBytes(result);
        const uint64_t checksum = Fnv1a(bytes.data(), bytes.size());
        EXPECT_EQ(checksum, golden.checksum) << "0x" << std::hex << checksum;
        ResetEngine();
        FreeImageBuffer(&input);
    }
}

} // namespace
