// The arithmetic of a slider row, apart from any window: clamping, the value box's display form, reading
// typed text, stepping and the trackbar position under a click.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/SliderTable.h"

int32_t ClampToRow(const SliderBinding& row, int32_t value);

// The display form: the value divided by 10^decimals with that many decimals ("-45.5"), or the integer.
void FormatSliderValue(const SliderBinding& row, int32_t value, char* text, size_t capacity);

// A typed text as a value of the row: read as a decimal number up to the first character that cannot
// be part of one (nothing usable reads as 0), times 10^decimals, truncated toward zero and clamped.
// An empty text leaves `current`.
int32_t ParseSliderText(const SliderBinding& row, const char* text, int32_t current);

// `position` moved by `amount` up or down, clamped to the row.
int32_t StepValue(const SliderBinding& row, int32_t position, int32_t amount, bool upward);

// The channel of a trackbar and its thumb, in client pixels.
struct TrackbarGeometry
{
    int32_t channelLeft;
    int32_t channelRight;
    int32_t thumbWidth;
};

// The position whose thumb centre lies under `clickX`, clamped to the row. A channel no wider than the
// thumb has no positions to choose from: the result is then `current`.
int32_t PositionUnderClick(const SliderBinding& row, const TrackbarGeometry& geometry, int32_t clickX, int32_t current);
