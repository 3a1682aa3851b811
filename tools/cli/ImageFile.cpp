#include "tools/cli/ImageFile.h"

#include <cstdio>

int32_t BytesPerSample(SampleFormat format)
{
    switch (format) {
    case SampleFormat::U8: return 1;
    case SampleFormat::U16: return 2;
    case SampleFormat::F32: return 4;
    }
    return 1;
}

int32_t BitsPerSample(SampleFormat format)
{
    return BytesPerSample(format) * 8;
}

const char* SampleFormatName(SampleFormat format)
{
    switch (format) {
    case SampleFormat::U8: return "8-bit";
    case SampleFormat::U16: return "16-bit";
    case SampleFormat::F32: return "32-bit float";
    }
    return "?";
}

size_t RowBytes(const ImageFile& image)
{
    if (image.width <= 0)
        return 0;
    return size_t(image.width) * size_t(image.Channels()) * size_t(BytesPerSample(image.format));
}

size_t PixelBytes(const ImageFile& image)
{
    if (image.height <= 0)
        return 0;
    return RowBytes(image) * size_t(image.height);
}

bool CheckImageLayout(const ImageFile& image, std::string* error)
{
    char text[160];
    if (image.width <= 0 || image.height <= 0) {
        std::snprintf(text, sizeof text, "image has no pixels (%d x %d)", image.width, image.height);
        *error = text;
        return false;
    }
    if (image.width > kMaxImageSide || image.height > kMaxImageSide) {
        std::snprintf(text, sizeof text, "image larger than %d x %d (%d x %d)", kMaxImageSide, kMaxImageSide,
                      image.width, image.height);
        *error = text;
        return false;
    }
    if (image.colourChannels != 1 && image.colourChannels != 3) {
        std::snprintf(text, sizeof text, "unsupported colour model (%d colour channels)", image.colourChannels);
        *error = text;
        return false;
    }
    return true;
}

bool AllocatePixels(ImageFile* image, std::string* error)
{
    image->pixels.reset();
    if (!CheckImageLayout(*image, error))
        return false;
    // At most 32767 * 32767 * 4 channels * 4 bytes: well inside size_t, so no overflow check is needed.
    void* block = std::malloc(PixelBytes(*image));
    if (block == nullptr) {
        *error = "not enough memory for the image";
        return false;
    }
    image->pixels.reset(static_cast<uint8_t*>(block));
    return true;
}
