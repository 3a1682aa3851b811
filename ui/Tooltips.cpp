#include "ui/Tooltips.h"

#include <commctrl.h>

namespace {

constexpr int kAutoPopMilliseconds = 30000;
// The longest texts (up to about 130 characters) wrap instead of running across the screen.
constexpr int kMaximumTipWidth = 320;

} // namespace

HWND CreateDialogTooltips(HWND dialog)
{
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    if (tooltip == nullptr)
        return nullptr;
    // The automatic setting derives every delay from one value; the display time is then lengthened so
    // that the long texts can be read to the end.
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(3 * GetDoubleClickTime(), 0));
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kAutoPopMilliseconds, 0));
    SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, kMaximumTipWidth);
    return tooltip;
}

void AddTooltip(HWND tooltip, HWND dialog, HWND control, const char* text)
{
    if (tooltip == nullptr || control == nullptr)
        return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text); // copied by the tooltip control
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void AddTooltip(HWND tooltip, HWND dialog, int controlId, const char* text)
{
    AddTooltip(tooltip, dialog, GetDlgItem(dialog, controlId), text);
}
