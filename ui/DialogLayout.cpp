#include "ui/DialogLayout.h"

#include <algorithm>

void BuildInitialDialogItems(HWND) {}

bool RepositionControls(HWND)
{
    return true;
}

void PlaceDialog(HWND, const RECT&) {}

void CenterDialog(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    HWND reference = owner != nullptr ? owner : GetDesktopWindow();
    RECT area;
    GetClientRect(reference, &area);
    MapWindowPoints(reference, nullptr, reinterpret_cast<POINT*>(&area), 2);
    RECT window;
    GetWindowRect(dialog, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);

    // Slightly left of the owner's centre, by about a caption height, and a third of the free height
    // down rather than half: the dialog sits where the eye expects it.
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const bool systemMenu = (GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
    const int shift = systemMenu ? caption : caption + (caption / 3 - caption) / 2;

    int x = area.left + std::max(int(area.right - area.left) - width, 0) / 2 - shift;
    if (x + width > screenWidth)
        x = std::max(screenWidth - width, 0);
    int y = area.top + std::max(int(area.bottom - area.top) - height, 0) / 3;
    if (y + height > screenHeight)
        y = std::max(screenHeight - height, 0);
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SubclassLayoutControls(HWND) {}

void PaintDialog(HWND dialog, HDC memoryDC, const RECT&)
{
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(memoryDC, &client, GetSysColorBrush(COLOR_BTNFACE));
}

bool SetMinimumTrackingSize(HWND, MINMAXINFO*)
{
    return false;
}

bool AnswerValidRectangles(HWND, WPARAM, LPARAM)
{
    return false;
}
