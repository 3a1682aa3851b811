#include "tools/harness/ParameterDescriptor.h"

#include "host/ScriptParameters.h"

Descriptor DescriptorOfParameters(const FilterParameters& p)
{
    Descriptor d;
    PutValue(&d, kKeyIntensity, UnitFloatValue(unitPercent, p.intensity));
    PutValue(&d, kKeyLength, UnitFloatValue(unitPercent, p.length));
    PutValue(&d, kKeyAngle, UnitFloatValue(unitAngle, p.angle * 0.1));
    PutValue(&d, kKeyNumberOfPoints, IntegerValue(p.numberOfPoints));
    PutValue(&d, kKeySpikeSharpness, UnitFloatValue(unitPercent, p.spikeSharpness));
    PutValue(&d, kKeySaturation, UnitFloatValue(unitPercent, p.saturation));
    PutValue(&d, kKeyRainbowIntensity, UnitFloatValue(unitPercent, p.rainbowIntensity));
    PutValue(&d, kKeyRainbowFrequency, UnitFloatValue(unitPercent, p.rainbowFrequency));
    PutValue(&d, kKeySecondarySpikeIntensity, UnitFloatValue(unitPercent, p.secondarySpikeIntensity));
    PutValue(&d, kKeySoftFlareBrightness, UnitFloatValue(unitPercent, p.softFlareBrightness));
    PutValue(&d, kKeyOutputSpikesOnly, BooleanValue(p.outputSpikesOnly != 0));
    return d;
}
