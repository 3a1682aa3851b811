#include "tools/harness/HostDocument.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

int32_t BytesOfMode(int16 mode)
{
    switch (mode) {
    case plugInModeGrayScale:
    case plugInModeRGBColor: return 1;
    case plugInModeGray16:
    case plugInModeRGB48: return 2;
    case plugInModeRGB96:
    case plugInModeGray32: return 4;
    default: return 0;
    }
}

bool IsGrayMode(int16 mode)
{
    return mode == plugInModeGrayScale || mode == plugInModeGray16 || mode == plugInModeGray32;
}

} // namespace

HostDocument::HostDocument(int32_t width, int32_t height, int16 mode, bool withTransparency)
{
    const int32_t bytes = BytesOfMode(mode);
    if (bytes == 0 || width <= 0 || height <= 0)
        return;
    width_ = width;
    height_ = height;
    mode_ = mode;
    bytesPerSample_ = bytes;
    colorPlanes_ = IsGrayMode(mode) ? 1 : 3;
    filterRect_ = ImageRect{0, 0, width, height};
    const size_t planeBytes = size_t(width) * size_t(height) * size_t(bytes);
    planes_.assign(size_t(colorPlanes_ + (withTransparency ? 1 : 0)), std::vector<uint8_t>(planeBytes, 0));
}

uint8_t* HostDocument::SampleAddress(int32_t plane, int32_t x, int32_t y)
{
    return planes_[size_t(plane)].data() + (size_t(y) * size_t(width_) + size_t(x)) * size_t(bytesPerSample_);
}

const uint8_t* HostDocument::SampleAddress(int32_t plane, int32_t x, int32_t y) const
{
    return planes_[size_t(plane)].data() + (size_t(y) * size_t(width_) + size_t(x)) * size_t(bytesPerSample_);
}

double HostDocument::Sample(int32_t plane, int32_t x, int32_t y) const
{
    const uint8_t* p = SampleAddress(plane, x, y);
    switch (bytesPerSample_) {
    case 1: return *p;
    case 2: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    default: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

void HostDocument::SetSample(int32_t plane, int32_t x, int32_t y, double value)
{
    uint8_t* p = SampleAddress(plane, x, y);
    if (bytesPerSample_ == 4) {
        const float v = float(value);
        std::memcpy(p, &v, 4);
        return;
    }
    const double top = bytesPerSample_ == 1 ? 255.0 : 32768.0;
    double r = std::floor(value + 0.5);
    if (!(r >= 0.0))
        r = 0.0;
    if (r > top)
        r = top;
    if (bytesPerSample_ == 1) {
        *p = uint8_t(r);
    } else {
        const uint16_t v = uint16_t(r);
        std::memcpy(p, &v, 2);
    }
}

void HostDocument::Fill(const std::function<double(int32_t plane, int32_t x, int32_t y)>& value)
{
    for (int32_t plane = 0; plane < PlaneCount(); ++plane)
        for (int32_t y = 0; y < height_; ++y)
            for (int32_t x = 0; x < width_; ++x)
                SetSample(plane, x, y, value(plane, x, y));
}

void HostDocument::SetSelection(const std::function<uint8_t(int32_t x, int32_t y)>& value)
{
    selection_.assign(size_t(width_) * size_t(height_), 0);
    for (int32_t y = 0; y < height_; ++y)
        for (int32_t x = 0; x < width_; ++x)
            selection_[size_t(y) * size_t(width_) + size_t(x)] = value(x, y);
}

uint8_t HostDocument::SelectionAt(int32_t x, int32_t y) const
{
    if (selection_.empty())
        return 255;
    return selection_[size_t(y) * size_t(width_) + size_t(x)];
}

DocumentDifference CompareDocuments(const HostDocument& a, const HostDocument& b, double tolerance)
{
    DocumentDifference d;
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Mode() != b.Mode() ||
        a.PlaneCount() != b.PlaneCount()) {
        d.shapeDiffers = true;
        return d;
    }
    for (int32_t plane = 0; plane < a.PlaneCount(); ++plane)
        for (int32_t y = 0; y < a.Height(); ++y)
            for (int32_t x = 0; x < a.Width(); ++x) {
                const double first = a.Sample(plane, x, y);
                const double second = b.Sample(plane, x, y);
                const double difference = std::fabs(first - second);
                // NaN against NaN counts as equal; NaN against a number as a difference.
                const bool differs =
                    std::isnan(first) != std::isnan(second) || (!std::isnan(first) && difference > tolerance);
                if (!differs)
                    continue;
                if (d.count == 0) {
                    d.plane = plane;
                    d.x = x;
                    d.y = y;
                    d.first = first;
                    d.second = second;
                }
                ++d.count;
                if (difference > d.largest)
                    d.largest = difference;
            }
    return d;
}

std::string DescribeDifference(const DocumentDifference& d)
{
    if (d.shapeDiffers)
        return "documents differ in size, mode or plane count";
    if (d.count == 0)
        return "documents are equal";
    char text[200];
    std::snprintf(text, sizeof text, "%lld samples differ; first at plane %d (%d, %d): %.9g vs %.9g; largest %.9g",
                  static_cast<long long>(d.count), d.plane, d.x, d.y, d.first, d.second, d.largest);
    return text;
}
