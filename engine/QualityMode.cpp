#include "engine/FixedPoint.h"

#include "host/ImageTransfer.h"

QualityMode gQuality{true, 16383};

void SetFinalQuality()
{
    gQuality.preciseArithmetic = true;
    // Deeper documents show fainter contributions, so they are drawn further out.
    switch (gInputImage.bitsPerSample) {
    case 16:
        gQuality.visibilityCutoff = 4095;
        break;
    case 32:
        gQuality.visibilityCutoff = 2047;
        break;
    default:
        gQuality.visibilityCutoff = 16383;
        break;
    }
}

void SetPreviewQuality()
{
    gQuality.preciseArithmetic = false;
    gQuality.visibilityCutoff = 65535;
}
