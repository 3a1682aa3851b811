// The ten sliders at work: each row's trackbar, value box and parameter field kept in step. Changes the
// user makes are sent to the dialog as WM_SLIDERCHANGED; changes the program makes are not.
#pragma once

#include <windows.h>

#include <cstdint>

// At dialog start, once per row, after the tooltip control exists: subclasses the two controls, sets
// their ranges and steps, shows the field (clamped into the row's range) and registers the tooltips.
void BindSlider(HWND dialog, int index, int16_t* field);

// Writes `value` into the row's value box in display form without reporting an edit. A value outside
// the row's range is ignored.
void ShowSliderValue(HWND dialog, int index, int32_t value);

// On EN_CHANGE: the typed text becomes the field's value, clamped, while the row has the focus. The
// text stays as typed until the box loses the focus.
void ReadValueBox(HWND dialog, int index);

// Moves the row by `amount` up or down from the trackbar's position.
void StepSlider(HWND dialog, int index, int32_t amount, bool upward);

// After the whole record was replaced: every row shows its field again, clamped and stored back.
void RefreshSliders(HWND dialog);

// The row's access key: the focus goes to its value box, and the keyboard cues appear.
void FocusSlider(HWND dialog, int index);

// Shared by the two subclass procedures.
void SetTrackbarPosition(int index, int32_t value);
void SelectWholeText(HWND valueBox);
void NotifySliderChanged(HWND dialog, int index);

LRESULT CALLBACK ValueBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR row);
LRESULT CALLBACK TrackbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR row);

// Set between a button press on a trackbar and its release or the loss of the capture.
extern bool gTrackbarDragging;
