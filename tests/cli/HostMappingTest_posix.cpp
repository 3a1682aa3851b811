// File samples to the host's scale and back.
#include "CliTestSupport.h"
#include "tools/cli/HostMapping.h"

// Every host value survives a 16-bit file, and a document that comes back unchanged restores each of
// the 65536 file values exactly, although half of them share a host value with a neighbour.
TEST(HostMapping, SixteenBitFileValuesSurviveTheTripThroughTheHostScale)
{
    for (uint32_t h = 0; h <= 32768; ++h)
        ASSERT_EQ(HostFromFile16(FileFromHost16(uint16_t(h))), h) << "host value " << h;
    EXPECT_EQ(HostFromFile16(65535), 32768);
    EXPECT_EQ(FileFromHost16(32768), 65535);

    ImageFile image = MakeTestImage(256, 256, 1, false, SampleFormat::U16, 1);
    for (uint32_t v = 0; v < 65536; ++v)
        SamplesAs<uint16_t>(image)[v] = uint16_t(v);
    HostDocument document = DocumentFromImage(image);
    StoreDocumentInImage(document, &image);
    for (uint32_t v = 0; v < 65536; ++v)
        ASSERT_EQ(SamplesAs<uint16_t>(image)[v], v);
    // A sample the filter changed takes the scaled host value.
    document.SetSample(0, 1, 0, 16384.0);
    StoreDocumentInImage(document, &image);
    EXPECT_EQ(SamplesAs<uint16_t>(image)[1], 32768);
}

// Floats outside 0..1 reach the host clamped (NaN as 0) and, where the host value is left alone, come
// back as they were, bit for bit; a changed sample takes the host's value.
TEST(HostMapping, FloatSamplesOutsideTheHostRangeAreClampedThereAndKeptHere)
{
    const float values[8] = {-5.0f, 2.5f, NAN, INFINITY, -INFINITY, -0.0f, 0.25f, 1000.0f};
    const double host[8] = {0.0, 1.0, 0.0, 1.0, 0.0, 0.0, 0.25, 1.0};
    ImageFile image = MakeTestImage(8, 1, 1, false, SampleFormat::F32, 1);
    std::memcpy(image.pixels.get(), values, sizeof values);
    EXPECT_EQ(CountClampedSamples(image), 6u);
    HostDocument document = DocumentFromImage(image);
    for (int32_t x = 0; x < 8; ++x)
        EXPECT_EQ(document.Sample(0, x, 0), host[x]) << "sample " << x;
    StoreDocumentInImage(document, &image);
    EXPECT_EQ(std::memcmp(image.pixels.get(), values, sizeof values), 0);

    document.SetSample(0, 1, 0, 0.5);
    document.SetSample(0, 2, 0, 0.75);
    StoreDocumentInImage(document, &image);
    EXPECT_EQ(SamplesAs<float>(image)[1], 0.5f);
    EXPECT_EQ(SamplesAs<float>(image)[2], 0.75f);
    EXPECT_EQ(std::memcmp(SamplesAs<float>(image) + 3, values + 3, 5 * sizeof(float)), 0);
}

// Each layout gets its mode; the last channel of a pixel is the transparency plane.
TEST(HostMapping, FileLayoutsBecomeTheirModesWithTransparencyLast)
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
          Case{SampleFormat::U16, 1, false, plugInModeGray16}, Case{SampleFormat::U16, 3, true, plugInModeRGB48}}) {
        SCOPED_TRACE(c.mode);
        const ImageFile image = MakeTestImage(9, 5, c.colour, c.alpha, c.format, uint32_t(c.mode));
        const HostDocument document = DocumentFromImage(image);
        EXPECT_EQ(document.Mode(), c.mode);
        EXPECT_EQ(document.HasTransparency(), c.alpha);
        const int32_t last = image.Channels() - 1;
        const size_t index = (size_t(2) * 9 + 4) * image.Channels() + last;
        const double expected = c.format == SampleFormat::U8    ? SamplesAs<uint8_t>(image)[index]
                                : c.format == SampleFormat::F32 ? SamplesAs<float>(image)[index]
                                                                : HostFromFile16(SamplesAs<uint16_t>(image)[index]);
        EXPECT_EQ(document.Sample(last, 4, 2), expected);
    }
}

TEST(HostMapping, SelectionImagesMustBeGreyAndOfTheDocumentsSize)
{
    HostDocument document(4, 3, plugInModeRGBColor);
    std::string error;
    EXPECT_FALSE(ApplySelectionImage(MakeTestImage(4, 3, 3, false, SampleFormat::U8, 1), &document, &error));
    EXPECT_EQ(error, "the mask must be a grey image");
    EXPECT_FALSE(ApplySelectionImage(MakeTestImage(3, 3, 1, false, SampleFormat::U8, 1), &document, &error));
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
