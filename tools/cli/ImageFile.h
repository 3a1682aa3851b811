// A neutral in-memory image between the file codecs and the host mapping.
//
// Samples are interleaved (grey or R,G,B, then alpha when present) in the machine's byte order, rows
// top to bottom. Every codec turns its file's layout and orientation into this one form, so the host
// mapping never needs to know where an image came from.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

enum class SampleFormat
{
    U8,  // 0..255
    U16, // 0..65535
    F32, // floats, nominally 0..1
};

// The image sides the host interface accepts; anything larger is refused before pixels are read.
constexpr int32_t kMaxImageSide = 32767;

struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};

struct ImageFile
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t colourChannels = 0;      // 1 (grey) or 3 (RGB)
    bool hasAlpha = false;           // one more channel after the colour ones
    bool alphaPremultiplied = false; // kept only so that a TIFF writes back with the alpha kind it had
    uint16_t tiffCompression = 0; // a TIFF's compression scheme as read, so that it writes back the same; 0 otherwise
    uint16_t tiffPredictor = 0;   // and its predictor, 0 for none
    SampleFormat format = SampleFormat::U8;
    std::unique_ptr<uint8_t[], FreeDeleter> pixels;
    std::vector<uint8_t> iccProfile; // the embedded profile's bytes, passed through untouched

    int32_t Channels() const { return colourChannels + (hasAlpha ? 1 : 0); }
};

int32_t BytesPerSample(SampleFormat format);
int32_t BitsPerSample(SampleFormat format);
const char* SampleFormatName(SampleFormat format);

// Bytes of one row and of all pixels; 0 for an image without pixels.
size_t RowBytes(const ImageFile& image);
size_t PixelBytes(const ImageFile& image);

// Checks the sides and channel layout; on failure returns false with the reason in `error`.
bool CheckImageLayout(const ImageFile& image, std::string* error);
// Checks the sides and channel layout, then allocates the (uninitialised) pixels. On failure returns
// false with the reason in `error`; the image is left without pixels.
bool AllocatePixels(ImageFile* image, std::string* error);

template <typename T> T* SamplesAs(ImageFile& image)
{
    return reinterpret_cast<T*>(image.pixels.get());
}
template <typename T> const T* SamplesAs(const ImageFile& image)
{
    return reinterpret_cast<const T*>(image.pixels.get());
}
