// The ranges of the eleven parameters: those of the dialog's sliders, and what the effect engine
// relies on. Values from scripting or stored blocks are brought into them before a run uses them.
#pragma once

#include "engine/FilterParameters.h"

struct ParameterRange
{
    int16_t minimum;
    int16_t maximum;
};

constexpr ParameterRange kPercentRange{0, 100};
constexpr ParameterRange kAngleRange{-900, 900}; // tenths of a degree
constexpr ParameterRange kPointsRange{1, 32};
constexpr ParameterRange kSaturationRange{-100, 100};

int16_t ClampToRange(int32_t value, ParameterRange range);

// Brings every field into its range; `outputSpikesOnly` becomes 0 or 1. The version header is left alone.
void ClampParameters(FilterParameters* parameters);
