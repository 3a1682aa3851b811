#include "ui/SliderValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

float PowerOfTen(int decimals)
{
    float power = 1.0f;
    for (int i = 0; i < decimals; ++i)
        power *= 10.0f;
    return power;
}

} // namespace

int32_t ClampToRow(const SliderBinding& row, int32_t value)
{
    if (value < row.minimum)
        return row.minimum;
    if (value > row.maximum)
        return row.maximum;
    return value;
}

void FormatSliderValue(const SliderBinding& row, int32_t value, char* text, size_t capacity)
{
    if (row.decimals != 0)
        std::snprintf(text, capacity, "%.*f", row.decimals, double(float(value) / PowerOfTen(row.decimals)));
    else
        std::snprintf(text, capacity, "%d", int(value));
}

int32_t ParseSliderText(const SliderBinding& row, const char* text, int32_t current)
{
    if (text[0] == '\0')
        return ClampToRow(row, current);
    // Truncation toward zero: "45.55" in tenths is 455, "-45.55" is -455. The number is clamped while it
    // is still a double, so that a pasted "1e9" cannot overflow the conversion; "nan" counts as 0.
    double value = std::atof(text) * double(PowerOfTen(row.decimals));
    if (std::isnan(value))
        value = 0.0;
    if (value < row.minimum)
        return row.minimum;
    if (value > row.maximum)
        return row.maximum;
    return int32_t(std::trunc(value));
}

int32_t StepValue(const SliderBinding& row, int32_t position, int32_t amount, bool upward)
{
    // In 32 bits: a large repeat count times a page step must not wrap past the other end.
    const int64_t moved = upward ? int64_t(position) + amount : int64_t(position) - amount;
    if (moved < row.minimum)
        return row.minimum;
    if (moved > row.maximum)
        return row.maximum;
    return int32_t(moved);
}

int32_t PositionUnderClick(const SliderBinding& row, const TrackbarGeometry& geometry, int32_t clickX, int32_t current)
{
    const int32_t span = geometry.channelRight - geometry.channelLeft - geometry.thumbWidth;
    if (span <= 0)
        return current;
    const int32_t range = row.maximum - row.minimum;
    const int32_t offset = clickX - geometry.thumbWidth / 2 - geometry.channelLeft;
    return ClampToRow(row, row.minimum + (span / 2 + offset * range) / span);
}
