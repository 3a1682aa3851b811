#include "ui/Sliders.h"

#include <commctrl.h>
#include <richedit.h>

#include "preview/DialogMessages.h"
#include "ui/DialogState.h"
#include "ui/SliderTable.h"
#include "ui/SliderValues.h"
#include "ui/Tooltips.h"

namespace {

constexpr UINT_PTR kValueBoxSubclass = 1;
constexpr UINT_PTR kTrackbarSubclass = 2;
constexpr int kTextCapacity = 32;

} // namespace

void SetTrackbarPosition(int index, int32_t value)
{
    const SliderBinding& row = gSliders[index];
    // A row that reaches below zero goes to its minimum first, so that the thumb is always moved, and
    // redrawn, from a known place.
    if (row.minimum < 0)
        SendMessageA(row.trackbar, TBM_SETPOS, TRUE, row.minimum);
    SendMessageA(row.trackbar, TBM_SETPOS, TRUE, value);
}

void SelectWholeText(HWND valueBox)
{
    SendMessageA(valueBox, EM_SETSEL, 0, -1);
}

void NotifySliderChanged(HWND dialog, int index)
{
    SendMessageA(dialog, WM_SLIDERCHANGED, reinterpret_cast<WPARAM>(gSliders[index].valueBox), 0);
}

void BindSlider(HWND dialog, int index, int16_t* field)
{
    SliderBinding& row = gSliders[index];
    row.field = field;
    row.trackbar = GetDlgItem(dialog, row.trackbarId);
    row.valueBox = GetDlgItem(dialog, row.valueBoxId);
    SetWindowSubclass(row.trackbar, TrackbarProc, kTrackbarSubclass, DWORD_PTR(index));
    SetWindowSubclass(row.valueBox, ValueBoxProc, kValueBoxSubclass, DWORD_PTR(index));
    SendMessageA(row.valueBox, EM_EXLIMITTEXT, 0, row.textLimit);
    SendMessageA(row.trackbar, TBM_SETRANGEMIN, FALSE, row.minimum);
    SendMessageA(row.trackbar, TBM_SETRANGEMAX, TRUE, row.maximum);
    SendMessageA(row.trackbar, TBM_SETPAGESIZE, 0, row.pageStep);
    SendMessageA(row.trackbar, TBM_SETLINESIZE, 0, row.lineStep);
    SendMessageA(row.valueBox, EM_SETEVENTMASK, 0, ENM_CHANGE);

    const int32_t value = ClampToRow(row, *field);
    SetTrackbarPosition(index, value);
    ShowSliderValue(dialog, index, value);
    *field = int16_t(value);

    AddTooltip(gDialog.tooltip, dialog, row.valueBox, row.valueBoxTip);
    AddTooltip(gDialog.tooltip, dialog, row.trackbar, row.trackbarTip);
}

void ShowSliderValue(HWND, int index, int32_t value)
{
    const SliderBinding& row = gSliders[index];
    if (value < row.minimum || value > row.maximum)
        return;
    char text[kTextCapacity];
    FormatSliderValue(row, value, text, sizeof text);
    // The program's own text must not come back as an edit of the user's.
    const LRESULT mask = SendMessageA(row.valueBox, EM_GETEVENTMASK, 0, 0);
    SendMessageA(row.valueBox, EM_SETEVENTMASK, 0, mask & ~LRESULT(ENM_CHANGE));
    SetWindowTextA(row.valueBox, text);
    if (row.active)
        SelectWholeText(row.valueBox);
    SendMessageA(row.valueBox, EM_SETEVENTMASK, 0, mask);
}

void ReadValueBox(HWND dialog, int index)
{
    SliderBinding& row = gSliders[index];
    if (row.field == nullptr)
        return;
    char text[kTextCapacity] = {};
    GetWindowTextA(row.valueBox, text, kTextCapacity);
    const int32_t value = ParseSliderText(row, text, *row.field);
    if (!row.active)
        return;
    if (value != *row.field) {
        *row.field = int16_t(value);
        NotifySliderChanged(dialog, index);
    }
    SetTrackbarPosition(index, value);
}

void StepSlider(HWND dialog, int index, int32_t amount, bool upward)
{
    SliderBinding& row = gSliders[index];
    const int32_t position = int32_t(SendMessageA(row.trackbar, TBM_GETPOS, 0, 0));
    const int32_t value = StepValue(row, position, amount, upward);
    SetTrackbarPosition(index, value);
    ShowSliderValue(dialog, index, value);
    const bool changed = value != *row.field;
    *row.field = int16_t(value);
    if (changed)
        NotifySliderChanged(dialog, index);
}

void RefreshSliders(HWND dialog)
{
    for (int index = 0; index < kSliderCount; ++index) {
        SliderBinding& row = gSliders[index];
        if (row.field == nullptr)
            continue;
        const int32_t value = ClampToRow(row, *row.field);
        SetTrackbarPosition(index, value);
        ShowSliderValue(dialog, index, value);
        *row.field = int16_t(value);
    }
}

void FocusSlider(HWND dialog, int index)
{
    SetFocus(gSliders[index].valueBox);
    SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEACCEL | UISF_ACTIVE), 0);
}
