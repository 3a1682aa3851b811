#include <windows.h>

#include <commctrl.h>

#include "resources/ResourceIds.h"
#include "ui/ControlSubclasses.h"
#include "ui/DialogState.h"

namespace {

constexpr UINT_PTR kProgressSubclass = 1;

LRESULT CALLBACK ProgressBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    LRESULT result = 0;
    switch (message) {
    case WM_NCPAINT: break;
    case WM_ERASEBKGND:
        if (gDialog.progressBrush != nullptr) {
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, gDialog.progressBrush);
            result = 1;
        } else {
            result = DefSubclassProc(window, message, wParam, lParam);
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, ProgressBarProc, id);
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    default: result = DefSubclassProc(window, message, wParam, lParam); break;
    }
    return result;
}

} // namespace

bool SubclassProgressBar(HWND dialog)
{
    gDialog.progressBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    SetWindowSubclass(GetDlgItem(dialog, IDC_PROGRESS), ProgressBarProc, kProgressSubclass, 0);
    return gDialog.progressBrush != nullptr;
}
