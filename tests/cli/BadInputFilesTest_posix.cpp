// Input files the command line cannot use: each gives a message naming the file and the reason, exit
// status 2, and no output file (nor a temporary one) next to it.
#include <fstream>
#include <tiffio.h>
#include <zlib.h>

#include "CliTestSupport.h"
#include "tools/cli/ImageFormats.h"

namespace {

void WriteText(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A FITS primary header with the given cards (each padded to 80 columns) and no data.
std::string FitsHeader(const std::vector<std::string>& cards)
{
    std::string header;
    for (const std::string& card : cards)
        header += card + std::string(80 - card.size(), ' ');
    header += "END" + std::string(77, ' ');
    header.resize((header.size() + 2879) / 2880 * 2880, ' ');
    return header;
}

std::string FitsImageHeader(int bitpix, long width, long height)
{
    char cards[4][81];
    std::snprintf(cards[0], 81, "SIMPLE  = %20s", "T");
    std::snprintf(cards[1], 81, "BITPIX  = %20d", bitpix);
    std::snprintf(cards[2], 81, "NAXIS1  = %20ld", width);
    std::snprintf(cards[3], 81, "NAXIS2  = %20ld", height);
    return FitsHeader({cards[0], cards[1], "NAXIS   =                    2", cards[2], cards[3]});
}

// A PNG signature and IHDR chunk (with a correct CRC) for any size, followed by nothing.
std::string PngHeader(uint32_t width, uint32_t height)
{
    uint8_t chunk[17] = {'I', 'H', 'D', 'R'};
    for (int i = 0; i < 4; ++i) {
        chunk[4 + i] = uint8_t(width >> (24 - 8 * i));
        chunk[8 + i] = uint8_t(height >> (24 - 8 * i));
    }
    chunk[12] = 8; // bit depth, then grey, deflate, filter 0, no interlace
    uint32_t crc = uint32_t(crc32(0, chunk, 17));
    std::string bytes = "\x89PNG\r\n\x1a\n";
    bytes += std::string("\0\0\0\x0d", 4);
    bytes.append(reinterpret_cast<char*>(chunk), 17);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(char(crc >> (24 - 8 * i)));
    return bytes;
}

void WriteTiff(const std::string& path, uint32_t width, uint32_t height, uint16_t samples, uint16_t bits,
               uint16_t sampleFormat, uint16_t photometric)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, sampleFormat);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    std::vector<uint8_t> row(size_t(width) * samples * bits / 8 + 1, 0);
    for (uint32_t y = 0; y < height; ++y)
        TIFFWriteScanline(tif, row.data(), y, 0);
    TIFFClose(tif);
}

std::string Truncated(const std::string& path, double fraction)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.substr(0, size_t(double(bytes.size()) * fraction));
}

struct BadFile
{
    std::string name;
    std::string reason; // expected in the message
};

} // namespace

TEST(BadInputFiles, EachIsRefusedWithItsNameAndReasonAndLeavesNoOutput)
{
    ScratchFolder folder;
    ScratchFolder data;
    std::vector<BadFile> files;

    WriteText(folder / "empty.tif", "");
    files.push_back({"empty.tif", "empty file"});
    WriteText(folder / "text.png", "hello, this is not an image at all");
    files.push_back({"text.png", "unsupported format (not a TIFF, PNG or FITS file)"});

    // Truncated files of every format, cut inside the pixel data.
    ImageFile image = MakeTestImage(64, 48, 3, false, SampleFormat::U16, 5);
    std::string error;
    for (FileFormat format : {FileFormat::Tiff, FileFormat::Png, FileFormat::Fits}) {
        std::string whole = folder / "whole.tmpimage";
        ASSERT_TRUE(WriteImageFile(whole, format, image, &error)) << error;
        std::string name = std::string("cut-") + FileFormatName(format);
        WriteText(folder / name, Truncated(whole, 0.6));
        std::filesystem::remove(whole);
        files.push_back({name, format == FileFormat::Tiff ? "TIFF" : "truncated or damaged"});
    }

    WriteText(folder / "zero.fits", FitsImageHeader(8, 0, 0));
    files.push_back({"zero.fits", "image has no pixels (0 x 0)"});
    WriteText(folder / "zero.png", PngHeader(0, 0));
    files.push_back({"zero.png", "image has no pixels (0 x 0)"});
    WriteText(folder / "wide.fits", FitsImageHeader(8, 40000, 10));
    files.push_back({"wide.fits", "image larger than 32767 x 32767 (40000 x 10)"});
    WriteText(folder / "wide.png", PngHeader(40000, 10));
    files.push_back({"wide.png", "image larger than 32767 x 32767 (40000 x 10)"});
    WriteTiff(folder / "wide.tif", 40000, 10, 1, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_MINISBLACK);
    files.push_back({"wide.tif", "image larger than 32767 x 32767 (40000 x 10)"});

    WriteTiff(folder / "signed.tif", 8, 8, 1, 16, SAMPLEFORMAT_INT, PHOTOMETRIC_MINISBLACK);
    files.push_back({"signed.tif", "unsupported sample format (16-bit signed integer)"});
    WriteTiff(folder / "double.tif", 8, 8, 1, 64, SAMPLEFORMAT_IEEEFP, PHOTOMETRIC_MINISBLACK);
    files.push_back({"double.tif", "unsupported bit depth (64-bit float"});
    WriteTiff(folder / "twelve.tif", 8, 8, 1, 12, SAMPLEFORMAT_UINT, PHOTOMETRIC_MINISBLACK);
    files.push_back({"twelve.tif", "unsupported bit depth (12-bit"});
    WriteTiff(folder / "cmyk.tif", 8, 8, 4, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_SEPARATED);
    files.push_back({"cmyk.tif", "unsupported colour model (CMYK"});
    WriteText(folder / "int32.fits", FitsImageHeader(32, 8, 8) + std::string(2880, '\0'));
    files.push_back({"int32.fits", "unsupported bit depth (BITPIX 32"});
    WriteText(folder / "double.fits", FitsImageHeader(-64, 8, 8) + std::string(2880, '\0'));
    files.push_back({"double.fits", "unsupported bit depth (BITPIX -64"});

    for (const BadFile& file : files) {
        SCOPED_TRACE(file.name);
        std::string input = folder / file.name;
        std::string output = folder / "out.tif";
        ChildResult run = RunCorvane({"apply", input, output, "--points", "6"}, {data.Path().string()});
        EXPECT_EQ(run.status, 2) << run.errorText;
        EXPECT_NE(run.errorText.find("corvane: " + input + ": "), std::string::npos) << run.errorText;
        EXPECT_NE(run.errorText.find(file.reason), std::string::npos) << run.errorText;
        for (const std::string& name : folder.Files())
            EXPECT_EQ(name.find("out.tif"), std::string::npos) << name;
    }
}
