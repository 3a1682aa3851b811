// FITS: the primary image with BITPIX 8, 16 or -32 and one plane (grey) or three (RGB, one plane per
// colour). Read through cfitsio; written here, block by block through the output file, because
// cfitsio's close does not report a failed last write and a full disk would pass unnoticed.
//
// Orientation: FITS stores the first row at the bottom of the picture, as viewers of astronomical
// images show it. The in-memory image is top to bottom, so rows are reversed on reading and again on
// writing; a file read and written keeps its orientation, and the host sees what a viewer shows.
//
// Samples: BITPIX 16 is signed; unsigned 16-bit data is stored with BZERO 32768, which cfitsio
// applies for us on reading and the writer below subtracts. Physical values outside 0..65535 (signed
// data with negative values) are clipped. BITPIX -32 floats are passed as they are. Every number is
// big-endian in the file.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fitsio.h>
#include <sys/stat.h>

#include "tools/cli/ImageFormats.h"

namespace {

constexpr size_t kFitsBlock = 2880; // headers and data are stored in whole blocks of this size
constexpr size_t kFitsCard = 80;

std::string FitsErrorText(const char* what, int status)
{
    char text[FLEN_STATUS];
    fits_get_errstatus(status, text);
    fits_clear_errmsg();
    return std::string(what) + " (" + text + ")";
}

int FitsDataType(SampleFormat format)
{
    switch (format) {
    case SampleFormat::U8: return TBYTE;
    case SampleFormat::U16: return TUSHORT;
    case SampleFormat::F32: return TFLOAT;
    }
    return TBYTE;
}

struct FitsCloser
{
    fitsfile* fits;
    ~FitsCloser()
    {
        int ignored = 0;
        if (fits != nullptr)
            fits_close_file(fits, &ignored);
    }
};

} // namespace

bool ReadFitsFile(const std::string& path, ImageFile* image, std::string* error)
{
    int status = 0;
    fitsfile* fits = nullptr;
    // The disk-file variant takes the name literally: cfitsio would otherwise parse brackets and
    // suffixes in it as filters.
    if (fits_open_diskfile(&fits, path.c_str(), READONLY, &status)) {
        *error = FitsErrorText("not a readable FITS file", status);
        return false;
    }
    FitsCloser closer{fits};

    int bitpix = 0, axes = 0;
    long sides[3] = {0, 0, 0};
    if (fits_get_img_param(fits, 3, &bitpix, &axes, sides, &status)) {
        *error = FitsErrorText("damaged FITS header", status);
        return false;
    }
    char text[160];
    if (axes < 2 || axes > 3) {
        std::snprintf(text, sizeof text, "unsupported FITS image (%d axes; 2 or 3 are supported)", axes);
        *error = text;
        return false;
    }
    const long planes = axes == 3 ? sides[2] : 1;
    if (planes != 1 && planes != 3) {
        std::snprintf(text, sizeof text, "unsupported colour model (%ld planes; 1 or 3 are supported)", planes);
        *error = text;
        return false;
    }
    switch (bitpix) {
    case BYTE_IMG: image->format = SampleFormat::U8; break;
    case SHORT_IMG: image->format = SampleFormat::U16; break;
    case FLOAT_IMG: image->format = SampleFormat::F32; break;
    default:
        std::snprintf(text, sizeof text, "unsupported bit depth (BITPIX %d; 8, 16 and -32 are supported)", bitpix);
        *error = text;
        return false;
    }
    image->colourChannels = int32_t(planes);
    image->hasAlpha = false;
    image->width = int32_t(std::min<long>(sides[0], INT32_MAX));
    image->height = int32_t(std::min<long>(sides[1], INT32_MAX));
    if (!CheckImageLayout(*image, error))
        return false;
    // The data the header claims must be in the file before memory is set aside for it: a few blocks
    // of header can claim gigabytes. The padding after the data is not asked for; some writers omit it.
    LONGLONG headerStart = 0, dataStart = 0, dataEnd = 0;
    const long long claimed =
        static_cast<long long>(image->width) * image->height * planes * BytesPerSample(image->format);
    struct stat info;
    if (fits_get_hduaddrll(fits, &headerStart, &dataStart, &dataEnd, &status) == 0 && stat(path.c_str(), &info) == 0 &&
        info.st_size - dataStart < claimed) {
        std::snprintf(text, sizeof text,
                      "truncated or damaged FITS data (the header claims %d x %d x %ld samples in %lld bytes; the file "
                      "holds %lld)",
                      image->width, image->height, planes, claimed, static_cast<long long>(info.st_size - dataStart));
        *error = text;
        return false;
    }
    if (!AllocatePixels(image, error))
        return false;

    // One plane at a time, then interleave bottom-up rows into top-down pixels.
    const size_t bytes = size_t(BytesPerSample(image->format));
    const size_t planeSamples = size_t(image->width) * size_t(image->height);
    std::unique_ptr<uint8_t[], FreeDeleter> plane(static_cast<uint8_t*>(std::malloc(planeSamples * bytes)));
    if (!plane) {
        *error = "not enough memory for a FITS plane";
        return false;
    }
    const size_t channels = size_t(image->colourChannels);
    for (long p = 0; p < planes; ++p) {
        long first[3] = {1, 1, p + 1};
        int anyNull = 0;
        fits_read_pix(fits, FitsDataType(image->format), first, long(planeSamples), nullptr, plane.get(), &anyNull,
                      &status);
        // Signed data below zero cannot be unsigned 16-bit; cfitsio has clipped it, which is what we want.
        if (status == NUM_OVERFLOW) {
            status = 0;
            fits_clear_errmsg();
        }
        if (status != 0) {
            image->pixels.reset();
            *error = FitsErrorText("truncated or damaged FITS data", status);
            return false;
        }
        for (int32_t row = 0; row < image->height; ++row) {
            const uint8_t* source = plane.get() + size_t(image->height - 1 - row) * image->width * bytes;
            uint8_t* target = image->pixels.get() + size_t(row) * image->width * channels * bytes;
            for (int32_t x = 0; x < image->width; ++x)
                std::memcpy(target + (x * channels + p) * bytes, source + x * bytes, bytes);
        }
    }
    return true;
}

namespace {

// One header card: the keyword, then the value right-aligned in columns 11 to 30 as FITS asks.
void AppendCard(std::string* header, const char* keyword, const std::string& value)
{
    char card[kFitsCard + 1];
    std::snprintf(card, sizeof card, "%-8.8s= %20s", keyword, value.c_str());
    header->append(card);
    header->append(kFitsCard - std::strlen(card), ' ');
}

// Big-endian samples of one FITS row; unsigned 16-bit values are stored signed, less BZERO (32768).
void AppendRow(const ImageFile& image, int32_t row, size_t plane, std::vector<uint8_t>* block)
{
    const size_t bytes = size_t(BytesPerSample(image.format));
    const size_t channels = size_t(image.colourChannels);
    const uint8_t* source = image.pixels.get() + size_t(row) * image.width * channels * bytes;
    for (int32_t x = 0; x < image.width; ++x) {
        uint8_t sample[4];
        std::memcpy(sample, source + (x * channels + plane) * bytes, bytes);
        if (image.format == SampleFormat::U16) {
            uint16_t value;
            std::memcpy(&value, sample, 2);
            value ^= 0x8000;
            block->push_back(uint8_t(value >> 8));
            block->push_back(uint8_t(value));
        } else if (image.format == SampleFormat::F32) {
            uint32_t value;
            std::memcpy(&value, sample, 4);
            for (int shift = 24; shift >= 0; shift -= 8)
                block->push_back(uint8_t(value >> shift));
        } else {
            block->push_back(sample[0]);
        }
    }
}

} // namespace

bool WriteFitsFile(OutputFile* file, const ImageFile& image, std::string* error)
{
    if (image.hasAlpha) {
        *error = "FITS cannot hold an alpha channel";
        return false;
    }
    const int bitpix = image.format == SampleFormat::U8    ? BYTE_IMG
                       : image.format == SampleFormat::U16 ? SHORT_IMG
                                                           : FLOAT_IMG;
    std::string header;
    AppendCard(&header, "SIMPLE", "T");
    AppendCard(&header, "BITPIX", std::to_string(bitpix));
    AppendCard(&header, "NAXIS", image.colourChannels == 3 ? "3" : "2");
    AppendCard(&header, "NAXIS1", std::to_string(image.width));
    AppendCard(&header, "NAXIS2", std::to_string(image.height));
    if (image.colourChannels == 3)
        AppendCard(&header, "NAXIS3", "3");
    AppendCard(&header, "EXTEND", "T");
    if (image.format == SampleFormat::U16) {
        AppendCard(&header, "BZERO", "32768");
        AppendCard(&header, "BSCALE", "1");
    }
    header.append("END");
    header.append((kFitsBlock - header.size() % kFitsBlock) % kFitsBlock, ' ');
    if (!WriteToOutput(file, header.data(), header.size())) {
        *error = std::string("cannot write the FITS file (") + std::strerror(file->error) + ")";
        return false;
    }

    // Rows bottom-up, one plane after the other, gathered into blocks of about a megabyte.
    std::vector<uint8_t> block;
    const size_t rowBytes = size_t(image.width) * size_t(BytesPerSample(image.format));
    const size_t blockBytes = std::max<size_t>(rowBytes, size_t(1) << 20);
    block.reserve(blockBytes + kFitsBlock);
    uint64_t dataBytes = 0;
    bool written = true;
    for (size_t p = 0; written && p < size_t(image.colourChannels); ++p) {
        for (int32_t fitsRow = 0; written && fitsRow < image.height; ++fitsRow) {
            AppendRow(image, image.height - 1 - fitsRow, p, &block);
            dataBytes += rowBytes;
            if (block.size() >= blockBytes) {
                written = WriteToOutput(file, block.data(), block.size());
                block.clear();
            }
        }
    }
    block.resize(block.size() + size_t((kFitsBlock - dataBytes % kFitsBlock) % kFitsBlock), 0);
    if (!written || !WriteToOutput(file, block.data(), block.size())) {
        *error = std::string("cannot write the FITS file (") + std::strerror(file->error) + ")";
        return false;
    }
    return true;
}
