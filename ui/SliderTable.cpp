#include "ui/SliderTable.h"

#include "resources/ResourceIds.h"

namespace {

constexpr int16_t kTextLimit = 4;

using Field = int16_t FilterParameters::*;

constexpr Field kFields[kSliderCount] = {
    &FilterParameters::intensity,
    &FilterParameters::length,
    &FilterParameters::angle,
    &FilterParameters::numberOfPoints,
    &FilterParameters::spikeSharpness,
    &FilterParameters::saturation,
    &FilterParameters::rainbowIntensity,
    &FilterParameters::rainbowFrequency,
    &FilterParameters::secondarySpikeIntensity,
    &FilterParameters::softFlareBrightness,
};

} // namespace

// clang-format off
SliderBinding gSliders[kSliderCount] = {
    {0, 100, 1, 10, 50, kTextLimit, IDC_INTENSITY_BOX, IDC_INTENSITY_TRACKBAR,
     "Intensity (I) - Set the brightness of spikes and the number of stars with visible spikes",
     "Intensity (I) - Move right to increase the brightness of spikes and the number of stars with visible spikes",
     0, 10, 0, nullptr, nullptr, nullptr},
    {0, 100, 1, 10, 50, kTextLimit, IDC_LENGTH_BOX, IDC_LENGTH_TRACKBAR,
     "Length (L) - Set the length of the spikes",
     "Length (L) - Move right to increase the length of the spikes",
     0, 10, 0, nullptr, nullptr, nullptr},
    {-900, 900, 1, 100, 0, kTextLimit, IDC_ANGLE_BOX, IDC_ANGLE_TRACKBAR,
     "Angle (A) - Set the rotation angle of the spikes",
     "Angle (A) - Move right to rotate the spikes clockwise",
     1, 10, 0, nullptr, nullptr, nullptr},
    {1, 32, 1, 8, 4, kTextLimit, IDC_POINTS_BOX, IDC_POINTS_TRACKBAR,
     "Number of Points (N) - Set the number of main spikes coming out of a star",
     "Number of Points (N) - Move right to increase the number of main spikes coming out of a star",
     0, 2, 0, nullptr, nullptr, nullptr},
    {0, 100, 1, 10, 50, kTextLimit, IDC_SHARPNESS_BOX, IDC_SHARPNESS_TRACKBAR,
     "Spike Sharpness (S) - Set the fuzziness or sharpness of the spikes",
     "Spike Sharpness (S) - Move right to increase the sharpness of the spikes",
     0, 10, 0, nullptr, nullptr, nullptr},
    {-100, 100, 1, 10, 30, kTextLimit, IDC_SATURATION_BOX, IDC_SATURATION_TRACKBAR,
     "Color Saturation (C) - Set the intensity of the color in the spikes",
     "Color Saturation (C) - Move right to increase the intensity of the color in the spikes",
     0, 10, 0, nullptr, nullptr, nullptr},
    {0, 100, 1, 10, 50, kTextLimit, IDC_RAINBOW_INTENSITY_BOX, IDC_RAINBOW_INTENSITY_TRACKBAR,
     "Rainbow Intensity (R) - Set the brightness of the multicolored 'rainbow' effect in the spikes",
     "Rainbow Intensity (R) - Move right to increase the brightness of the multicolored 'rainbow' effect in the spikes",
     0, 10, 0, nullptr, nullptr, nullptr},
    {0, 100, 1, 10, 50, kTextLimit, IDC_RAINBOW_FREQUENCY_BOX, IDC_RAINBOW_FREQUENCY_TRACKBAR,
     "Rainbow Frequency (F) - Set how quickly the multicolored 'rainbow' effect changes color in the spikes",
     "Rainbow Frequency (F) - Move right to make the multicolored 'rainbow' effect change color more rapidly in the spikes",
     0, 10, 0, nullptr, nullptr, nullptr},
    {0, 100, 1, 10, 50, kTextLimit, IDC_SECONDARY_BOX, IDC_SECONDARY_TRACKBAR,
     "Secondary Spike Intensity (S) - Set the brightness of secondary 'mini-spikes' coming out of the stars",
     "Secondary Spike Intensity (S) - Move right to increase the brightness of secondary 'mini-spikes' coming out of the stars",
     0, 10, 0, nullptr, nullptr, nullptr},
    {0, 100, 1, 10, 50, kTextLimit, IDC_FLARE_BOX, IDC_FLARE_TRACKBAR,
     "Soft Flare Brightness (B) - Set the brightness of the soft flare around the stars",
     "Soft Flare Brightness (B) - Move right to increase the brightness of the soft flare around the stars",
     0, 10, 0, nullptr, nullptr, nullptr},
};
// clang-format on

int16_t* SliderField(FilterParameters* parameters, int index)
{
    return &(parameters->*kFields[index]);
}

int SliderRowOfWindow(HWND window)
{
    for (int row = 0; row < kSliderCount; ++row) {
        if (window != nullptr && (gSliders[row].valueBox == window || gSliders[row].trackbar == window))
            return row;
    }
    return -1;
}

int SliderRowOfValueBox(int id)
{
    for (int row = 0; row < kSliderCount; ++row) {
        if (gSliders[row].valueBoxId == id)
            return row;
    }
    return -1;
}

void ResetSliderBindings()
{
    for (SliderBinding& row : gSliders) {
        row.active = 0;
        row.field = nullptr;
        row.trackbar = nullptr;
        row.valueBox = nullptr;
    }
}
