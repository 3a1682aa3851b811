// The fan of faint, thin secondary spikes drawn into the spike shape beside the main spikes. The angles
// are deliberately irregular so that the fan looks like scattered diffraction, not a second star pattern.
#pragma once

#include <cstdint>

struct SecondarySpike
{
    int32_t degrees; // offset from the base angle, whole degrees clockwise from up
    int32_t weight;  // relative intensity, percent
};

constexpr int32_t kSecondarySpikeCount = 42;

extern const SecondarySpike kSecondarySpikeTable[kSecondarySpikeCount];
