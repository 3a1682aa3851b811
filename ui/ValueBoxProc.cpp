// The value box of a slider row: a RichEdit box that takes only what can be part of a number, steps
// the row with the arrow and page keys, and draws itself for the dialog's off-screen painting.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include "ui/SliderTable.h"
#include "ui/SliderValues.h"
#include "ui/Sliders.h"

namespace {

bool AcceptsCharacter(WPARAM character)
{
    return (character >= '0' && character <= '9') || character == '.' || character == '-' || character == '+' ||
           character == VK_BACK;
}

LRESULT OnKeyDown(HWND window, int index, WPARAM key, LPARAM lParam)
{
    const SliderBinding& row = gSliders[index];
    const int32_t repeat = LOWORD(lParam);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    HWND dialog = GetParent(window);
    switch (key) {
    case VK_PRIOR: StepSlider(dialog, index, row.pageStep * repeat, true); return 0;
    case VK_NEXT: StepSlider(dialog, index, row.pageStep * repeat, false); return 0;
    case VK_UP: StepSlider(dialog, index, (ctrl ? row.ctrlStep : row.lineStep) * repeat, true); return 0;
    case VK_DOWN: StepSlider(dialog, index, (ctrl ? row.ctrlStep : row.lineStep) * repeat, false); return 0;
    default: return DefSubclassProc(window, WM_KEYDOWN, key, lParam);
    }
}

// What the box looks like, drawn into another device context: the dialog composes its picture
// off-screen and asks each control for its own.
void PrintValueBox(HWND window, HDC dc, int index)
{
    const SliderBinding& row = gSliders[index];
    RECT bounds;
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    DrawEdge(dc, &bounds, EDGE_SUNKEN, BF_RECT);
    RECT inside = bounds;
    InflateRect(&inside, -2, -2);
    FillRect(dc, &inside, GetSysColorBrush(COLOR_WINDOW));

    char text[32] = "";
    if (row.field != nullptr)
        FormatSliderValue(row, *row.field, text, sizeof text);
    RECT format{};
    SendMessageA(window, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    OffsetRect(&format, 2, 2); // client to window coordinates: inside the two-pixel border
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &format, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (row.active) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
        RECT selection{3, 3, extent.cx + 4, extent.cy + 3};
        InvertRect(dc, &selection);
    }
    SelectObject(dc, oldFont);
}

} // namespace

LRESULT CALLBACK ValueBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR row)
{
    const int index = int(row);
    SliderBinding& binding = gSliders[index];
    LRESULT result = 0;
    switch (message) {
    case WM_SETFOCUS:
        binding.active = 1;
        result = DefSubclassProc(window, message, wParam, lParam);
        SelectWholeText(window);
        break;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != window) {
            binding.active = 0;
            if (binding.field != nullptr)
                ShowSliderValue(GetParent(window), index, *binding.field);
        }
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    case WM_CHAR:
        if (AcceptsCharacter(wParam))
            result = DefSubclassProc(window, message, wParam, lParam);
        else if (wParam != VK_TAB)
            MessageBeep(MB_ICONHAND);
        break;
    case WM_KEYDOWN: result = OnKeyDown(window, index, wParam, lParam); break;
    case WM_ERASEBKGND: result = 1; break;
    case WM_PRINT: PrintValueBox(window, reinterpret_cast<HDC>(wParam), index); break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, ValueBoxProc, id);
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    default: result = DefSubclassProc(window, message, wParam, lParam); break;
    }
    return result;
}
