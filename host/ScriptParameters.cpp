#include "host/ScriptParameters.h"

#include <cmath>

#include "host/PluginGlobals.h"

namespace {

// Truncates toward zero into a 16-bit field. Out-of-range values saturate first, because converting
// a double that does not fit is undefined; a NaN carries no number and leaves the field as it was.
void StoreTruncated(double value, int16_t* field)
{
    if (std::isnan(value))
        return;
    if (value <= -32768.0)
        *field = -32768;
    else if (value >= 32767.0)
        *field = 32767;
    else
        *field = int16_t(value);
}

// An integer key keeps its low 16 bits, as a 16-bit field takes any integer; only doubles need the
// saturation above.
int16_t LowSixteenBits(int32 value)
{
    return int16_t(uint16_t(uint32_t(value) & 0xFFFFu));
}

// The fields read with getUnitFloatProc as plain numbers (the angle is scaled separately).
int16_t* UnitFloatField(FilterParameters* p, DescriptorKeyID key)
{
    switch (key) {
    case kKeyIntensity: return &p->intensity;
    case kKeyLength: return &p->length;
    case kKeySpikeSharpness: return &p->spikeSharpness;
    case kKeySaturation: return &p->saturation;
    case kKeyRainbowIntensity: return &p->rainbowIntensity;
    case kKeyRainbowFrequency: return &p->rainbowFrequency;
    case kKeySecondarySpikeIntensity: return &p->secondarySpikeIntensity;
    case kKeySoftFlareBrightness: return &p->softFlareBrightness;
    default: return nullptr;
    }
}

// Older hosts may hand in shorter tables; the count says which procedures exist at all.
constexpr int16 kReadProcsNeeded = 7;  // up to getBooleanProc
constexpr int16 kWriteProcsNeeded = 6; // up to putBooleanProc

bool CanRead(const ReadDescriptorProcs* procs)
{
    return procs != nullptr && procs->numReadDescriptorProcs >= kReadProcsNeeded &&
           procs->openReadDescriptorProc != nullptr && procs->closeReadDescriptorProc != nullptr &&
           procs->getKeyProc != nullptr && procs->getIntegerProc != nullptr && procs->getUnitFloatProc != nullptr &&
           procs->getBooleanProc != nullptr;
}

bool CanWrite(const WriteDescriptorProcs* procs)
{
    return procs != nullptr && procs->numWriteDescriptorProcs >= kWriteProcsNeeded &&
           procs->openWriteDescriptorProc != nullptr && procs->closeWriteDescriptorProc != nullptr &&
           procs->putIntegerProc != nullptr && procs->putUnitFloatProc != nullptr && procs->putBooleanProc != nullptr;
}

OSErr ReadOneKey(const ReadDescriptorProcs* procs, PIReadDescriptor token, DescriptorKeyID key, FilterParameters* p)
{
    OSErr err = noErr;
    if (key == kKeyNumberOfPoints) {
        int32 value = 0;
        err = procs->getIntegerProc(token, &value);
        if (err == noErr)
            p->numberOfPoints = LowSixteenBits(value);
    } else if (key == kKeyOutputSpikesOnly) {
        Boolean value = 0;
        err = procs->getBooleanProc(token, &value);
        if (err == noErr)
            p->outputSpikesOnly = value != 0 ? 1 : 0;
    } else if (key == kKeyAngle) {
        DescriptorUnitID unit = 0;
        double degrees = 0.0;
        err = procs->getUnitFloatProc(token, &unit, &degrees);
        if (err == noErr)
            StoreTruncated(degrees * 10.0, &p->angle);
    } else if (int16_t* field = UnitFloatField(p, key)) {
        DescriptorUnitID unit = 0;
        double value = 0.0;
        err = procs->getUnitFloatProc(token, &unit, &value);
        if (err == noErr)
            StoreTruncated(value, field);
    } else {
        err = readErr;
    }
    return err;
}

void DisposeDescriptor(PIDescriptorHandle descriptor)
{
    const HandleProcs* handles = gPlugin.filterRecord->handleProcs;
    if (descriptor != nullptr && handles != nullptr && handles->disposeProc != nullptr)
        handles->disposeProc(descriptor);
}

} // namespace

void ReadScriptParameters(bool* showDialog)
{
    *showDialog = gPlugin.showDialogFlag != nullptr && *gPlugin.showDialogFlag != 0;
    FilterRecord* record = gPlugin.filterRecord;
    PIDescriptorParameters* scripting = record != nullptr ? record->descriptorParameters : nullptr;
    if (scripting == nullptr || !CanRead(scripting->readDescriptorProcs) || scripting->descriptor == nullptr ||
        gPlugin.parameters == nullptr)
        return;

    const ReadDescriptorProcs* procs = scripting->readDescriptorProcs;
    DescriptorKeyID keys[] = {kKeyIntensity,           kKeyLength,           kKeyAngle,
                              kKeyNumberOfPoints,      kKeySpikeSharpness,   kKeySaturation,
                              kKeyRainbowIntensity,    kKeyRainbowFrequency, kKeySecondarySpikeIntensity,
                              kKeySoftFlareBrightness, kKeyOutputSpikesOnly, 0};
    PIReadDescriptor token = procs->openReadDescriptorProc(scripting->descriptor, keys);
    if (token != nullptr) {
        DescriptorKeyID key = 0;
        DescriptorTypeID type = 0;
        int32 flags = 0;
        OSErr err = noErr;
        while (err == noErr && procs->getKeyProc(token, &key, &type, &flags))
            err = ReadOneKey(procs, token, key, gPlugin.parameters);
        procs->closeReadDescriptorProc(token);
        DisposeDescriptor(scripting->descriptor);
        scripting->descriptor = nullptr;
    }
    *showDialog = scripting->playInfo == plugInDialogDisplay;
}

void WriteScriptParameters()
{
    FilterRecord* record = gPlugin.filterRecord;
    PIDescriptorParameters* scripting = record != nullptr ? record->descriptorParameters : nullptr;
    const FilterParameters* p = gPlugin.parameters;
    if (scripting == nullptr || !CanWrite(scripting->writeDescriptorProcs) || p == nullptr)
        return;
    const WriteDescriptorProcs* procs = scripting->writeDescriptorProcs;
    PIWriteDescriptor token = procs->openWriteDescriptorProc();
    if (token == nullptr)
        return;

    auto putPercent = [&](DescriptorKeyID key, int16_t field) {
        const double value = field;
        procs->putUnitFloatProc(token, key, unitPercent, &value);
    };
    putPercent(kKeyIntensity, p->intensity);
    putPercent(kKeyLength, p->length);
    const double degrees = p->angle * 0.1;
    procs->putUnitFloatProc(token, kKeyAngle, unitAngle, &degrees);
    procs->putIntegerProc(token, kKeyNumberOfPoints, p->numberOfPoints);
    putPercent(kKeySpikeSharpness, p->spikeSharpness);
    putPercent(kKeySaturation, p->saturation);
    putPercent(kKeyRainbowIntensity, p->rainbowIntensity);
    putPercent(kKeyRainbowFrequency, p->rainbowFrequency);
    putPercent(kKeySecondarySpikeIntensity, p->secondarySpikeIntensity);
    putPercent(kKeySoftFlareBrightness, p->softFlareBrightness);
    procs->putBooleanProc(token, kKeyOutputSpikesOnly, Boolean(p->outputSpikesOnly & 0xFF));

    DisposeDescriptor(scripting->descriptor);
    scripting->descriptor = nullptr;
    procs->closeWriteDescriptorProc(token, &scripting->descriptor);
    scripting->recordInfo = plugInDialogOptional;
}
