// TIFF through libtiff: 8/16-bit unsigned and 32-bit float, grey or RGB, optional alpha, strips or
// tiles, either planar configuration; written back as interleaved strips, compressed as the input TIFF
// was where that is lossless, deflate-compressed otherwise.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include "tools/cli/ImageFormats.h"

namespace {

// libtiff reports through process-wide handlers; the last error text is kept to explain a failure.
char gLastTiffError[512];

void KeepTiffError(const char* module, const char* format, va_list args)
{
    char text[400];
    std::vsnprintf(text, sizeof text, format, args);
    std::snprintf(gLastTiffError, sizeof gLastTiffError, "%s%s%s", module ? module : "", module ? ": " : "", text);
}

void IgnoreTiffWarning(const char*, const char*, va_list) {}

void InstallTiffHandlers()
{
    TIFFSetErrorHandler(KeepTiffError);
    TIFFSetWarningHandler(IgnoreTiffWarning);
    gLastTiffError[0] = 0;
}

std::string WithTiffError(const char* what)
{
    std::string text = what;
    if (gLastTiffError[0] != 0)
        text += std::string(" (") + gLastTiffError + ")";
    return text;
}

struct TiffCloser
{
    TIFF* tif;
    ~TiffCloser()
    {
        if (tif != nullptr)
            TIFFClose(tif);
    }
};

// libtiff writes through these, so that every write is checked by the output file and a failure
// is kept even where libtiff itself would not report it (its close returns nothing).
OutputFile* OutputOf(thandle_t handle)
{
    return static_cast<OutputFile*>(handle);
}

tmsize_t ReadOutput(thandle_t handle, void* bytes, tmsize_t size)
{
    return tmsize_t(read(OutputOf(handle)->descriptor, bytes, size_t(size)));
}

tmsize_t WriteOutput(thandle_t handle, void* bytes, tmsize_t size)
{
    return WriteToOutput(OutputOf(handle), bytes, size_t(size)) ? size : -1;
}

toff_t SeekOutput(thandle_t handle, toff_t offset, int whence)
{
    return toff_t(lseek(OutputOf(handle)->descriptor, off_t(offset), whence));
}

int CloseOutput(thandle_t)
{
    return 0; // the output file is closed (and checked) by its owner
}

toff_t OutputSize(thandle_t handle)
{
    struct stat info;
    return fstat(OutputOf(handle)->descriptor, &info) == 0 ? toff_t(info.st_size) : 0;
}

int MapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void UnmapNothing(thandle_t, void*, toff_t) {}

const char* PhotometricName(uint16_t photometric)
{
    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE: return "min-is-white grey";
    case PHOTOMETRIC_PALETTE: return "palette";
    case PHOTOMETRIC_MASK: return "transparency mask";
    case PHOTOMETRIC_SEPARATED: return "CMYK";
    case PHOTOMETRIC_YCBCR: return "YCbCr";
    case PHOTOMETRIC_CIELAB:
    case PHOTOMETRIC_ICCLAB:
    case PHOTOMETRIC_ITULAB: return "Lab";
    default: return "unknown";
    }
}

bool ChooseSampleFormat(uint16_t bits, uint16_t sampleFormat, SampleFormat* format, std::string* error)
{
    char text[120];
    if (sampleFormat == SAMPLEFORMAT_UINT && bits == 8) {
        *format = SampleFormat::U8;
        return true;
    }
    if (sampleFormat == SAMPLEFORMAT_UINT && bits == 16) {
        *format = SampleFormat::U16;
        return true;
    }
    if (sampleFormat == SAMPLEFORMAT_IEEEFP && bits == 32) {
        *format = SampleFormat::F32;
        return true;
    }
    if (sampleFormat == SAMPLEFORMAT_INT)
        std::snprintf(text, sizeof text, "unsupported sample format (%u-bit signed integer)", unsigned(bits));
    else if (sampleFormat == SAMPLEFORMAT_IEEEFP)
        std::snprintf(text, sizeof text, "unsupported bit depth (%u-bit float; 32-bit float is supported)",
                      unsigned(bits));
    else if (sampleFormat == SAMPLEFORMAT_UINT)
        std::snprintf(text, sizeof text, "unsupported bit depth (%u-bit; 8 and 16-bit are supported)", unsigned(bits));
    else
        std::snprintf(text, sizeof text, "unsupported sample format (TIFF sample format %u)", unsigned(sampleFormat));
    *error = text;
    return false;
}

// Copies one decoded block (a strip row run or a tile) of a single plane or of interleaved samples
// into the image. `firstChannel` and `channelCount` say which channels the block holds.
void PlaceBlock(ImageFile* image, const uint8_t* block, uint32_t blockWidth, uint32_t x0, uint32_t y0, uint32_t w,
                uint32_t h, int32_t firstChannel, int32_t channelCount)
{
    const size_t bytes = size_t(BytesPerSample(image->format));
    const size_t channels = size_t(image->Channels());
    for (uint32_t row = 0; row < h; ++row) {
        const uint8_t* source = block + size_t(row) * blockWidth * channelCount * bytes;
        uint8_t* target = image->pixels.get() + (size_t(y0 + row) * image->width + x0) * channels * bytes;
        if (size_t(channelCount) == channels) {
            std::memcpy(target, source, size_t(w) * channels * bytes);
            continue;
        }
        for (uint32_t col = 0; col < w; ++col)
            std::memcpy(target + (col * channels + firstChannel) * bytes, source + col * channelCount * bytes,
                        channelCount * bytes);
    }
}

bool ReadTiles(TIFF* tif, ImageFile* image, bool separate, std::string* error)
{
    uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
    tmsize_t tileSize = TIFFTileSize(tif);
    if (tileWidth == 0 || tileHeight == 0 || tileSize <= 0) {
        *error = WithTiffError("damaged TIFF tile layout");
        return false;
    }
    std::unique_ptr<uint8_t[], FreeDeleter> tile(static_cast<uint8_t*>(std::malloc(size_t(tileSize))));
    if (!tile) {
        *error = "not enough memory for a TIFF tile";
        return false;
    }
    const int32_t planes = separate ? image->Channels() : 1;
    for (int32_t plane = 0; plane < planes; ++plane) {
        for (uint32_t y = 0; y < uint32_t(image->height); y += tileHeight) {
            for (uint32_t x = 0; x < uint32_t(image->width); x += tileWidth) {
                if (TIFFReadTile(tif, tile.get(), x, y, 0, uint16_t(plane)) < 0) {
                    *error = WithTiffError("truncated or damaged TIFF");
                    return false;
                }
                uint32_t w = std::min(tileWidth, uint32_t(image->width) - x);
                uint32_t h = std::min(tileHeight, uint32_t(image->height) - y);
                PlaceBlock(image, tile.get(), tileWidth, x, y, w, h, separate ? plane : 0,
                           separate ? 1 : image->Channels());
            }
        }
    }
    return true;
}

bool ReadStrips(TIFF* tif, ImageFile* image, bool separate, std::string* error)
{
    tmsize_t lineSize = TIFFScanlineSize(tif);
    size_t expected = separate ? size_t(image->width) * BytesPerSample(image->format) : RowBytes(*image);
    if (lineSize <= 0 || size_t(lineSize) != expected) {
        *error = WithTiffError("damaged TIFF strip layout");
        return false;
    }
    std::unique_ptr<uint8_t[], FreeDeleter> line(static_cast<uint8_t*>(std::malloc(size_t(lineSize))));
    if (!line) {
        *error = "not enough memory for a TIFF row";
        return false;
    }
    const int32_t planes = separate ? image->Channels() : 1;
    for (int32_t plane = 0; plane < planes; ++plane) {
        for (uint32_t y = 0; y < uint32_t(image->height); ++y) {
            if (TIFFReadScanline(tif, line.get(), y, uint16_t(plane)) < 0) {
                *error = WithTiffError("truncated or damaged TIFF");
                return false;
            }
            PlaceBlock(image, line.get(), uint32_t(image->width), 0, y, uint32_t(image->width), 1, separate ? plane : 0,
                       separate ? 1 : image->Channels());
        }
    }
    return true;
}

// The input TIFF's own compression where it is lossless and can be written here: a user who chose none,
// LZW or PackBits gets the same back. Lossy schemes (JPEG, WebP) would change samples the filter left
// alone, so they and every other input get deflate with the predictor that suits the samples.
void ChooseCompression(TIFF* tif, const ImageFile& image)
{
    const bool isFloat = image.format == SampleFormat::F32;
    uint16_t compression = COMPRESSION_ADOBE_DEFLATE;
    uint16_t predictor = isFloat ? PREDICTOR_FLOATINGPOINT : PREDICTOR_HORIZONTAL;
    switch (image.tiffCompression) {
    case COMPRESSION_NONE:
    case COMPRESSION_PACKBITS: // built into every libtiff, and without a predictor
        compression = image.tiffCompression;
        predictor = PREDICTOR_NONE;
        break;
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ZSTD:
    case COMPRESSION_LZMA:
        if (!TIFFIsCODECConfigured(image.tiffCompression))
            break;
        compression = image.tiffCompression;
        // A floating-point predictor on integer samples would make an unreadable file.
        predictor =
            image.tiffPredictor == PREDICTOR_HORIZONTAL || (isFloat && image.tiffPredictor == PREDICTOR_FLOATINGPOINT)
                ? image.tiffPredictor
                : PREDICTOR_NONE;
        break;
    default: break;
    }
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (predictor != PREDICTOR_NONE)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, predictor);
}

} // namespace

bool ReadTiffFile(const std::string& path, ImageFile* image, std::string* error)
{
    InstallTiffHandlers();
    TiffCloser closer{TIFFOpen(path.c_str(), "r")};
    TIFF* tif = closer.tif;
    if (tif == nullptr) {
        *error = WithTiffError("not a readable TIFF file");
        return false;
    }
    uint32_t width = 0, height = 0;
    uint16_t samplesPerPixel = 1, bits = 1, sampleFormat = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    uint16_t photometric = 0xFFFF;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) {
        *error = "TIFF without a colour model (no photometric interpretation)";
        return false;
    }

    char text[160];
    if (photometric == PHOTOMETRIC_MINISBLACK) {
        image->colourChannels = 1;
    } else if (photometric == PHOTOMETRIC_RGB) {
        image->colourChannels = 3;
    } else {
        std::snprintf(text, sizeof text, "unsupported colour model (%s; grey and RGB are supported)",
                      PhotometricName(photometric));
        *error = text;
        return false;
    }
    const int32_t extra = int32_t(samplesPerPixel) - image->colourChannels;
    if (extra < 0 || extra > 1) {
        std::snprintf(text, sizeof text, "unsupported colour model (%u samples per pixel)", unsigned(samplesPerPixel));
        *error = text;
        return false;
    }
    image->hasAlpha = extra == 1;
    if (image->hasAlpha) {
        uint16_t count = 0;
        uint16_t* kinds = nullptr;
        if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) && count >= 1)
            image->alphaPremultiplied = kinds[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    if (!ChooseSampleFormat(bits, sampleFormat, &image->format, error))
        return false;
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFIsCODECConfigured(compression)) {
        std::snprintf(text, sizeof text, "unsupported TIFF compression (%u)", unsigned(compression));
        *error = text;
        return false;
    }
    image->tiffCompression = compression;
    uint16_t predictor = PREDICTOR_NONE;
    if (TIFFGetField(tif, TIFFTAG_PREDICTOR, &predictor))
        image->tiffPredictor = predictor;

    image->width = int32_t(width > uint32_t(INT32_MAX) ? INT32_MAX : width);
    image->height = int32_t(height > uint32_t(INT32_MAX) ? INT32_MAX : height);
    if (!AllocatePixels(image, error))
        return false;

    uint32_t iccSize = 0;
    void* iccData = nullptr;
    if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccSize, &iccData) && iccData != nullptr && iccSize > 0)
        image->iccProfile.assign(static_cast<uint8_t*>(iccData), static_cast<uint8_t*>(iccData) + iccSize);

    const bool separate = planar == PLANARCONFIG_SEPARATE && samplesPerPixel > 1;
    bool ok = TIFFIsTiled(tif) ? ReadTiles(tif, image, separate, error) : ReadStrips(tif, image, separate, error);
    if (!ok)
        image->pixels.reset();
    return ok;
}

bool WriteTiffFile(OutputFile* file, const ImageFile& image, std::string* error)
{
    InstallTiffHandlers();
    TiffCloser closer{TIFFClientOpen("output", "w", file, ReadOutput, WriteOutput, SeekOutput, CloseOutput, OutputSize,
                                     MapNothing, UnmapNothing)};
    TIFF* tif = closer.tif;
    if (tif == nullptr) {
        *error = WithTiffError("cannot create the TIFF file");
        return false;
    }
    const bool isFloat = image.format == SampleFormat::F32;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(image.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(image.height));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(image.Channels()));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(BitsPerSample(image.format)));
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, isFloat ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, image.colourChannels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    ChooseCompression(tif, image);
    if (image.hasAlpha) {
        uint16_t kind = image.alphaPremultiplied ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), &kind);
    }
    if (!image.iccProfile.empty())
        TIFFSetField(tif, TIFFTAG_ICCPROFILE, uint32_t(image.iccProfile.size()), image.iccProfile.data());
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));

    // libtiff may encode a row in place, so each row goes through a copy.
    const size_t rowBytes = RowBytes(image);
    std::unique_ptr<uint8_t[], FreeDeleter> row(static_cast<uint8_t*>(std::malloc(rowBytes)));
    if (!row) {
        *error = "not enough memory for a TIFF row";
        return false;
    }
    for (int32_t y = 0; y < image.height; ++y) {
        std::memcpy(row.get(), image.pixels.get() + size_t(y) * rowBytes, rowBytes);
        if (TIFFWriteScanline(tif, row.get(), uint32_t(y), 0) < 0) {
            *error = WithTiffError("cannot write the TIFF file");
            return false;
        }
    }
    if (!TIFFWriteDirectory(tif) || !TIFFFlush(tif)) {
        *error = WithTiffError("cannot write the TIFF file");
        return false;
    }
    return true;
}
