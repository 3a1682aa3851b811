// Input files the command line cannot use: each gives a message naming the file and the reason, exit
// status 2, and no output file (nor a temporary one) next to it.
#include <fstream>
#include <sys/stat.h>
#include <tiffio.h>
#include <zlib.h>

#include "CliTestSupport.h"
#include "tools/cli/ImageFormats.h"

namespace {

void WriteText(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A FITS primary header of an image, padded to its 2880-byte block; no data.
std::string FitsImageHeader(int bitpix, long width, long height)
{
    char cards[6][81];
    std::snprintf(cards[0], 81, "SIMPLE  = %20s", "T");
    std::snprintf(cards[1], 81, "BITPIX  = %20d", bitpix);
    std::snprintf(cards[2], 81, "NAXIS   = %20d", 2);
    std::snprintf(cards[3], 81, "NAXIS1  = %20ld", width);
    std::snprintf(cards[4], 81, "NAXIS2  = %20ld", height);
    std::snprintf(cards[5], 81, "END");
    std::string header;
    for (const char* card : cards)
        header += card + std::string(80 - std::strlen(card), ' ');
    return header + std::string(2880 - header.size(), ' ');
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

} // namespace

TEST(BadInputFiles, EachIsRefusedWithItsNameAndReasonAndLeavesNoOutput)
{
    ScratchFolder folder;
    ScratchFolder data;
    std::vector<std::pair<std::string, std::string>> files; // name, the reason the message gives
    auto bad = [&](const std::string& name, const std::string& reason) {
        files.push_back({name, reason});
        return folder / name;
    };
    WriteText(bad("empty.tif", "empty file"), "");
    WriteText(bad("text.png", "unsupported format (not a TIFF, PNG or FITS file)"),
              "hello, this is not an image at all");

    // Truncated files of every format, cut inside the pixel data.
    ImageFile image = MakeTestImage(64, 48, 3, false, SampleFormat::U16, 5);
    for (FileFormat format : {FileFormat::Tiff, FileFormat::Png, FileFormat::Fits}) {
        const std::string whole = folder / "whole.tmpimage";
        Write(whole, format, image);
        WriteText(bad(std::string("cut-") + FileFormatName(format),
                      format == FileFormat::Tiff ? "TIFF" : "truncated or damaged"),
                  Truncated(whole, 0.6));
        std::filesystem::remove(whole);
    }

    const std::string empty = "image has no pixels (0 x 0)", wide = "image larger than 32767 x 32767 (40000 x 10)";
    WriteText(bad("zero.fits", empty), FitsImageHeader(8, 0, 0));
    WriteText(bad("zero.png", empty), PngHeader(0, 0));
    WriteText(bad("wide.fits", wide), FitsImageHeader(8, 40000, 10));
    WriteText(bad("wide.png", wide), PngHeader(40000, 10));
    WriteTiff(bad("wide.tif", wide), 40000, 10, 1, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_MINISBLACK);
    // Two blocks claiming 4 GB: refused before memory is set aside or the data is looked for.
    WriteText(bad("huge.fits", "the header claims 32767 x 32767 x 1 samples in 4294705156 bytes; the file holds 2880"),
              FitsImageHeader(-32, 32767, 32767) + std::string(2880, '\0'));
    // A pipe without a writer would block the run for ever.
    ASSERT_EQ(mkfifo(bad("pipe.tif", "not a regular file").c_str(), 0644), 0);

    WriteTiff(bad("signed.tif", "unsupported sample format (16-bit signed integer)"), 8, 8, 1, 16, SAMPLEFORMAT_INT,
              PHOTOMETRIC_MINISBLACK);
    WriteTiff(bad("double.tif", "unsupported bit depth (64-bit float"), 8, 8, 1, 64, SAMPLEFORMAT_IEEEFP,
              PHOTOMETRIC_MINISBLACK);
    WriteTiff(bad("twelve.tif", "unsupported bit depth (12-bit"), 8, 8, 1, 12, SAMPLEFORMAT_UINT,
              PHOTOMETRIC_MINISBLACK);
    WriteTiff(bad("cmyk.tif", "unsupported colour model (CMYK"), 8, 8, 4, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_SEPARATED);
    WriteText(bad("int32.fits", "unsupported bit depth (BITPIX 32"),
              FitsImageHeader(32, 8, 8) + std::string(2880, '\0'));
    WriteText(bad("double.fits", "unsupported bit depth (BITPIX -64"),
              FitsImageHeader(-64, 8, 8) + std::string(2880, '\0'));

    for (const auto& [name, reason] : files) {
        SCOPED_TRACE(name);
        const std::string input = folder / name, output = folder / "out.tif";
        ChildResult run = RunCorvane({"apply", input, output, "--points", "6"}, {data.Path().string()});
        EXPECT_EQ(run.status, 2) << run.errorText;
        EXPECT_NE(run.errorText.find("corvane: " + input + ": "), std::string::npos) << run.errorText;
        EXPECT_NE(run.errorText.find(reason), std::string::npos) << run.errorText;
        for (const std::string& file : folder.Files())
            EXPECT_EQ(file.find("out.tif"), std::string::npos) << file;
    }
}
