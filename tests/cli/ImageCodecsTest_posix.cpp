// The file codecs: what is written reads back the same, in every format, depth and channel layout,
// and the layouts other programs write (planar, tiled, bottom-up FITS) arrive the right way round.
#include <fitsio.h>
#include <tiffio.h>

#include "CliTestSupport.h"

TEST(ImageCodecs, EveryFormatDepthAndLayoutRoundTripsExactly)
{
    ScratchFolder folder;
    std::vector<FileLayout> layouts;
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
    for (const FileLayout& layout : layouts) {
        SCOPED_TRACE(Describe(layout));
        // Odd sides catch row-padding and stride mistakes.
        ImageFile image = MakeTestImage(37, 23, layout.colour, layout.alpha, layout.sample, seed++);
        if (layout.file != FileFormat::Fits)
            image.iccProfile = MakeIccProfile(layout.colour);
        std::string path = folder / ("image" + std::to_string(seed));
        Write(path, layout.file, image);
        FileFormat format;
        ImageFile back = ReadBack(path, &format);
        EXPECT_EQ(format, layout.file);
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
    Write(path, FileFormat::Fits, image);

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
    const ImageFile image = MakeTestImage(40, 19, 3, true, SampleFormat::U16, 11);
    const uint16_t* samples = SamplesAs<uint16_t>(image);
    for (const uint32_t tile : {0u, 16u}) {
        SCOPED_TRACE(tile ? "tiled, planar" : "strips, planar");
        const std::string path = folder / (tile ? "tiled.tif" : "planar.tif");
        TIFF* tif = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(tif, nullptr);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 40u);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 19u);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(4));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(16));
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
        uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), &kind);
        if (tile != 0) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, tile);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, tile);
        }
        // Each plane in blocks: 16 x 16 tiles, padded with zeros past the image, or rows.
        const uint32_t width = tile != 0 ? tile : 40, height = tile != 0 ? tile : 1;
        std::vector<uint16_t> block(width * height);
        for (uint16_t plane = 0; plane < 4; ++plane)
            for (uint32_t top = 0; top < 19; top += height)
                for (uint32_t left = 0; left < 40; left += width) {
                    for (uint32_t y = 0; y < height; ++y)
                        for (uint32_t x = 0; x < width; ++x)
                            block[y * width + x] =
                                left + x < 40 && top + y < 19 ? samples[((top + y) * 40 + left + x) * 4 + plane] : 0;
                    ASSERT_GE(tile != 0 ? TIFFWriteTile(tif, block.data(), left, top, 0, plane)
                                        : TIFFWriteScanline(tif, block.data(), top, plane),
                              0);
                }
        TIFFClose(tif);
        EXPECT_TRUE(SameImage(image, ReadBack(path)));
    }
}

// A TIFF is written back with the compression it came with where that is lossless; anything else, and
// an image that never was a TIFF, gets deflate with the predictor that suits its samples.
TEST(ImageCodecs, TiffOutputKeepsTheInputsLosslessCompression)
{
    struct Case
    {
        SampleFormat sample;
        uint16_t compression, predictor; // as read from the input; 0 for an input that was not a TIFF
        uint16_t written, writtenPredictor;
    };
    const Case cases[] = {
        {SampleFormat::U16, COMPRESSION_NONE, 0, COMPRESSION_NONE, 0},
        {SampleFormat::U8, COMPRESSION_LZW, PREDICTOR_HORIZONTAL, COMPRESSION_LZW, PREDICTOR_HORIZONTAL},
        {SampleFormat::U16, COMPRESSION_PACKBITS, 0, COMPRESSION_PACKBITS, 0},
        {SampleFormat::F32, COMPRESSION_ZSTD, PREDICTOR_FLOATINGPOINT, COMPRESSION_ZSTD, PREDICTOR_FLOATINGPOINT},
        {SampleFormat::U8, COMPRESSION_JPEG, 0, COMPRESSION_ADOBE_DEFLATE, PREDICTOR_HORIZONTAL},
        {SampleFormat::F32, 0, 0, COMPRESSION_ADOBE_DEFLATE, PREDICTOR_FLOATINGPOINT},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.compression) + " " + SampleFormatName(c.sample));
        ImageFile image = MakeTestImage(33, 20, 3, false, c.sample, c.compression + 1u);
        image.tiffCompression = c.compression;
        image.tiffPredictor = c.predictor;
        const std::string path = folder / "out.tif";
        Write(path, FileFormat::Tiff, image);
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(tif, nullptr);
        uint16_t compression = 0, predictor = 0;
        TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tif, TIFFTAG_PREDICTOR, &predictor);
        TIFFClose(tif);
        EXPECT_EQ(compression, c.written);
        EXPECT_EQ(predictor, c.writtenPredictor);
        const ImageFile back = ReadBack(path);
        EXPECT_TRUE(SameImage(image, back));
        EXPECT_EQ(back.tiffCompression, c.written); // what the next write keeps
    }
}
