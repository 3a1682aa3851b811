#include "tools/cli/HostMapping.h"

#include <cmath>
#include <cstring>

#include "sdk/HostConstants.h"

size_t CountClampedSamples(const ImageFile& image)
{
    if (image.format != SampleFormat::F32)
        return 0;
    const size_t count = size_t(image.width) * size_t(image.height) * size_t(image.Channels());
    const float* samples = SamplesAs<float>(image);
    size_t clamped = 0;
    for (size_t i = 0; i < count; ++i)
        clamped += samples[i] >= 0.0f && samples[i] <= 1.0f ? 0 : 1;
    return clamped;
}

int16_t HostModeFor(const ImageFile& image)
{
    const bool rgb = image.colourChannels == 3;
    switch (image.format) {
    case SampleFormat::U8: return rgb ? plugInModeRGBColor : plugInModeGrayScale;
    case SampleFormat::U16: return rgb ? plugInModeRGB48 : plugInModeGray16;
    case SampleFormat::F32: return rgb ? plugInModeRGB96 : plugInModeGray32;
    }
    return plugInModeGrayScale;
}

HostDocument DocumentFromImage(const ImageFile& image)
{
    HostDocument document(image.width, image.height, HostModeFor(image), image.hasAlpha);
    const int32_t channels = image.Channels();
    for (int32_t plane = 0; plane < channels; ++plane) {
        for (int32_t y = 0; y < image.height; ++y) {
            const size_t first = size_t(y) * image.width * channels + plane;
            uint8_t* row = document.SampleAddress(plane, 0, y);
            switch (image.format) {
            case SampleFormat::U8: {
                const uint8_t* in = SamplesAs<uint8_t>(image) + first;
                for (int32_t x = 0; x < image.width; ++x)
                    row[x] = in[size_t(x) * channels];
                break;
            }
            case SampleFormat::U16: {
                const uint16_t* in = SamplesAs<uint16_t>(image) + first;
                for (int32_t x = 0; x < image.width; ++x) {
                    uint16_t h = HostFromFile16(in[size_t(x) * channels]);
                    std::memcpy(row + size_t(x) * 2, &h, 2);
                }
                break;
            }
            case SampleFormat::F32: {
                const float* in = SamplesAs<float>(image) + first;
                for (int32_t x = 0; x < image.width; ++x) {
                    const float h = HostFromFileFloat(in[size_t(x) * channels]);
                    std::memcpy(row + size_t(x) * 4, &h, 4);
                }
                break;
            }
            }
        }
    }
    return document;
}

void StoreDocumentInImage(const HostDocument& document, ImageFile* image)
{
    const int32_t channels = image->Channels();
    for (int32_t plane = 0; plane < channels; ++plane) {
        for (int32_t y = 0; y < image->height; ++y) {
            const size_t first = size_t(y) * image->width * channels + plane;
            const uint8_t* row = document.SampleAddress(plane, 0, y);
            switch (image->format) {
            case SampleFormat::U8: {
                uint8_t* out = SamplesAs<uint8_t>(*image) + first;
                for (int32_t x = 0; x < image->width; ++x)
                    out[size_t(x) * channels] = row[x];
                break;
            }
            case SampleFormat::U16: {
                uint16_t* out = SamplesAs<uint16_t>(*image) + first;
                for (int32_t x = 0; x < image->width; ++x) {
                    uint16_t h;
                    std::memcpy(&h, row + size_t(x) * 2, 2);
                    uint16_t& v = out[size_t(x) * channels];
                    if (HostFromFile16(v) != h)
                        v = FileFromHost16(h);
                }
                break;
            }
            case SampleFormat::F32: {
                float* out = SamplesAs<float>(*image) + first;
                for (int32_t x = 0; x < image->width; ++x) {
                    float& v = out[size_t(x) * channels];
                    const float given = HostFromFileFloat(v);
                    // Compared as bits: NaN never equals itself, and -0.0 must stay -0.0.
                    if (std::memcmp(&given, row + size_t(x) * 4, 4) != 0)
                        std::memcpy(&v, row + size_t(x) * 4, 4);
                }
                break;
            }
            }
        }
    }
}

namespace {

uint8_t SelectionFromSample(const ImageFile& mask, size_t index)
{
    switch (mask.format) {
    case SampleFormat::U8: return SamplesAs<uint8_t>(mask)[index];
    case SampleFormat::U16: return uint8_t((uint32_t(SamplesAs<uint16_t>(mask)[index]) * 255u + 32767u) / 65535u);
    case SampleFormat::F32: {
        float f = SamplesAs<float>(mask)[index];
        if (!(f > 0.0f)) // NaN too
            return 0;
        if (f >= 1.0f)
            return 255;
        return uint8_t(std::lround(f * 255.0f));
    }
    }
    return 0;
}

} // namespace

bool ApplySelectionImage(const ImageFile& mask, HostDocument* document, std::string* error)
{
    if (mask.colourChannels != 1) {
        *error = "the mask must be a grey image";
        return false;
    }
    if (mask.width != document->Width() || mask.height != document->Height()) {
        *error = "the mask is " + std::to_string(mask.width) + " x " + std::to_string(mask.height) + ", the image " +
                 std::to_string(document->Width()) + " x " + std::to_string(document->Height());
        return false;
    }
    const int32_t channels = mask.Channels(); // an alpha channel of the mask is ignored
    document->SetSelection(
        [&](int32_t x, int32_t y) { return SelectionFromSample(mask, (size_t(y) * mask.width + x) * channels); });
    return true;
}
