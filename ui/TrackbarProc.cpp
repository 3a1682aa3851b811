// The trackbar of a slider row. A click beside the thumb jumps straight to the clicked position (rather
// than paging), dragging updates the parameter as the thumb moves, and after the release the focus goes
// to the row's value box, where every keyboard edit happens.
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include "ui/SliderTable.h"
#include "ui/SliderValues.h"
#include "ui/Sliders.h"

bool gTrackbarDragging = false;

namespace {

int32_t TrackbarPosition(HWND trackbar)
{
    return int32_t(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
}

// The field takes the trackbar's position whenever the trackbar moved by itself.
void TakePosition(HWND dialog, int index, bool onlyWhenChanged)
{
    SliderBinding& row = gSliders[index];
    const int32_t position = TrackbarPosition(row.trackbar);
    if (onlyWhenChanged && position == *row.field)
        return;
    *row.field = int16_t(position);
    ShowSliderValue(dialog, index, position);
    NotifySliderChanged(dialog, index);
}

void OnButtonDown(HWND window, int index, LPARAM lParam)
{
    SliderBinding& row = gSliders[index];
    HWND dialog = GetParent(window);
    gTrackbarDragging = true;
    RECT thumb{};
    SendMessageA(window, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    bool jumped = false;
    if (!PtInRect(&thumb, point)) {
        RECT channel{};
        SendMessageA(window, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        const TrackbarGeometry geometry{channel.left, channel.right, thumb.right - thumb.left};
        const int32_t value = PositionUnderClick(row, geometry, point.x, *row.field);
        SetTrackbarPosition(index, value);
        ShowSliderValue(dialog, index, value);
        jumped = value != *row.field;
        *row.field = int16_t(value);
        if (jumped)
            NotifySliderChanged(dialog, index);
    }
    if (!jumped)
        SelectWholeText(row.valueBox);
}

} // namespace

LRESULT CALLBACK TrackbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR row)
{
    const int index = int(row);
    SliderBinding& binding = gSliders[index];
    HWND dialog = GetParent(window);
    LRESULT result = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
        OnButtonDown(window, index, lParam);
        // The trackbar's own handling starts dragging the thumb, which now lies under the mouse.
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    case WM_MOUSEMOVE:
        result = DefSubclassProc(window, message, wParam, lParam);
        if (gTrackbarDragging) {
            TakePosition(dialog, index, false);
            result = 0;
        }
        break;
    case WM_LBUTTONUP:
        gTrackbarDragging = false;
        DefSubclassProc(window, message, wParam, lParam);
        TakePosition(dialog, index, true);
        SetFocus(binding.valueBox);
        SelectWholeText(binding.valueBox);
        break;
    case WM_MOUSEWHEEL:
        // The wheel moves the thumb without telling the dialog; the field follows it here.
        result = DefSubclassProc(window, message, wParam, lParam);
        TakePosition(dialog, index, true);
        break;
    case WM_SETFOCUS:
        // The row is active, but the trackbar shows no focus of its own: keys go to the value box.
        binding.active = 1;
        break;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != binding.valueBox) {
            binding.active = 0;
            ShowSliderValue(dialog, index, *binding.field);
        }
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    case WM_CAPTURECHANGED:
        gTrackbarDragging = false;
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    case WM_CANCELMODE:
        gTrackbarDragging = false;
        SetFocus(binding.valueBox);
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    case WM_ERASEBKGND: result = 1; break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, TrackbarProc, id);
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    default: result = DefSubclassProc(window, message, wParam, lParam); break;
    }
    return result;
}
