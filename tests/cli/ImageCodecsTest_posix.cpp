// The file codecs: what is written reads back the same, in every format, depth and channel layout,
// and the layouts other programs write (planar, tiled, bottom-up FITS) arrive the right way round.
#include <fitsio.h>
#include <tiffio.h>

#include "CliTestSupport.h"
#include "tools/cli/ImageFormats.h"

namespace {

struct Layout
{
    FileFormat file;
    SampleFormat sample;
    int32_t colour;
    bool alpha;
};

std::string Describe(const Layout& l)
{
    return std::string(FileFormatName(l.file)) + " " + SampleFormatName(l.sample) + (l.colour == 3 ? " RGB" : " grey") +
           (l.alpha ? "+alpha" : "");
}

ImageFile ReadBack(const std::string& path, FileFormat expected)
{
    ImageFile image;
    FileFormat format;
    std::string error;
    EXPECT_TRUE(ReadImageFile(path, &image, &format, &error)) << path << ": " << error;
    EXPECT_EQ(format, expected);
    return image;
}

} // namespace

TEST(ImageCodecs, EveryFormatDepthAndLayoutRoundTripsExactly)
{
    ScratchFolder folder;
    std::vector<Layout> layouts;
    for (SampleFormat sample : {SampleFormat::U8, SampleFormat::U16, SampleFormat::F32})
        for (int32_t colour : {1, 3})
            for (bool alpha : {false, true}) {
                layouts.push_back({FileFormat::Tiff, sample, colour, alpha});
                if (sample != SampleFormat::F32)
                    layouts.push_back({FileFormat::Png, sample, colour, alpha});
                if (!alpha)
                    layouts.push_back({FileFormat::Fits, sample, colour, alpha});
            }
    uint32_t seed = 1;
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(Describe(layout));
        // Odd sides catch row-padding and stride mistakes.
        ImageFile image = MakeTestImage(37, 23, layout.colour, layout.alpha, layout.sample, seed++);
        if (layout.file != FileFormat::Fits)
            image.iccProfile = MakeIccProfile(layout.colour);
        std::string path = folder / ("image" + std::to_string(seed));
        std::string error;
        ASSERT_TRUE(WriteImageFile(path, layout.file, image, &error)) << error;
        ImageFile back = ReadBack(path, layout.file);
        EXPECT_TRUE(SameImage(image, back));
        EXPECT_EQ(back.iccProfile, image.iccProfile);
    }
}

TEST(ImageCodecs, FitsKeepsTheFirstRowAtTheBottomAndUnsigned16BitWithBzero)
{
    ScratchFolder folder;
    ImageFile image = MakeTestImage(5, 4, 1, false, SampleFormat::U16, 3);
    SamplesAs<uint16_t>(image)[0] = 65535; // top-left as a viewer shows it
    std::string path = folder / "rows.fits";
    std::string error;
    ASSERT_TRUE(WriteImageFile(path, FileFormat::Fits, image, &error)) << error;

    int status = 0;
    fitsfile* fits = nullptr;
    ASSERT_EQ(fits_open_diskfile(&fits, path.c_str(), READONLY, &status), 0);
    int bitpix = 0;
    fits_get_img_type(fits, &bitpix, &status);
    double bzero = 0;
    fits_read_key(fits, TDOUBLE, "BZERO", &bzero, nullptr, &status);
    long first[2] = {1, 4}; // FITS row 4 is the top row of the picture
    unsigned short value = 0;
    fits_read_pix(fits, TUSHORT, first, 1, nullptr, &value, nullptr, &status);
    fits_close_file(fits, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bitpix, SHORT_IMG);
    EXPECT_EQ(bzero, 32768.0);
    EXPECT_EQ(value, 65535);
}

TEST(ImageCodecs, TiffPlanarAndTiledLayoutsReadAsInterleaved)
{
    ScratchFolder folder;
    ImageFile image = MakeTestImage(40, 19, 3, true, SampleFormat::U16, 11);
    const int32_t channels = 4;
    for (bool tiled : {false, true}) {
        SCOPED_TRACE(tiled ? "tiled, planar" : "strips, planar");
        std::string path = folder / (tiled ? "tiled.tif" : "planar.tif");
        TIFF* tif = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(tif, nullptr);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 40u);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 19u);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(channels));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(16));
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
        uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), &kind);
        const uint16_t* samples = SamplesAs<uint16_t>(image);
        if (tiled) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
            std::vector<uint16_t> tile(16 * 16);
            for (int32_t plane = 0; plane < channels; ++plane)
                for (uint32_t ty = 0; ty < 19; ty += 16)
                    for (uint32_t tx = 0; tx < 40; tx += 16) {
                        std::fill(tile.begin(), tile.end(), 0);
                        for (uint32_t y = ty; y < std::min(ty + 16, 19u); ++y)
                            for (uint32_t x = tx; x < std::min(tx + 16, 40u); ++x)
                                tile[(y - ty) * 16 + (x - tx)] = samples[(y * 40 + x) * channels + plane];
                        ASSERT_GE(TIFFWriteTile(tif, tile.data(), tx, ty, 0, uint16_t(plane)), 0);
                    }
        } else {
            std::vector<uint16_t> row(40);
            for (int32_t plane = 0; plane < channels; ++plane)
                for (uint32_t y = 0; y < 19; ++y) {
                    for (uint32_t x = 0; x < 40; ++x)
                        row[x] = samples[(y * 40 + x) * channels + plane];
                    ASSERT_GE(TIFFWriteScanline(tif, row.data(), y, uint16_t(plane)), 0);
                }
        }
        TIFFClose(tif);
        EXPECT_TRUE(SameImage(image, ReadBack(path, FileFormat::Tiff)));
    }
}
