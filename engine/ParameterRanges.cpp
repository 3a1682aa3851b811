#include "engine/ParameterRanges.h"

int16_t ClampToRange(int32_t value, ParameterRange range)
{
    if (value < range.minimum)
        return range.minimum;
    if (value > range.maximum)
        return range.maximum;
    return int16_t(value);
}

void ClampParameters(FilterParameters* p)
{
    p->intensity = ClampToRange(p->intensity, kPercentRange);
    p->length = ClampToRange(p->length, kPercentRange);
    p->angle = ClampToRange(p->angle, kAngleRange);
    p->numberOfPoints = ClampToRange(p->numberOfPoints, kPointsRange);
    p->spikeSharpness = ClampToRange(p->spikeSharpness, kPercentRange);
    p->saturation = ClampToRange(p->saturation, kSaturationRange);
    p->rainbowIntensity = ClampToRange(p->rainbowIntensity, kPercentRange);
    p->rainbowFrequency = ClampToRange(p->rainbowFrequency, kPercentRange);
    p->secondarySpikeIntensity = ClampToRange(p->secondarySpikeIntensity, kPercentRange);
    p->softFlareBrightness = ClampToRange(p->softFlareBrightness, kPercentRange);
    p->outputSpikesOnly = p->outputSpikesOnly != 0 ? 1 : 0;
}
