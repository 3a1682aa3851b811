// The ten sliders of the dialog. Each row binds a trackbar and a value box to one signed 16-bit field of
// the parameter record. The slider position is the field value itself; a row with decimals shows it
// divided by 10 to that power (the angle is held in tenths of a degree and shown with one decimal).
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/MainDialog.h"

struct SliderBinding
{
    // Constant.
    int16_t minimum;
    int16_t maximum;
    int16_t lineStep;
    int16_t pageStep;
    int16_t defaultValue;
    int16_t textLimit; // characters the user may type; the program may show more ("-90.0")
    int16_t valueBoxId;
    int16_t trackbarId;
    const char* valueBoxTip;
    const char* trackbarTip;
    int16_t decimals;
    int16_t ctrlStep; // Ctrl + Up or Down

    // Filled while a dialog runs.
    uint16_t active; // the value box or its trackbar has the keyboard focus
    int16_t* field;  // into the host's parameter record
    HWND trackbar;
    HWND valueBox;
};

constexpr int kSliderCount = 10;

// Rows in accelerator order: Intensity, Length, Angle, Number of Points, Spike Sharpness, Color
// Saturation, Rainbow Intensity, Rainbow Frequency, Secondary Spike Intensity, Soft Flare Brightness.
extern SliderBinding gSliders[kSliderCount];

// The field of `parameters` that row `index` edits.
int16_t* SliderField(FilterParameters* parameters, int index);

// The row whose value box or trackbar is `window`, or -1.
int SliderRowOfWindow(HWND window);
// The row whose value box has the control id `id`, or -1.
int SliderRowOfValueBox(int id);

// Forgets the windows, fields and active flags of the last dialog.
void ResetSliderBindings();
