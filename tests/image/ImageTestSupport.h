// Stored samples of an ImageBuffer in the host's own scale (0..255, 0..32768 or the float itself).
#pragma once

#include <algorithm>

#include "common/CapturedMessages.h"
#include "image/ImageBuffer.h"

inline void* SampleAddress(const ImageBuffer& b, int32_t plane, int32_t x, int32_t y)
{
    const size_t index = size_t(y - b.rect.top) * size_t(b.width) + size_t(x - b.rect.left);
    return static_cast<uint8_t*>(b.planes[plane]) + index * size_t(b.bytesPerSample);
}

inline double StoredSample(const ImageBuffer& b, int32_t plane, int32_t x, int32_t y)
{
    const void* p = SampleAddress(b, plane, x, y);
    return b.bytesPerSample == 1   ? *static_cast<const uint8_t*>(p)
           : b.bytesPerSample == 2 ? *static_cast<const uint16_t*>(p)
                                   : *static_cast<const float*>(p);
}

inline void StoreSample(ImageBuffer& b, int32_t plane, int32_t x, int32_t y, double value)
{
    void* p = SampleAddress(b, plane, x, y);
    if (b.bytesPerSample == 1)
        *static_cast<uint8_t*>(p) = uint8_t(value);
    else if (b.bytesPerSample == 2)
        *static_cast<uint16_t*>(p) = uint16_t(value);
    else
        *static_cast<float*>(p) = float(value);
}

inline double FullScale(const ImageBuffer& b)
{
    return b.bytesPerSample == 1 ? 255 : b.bytesPerSample == 2 ? 32768 : 1.0;
}
