// File samples to the host's scale and back.
#include "CliTestSupport.h"
#include "tools/cli/HostMapping.h"

TEST(HostMapping, EveryHostValueSurvivesTheTripThroughA16BitFile)
{
    for (uint32_t h = 0; h <= 32768; ++h)
        ASSERT_EQ(HostFromFile16(FileFromHost16(uint16_t(h))), h) << "host value " << h;
    EXPECT_EQ(HostFromFile16(0), 0);
    EXPECT_EQ(HostFromFile16(65535), 32768);
    EXPECT_EQ(FileFromHost16(32768), 65535);
}

TEST(HostMapping, UnchangedSamplesKeepEvery16BitFileValue)
{
    // All 65536 values in one image; a document that comes back unchanged must restore each exactly,
    // although half of them share a host value with a neighbour.
    ImageFile image;
    image.width = 256;
    image.height = 256;
    image.colourChannels = 1;
    image.format = SampleFormat::U16;
    std::string error;
    ASSERT_TRUE(AllocatePixels(&image, &error));
    for (uint32_t v = 0; v < 65536; ++v)
        SamplesAs<uint16_t>(image)[v] = uint16_t(v);
    HostDocument document = DocumentFromImage(image);
    EXPECT_EQ(document.Mode(), plugInModeGray16);
    StoreDocumentInImage(document, &image);
    for (uint32_t v = 0; v < 65536; ++v)
        ASSERT_EQ(SamplesAs<uint16_t>(image)[v], v);

    // A sample the filter changed takes the scaled host value.
    document.SetSample(0, 1, 0, 16384.0);
    StoreDocumentInImage(document, &image);
    EXPECT_EQ(SamplesAs<uint16_t>(image)[1], 32768);
}

TEST(HostMapping, EightBitAndFloatSamplesCrossUnchangedInTheirModes)
{
    struct Case
    {
        SampleFormat format;
        int32_t colour;
        bool alpha;
        int16 mode;
    };
    for (const Case& c :
         {Case{SampleFormat::U8, 1, false, plugInModeGrayScale}, Case{SampleFormat::U8, 3, true, plugInModeRGBColor},
          Case{SampleFormat::F32, 1, true, plugInModeGray32}, Case{SampleFormat::F32, 3, false, plugInModeRGB96},
          Case{SampleFormat::U16, 3, true, plugInModeRGB48}}) {
        SCOPED_TRACE(std::string(SampleFormatName(c.format)) + " mode " + std::to_string(c.mode));
        ImageFile image = MakeTestImage(9, 5, c.colour, c.alpha, c.format, uint32_t(c.mode));
        HostDocument document = DocumentFromImage(image);
        EXPECT_EQ(document.Mode(), c.mode);
        EXPECT_EQ(document.HasTransparency(), c.alpha);
        // Planes in order: the last channel of a pixel is the transparency plane.
        const int32_t last = image.Channels() - 1;
        const size_t index = (size_t(2) * 9 + 4) * image.Channels() + last;
        double expected = c.format == SampleFormat::U8    ? SamplesAs<uint8_t>(image)[index]
                          : c.format == SampleFormat::F32 ? SamplesAs<float>(image)[index]
                                                          : HostFromFile16(SamplesAs<uint16_t>(image)[index]);
        EXPECT_EQ(document.Sample(last, 4, 2), expected);
        ImageFile copy = MakeTestImage(9, 5, c.colour, c.alpha, c.format, uint32_t(c.mode));
        StoreDocumentInImage(document, &copy);
        EXPECT_TRUE(SameImage(image, copy));
    }
}

TEST(HostMapping, SelectionImagesMustBeGreyAndOfTheDocumentsSize)
{
    HostDocument document(4, 3, plugInModeRGBColor);
    std::string error;
    ImageFile rgb = MakeTestImage(4, 3, 3, false, SampleFormat::U8, 1);
    EXPECT_FALSE(ApplySelectionImage(rgb, &document, &error));
    EXPECT_EQ(error, "the mask must be a grey image");
    ImageFile small = MakeTestImage(3, 3, 1, false, SampleFormat::U8, 1);
    EXPECT_FALSE(ApplySelectionImage(small, &document, &error));
    EXPECT_EQ(error, "the mask is 3 x 3, the image 4 x 3");
    EXPECT_FALSE(document.HasSelection());

    ImageFile mask = MakeTestImage(4, 3, 1, false, SampleFormat::U16, 1);
    SamplesAs<uint16_t>(mask)[0] = 65535;
    SamplesAs<uint16_t>(mask)[1] = 128; // rounds to 0
    SamplesAs<uint16_t>(mask)[2] = 129; // rounds to 1
    ASSERT_TRUE(ApplySelectionImage(mask, &document, &error)) << error;
    EXPECT_EQ(document.SelectionAt(0, 0), 255);
    EXPECT_EQ(document.SelectionAt(1, 0), 0);
    EXPECT_EQ(document.SelectionAt(2, 0), 1);
}
