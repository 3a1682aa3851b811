// The parameters as the host records them in an action and plays them back: eleven keys of the
// scripting descriptor.
#pragma once

#include "sdk/HostInterface.h"

constexpr DescriptorKeyID kKeyIntensity = FourCC("Intn");
constexpr DescriptorKeyID kKeyLength = FourCC("Lngt");
constexpr DescriptorKeyID kKeyAngle = FourCC("Angl");
constexpr DescriptorKeyID kKeyNumberOfPoints = FourCC("numP");
constexpr DescriptorKeyID kKeySpikeSharpness = FourCC("spsH");
constexpr DescriptorKeyID kKeySaturation = FourCC("Strt");
constexpr DescriptorKeyID kKeyRainbowIntensity = FourCC("rbwI");
constexpr DescriptorKeyID kKeyRainbowFrequency = FourCC("rbwF");
constexpr DescriptorKeyID kKeySecondarySpikeIntensity = FourCC("sspI");
constexpr DescriptorKeyID kKeySoftFlareBrightness = FourCC("sflB");
constexpr DescriptorKeyID kKeyOutputSpikesOnly = FourCC("opsO");

// Sets `showDialog` from the show-dialog flag, then lets a descriptor handed in by the host override
// the current parameters and, by its playInfo, `showDialog`. Values are stored as the host gives them
// (truncated toward zero, kept inside 16 bits); bringing them into range is the caller's business. A key
// the module cannot read ends the reading; the values read before it stay, and the run goes on.
void ReadScriptParameters(bool* showDialog);

// Records the current parameters as the descriptor of the host's action.
void WriteScriptParameters();
