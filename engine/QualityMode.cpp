#include "engine/QualityMode.h"

QualityMode gQuality{true, 16383};

QualityMode FinalQuality(int32_t bitsPerSample)
{
    switch (bitsPerSample) {
    case 16: return QualityMode{true, 4095};
    case 32: return QualityMode{true, 2047};
    default: return QualityMode{true, 16383};
    }
}

QualityMode PreviewQuality()
{
    return QualityMode{false, 65535};
}
