// FITS through cfitsio: the primary image with BITPIX 8, 16 or -32 and one plane (grey) or three
// (RGB, one plane per colour).
//
// Orientation: FITS stores the first row at the bottom of the picture, as viewers of astronomical
// images show it. The in-memory image is top to bottom, so rows are reversed on reading and again on
// writing; a file read and written keeps its orientation, and the host sees what a viewer shows.
//
// Samples: BITPIX 16 is signed; unsigned 16-bit data is stored with BZERO 32768, which cfitsio
// applies for us. Physical values outside 0..65535 (signed data with negative values) are clipped.
// BITPIX -32 floats are passed as they are.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fitsio.h>

#include "tools/cli/ImageFormats.h"

namespace {

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

bool WriteFitsFile(const std::string& path, const ImageFile& image, std::string* error)
{
    if (image.hasAlpha) {
        *error = "FITS cannot hold an alpha channel";
        return false;
    }
    int status = 0;
    fitsfile* fits = nullptr;
    // cfitsio never replaces a file, and the safe-output step has already made an empty one under this
    // name; the disk-file variant is used so that cfitsio takes the name literally.
    std::remove(path.c_str());
    if (fits_create_diskfile(&fits, path.c_str(), &status)) {
        *error = FitsErrorText("cannot create the FITS file", status);
        return false;
    }
    FitsCloser closer{fits};
    int bitpix = image.format == SampleFormat::U8    ? BYTE_IMG
                 : image.format == SampleFormat::U16 ? USHORT_IMG
                                                     : FLOAT_IMG;
    long sides[3] = {image.width, image.height, image.colourChannels};
    int axes = image.colourChannels == 3 ? 3 : 2;
    if (fits_create_img(fits, bitpix, axes, sides, &status)) {
        *error = FitsErrorText("cannot write the FITS file", status);
        return false;
    }
    const size_t bytes = size_t(BytesPerSample(image.format));
    const size_t channels = size_t(image.colourChannels);
    std::unique_ptr<uint8_t[], FreeDeleter> row(static_cast<uint8_t*>(std::malloc(size_t(image.width) * bytes)));
    if (!row) {
        *error = "not enough memory for a FITS row";
        return false;
    }
    for (size_t p = 0; p < channels; ++p) {
        for (int32_t fitsRow = 0; fitsRow < image.height; ++fitsRow) {
            const uint8_t* source =
                image.pixels.get() + size_t(image.height - 1 - fitsRow) * image.width * channels * bytes;
            for (int32_t x = 0; x < image.width; ++x)
                std::memcpy(row.get() + x * bytes, source + (x * channels + p) * bytes, bytes);
            long first[3] = {1, fitsRow + 1, long(p) + 1};
            if (fits_write_pix(fits, FitsDataType(image.format), first, image.width, row.get(), &status)) {
                *error = FitsErrorText("cannot write the FITS file", status);
                return false;
            }
        }
    }
    // Closing writes the last block; a full disk shows here.
    closer.fits = nullptr;
    if (fits_close_file(fits, &status)) {
        *error = FitsErrorText("cannot write the FITS file", status);
        return false;
    }
    return true;
}
