#include <windows.h>

#include <commctrl.h>

#include "resources/ResourceIds.h"
#include "ui/ControlSubclasses.h"
#include "ui/DialogResources.h"
#include "ui/DialogState.h"
#include "ui/MainDialog.h"

namespace {

constexpr UINT_PTR kMarkSubclass = 1;

LRESULT CALLBACK ProductMarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    LRESULT result = 0;
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(gResources.link);
        result = TRUE;
        break;
    case WM_LBUTTONUP: ShowAboutBox(GetParent(window)); break;
    case WM_CHAR:
        if (wParam == VK_RETURN)
            ShowAboutBox(GetParent(window));
        else
            result = DefSubclassProc(window, message, wParam, lParam);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, ProductMarkProc, id);
        result = DefSubclassProc(window, message, wParam, lParam);
        break;
    default: result = DefSubclassProc(window, message, wParam, lParam); break;
    }
    return result;
}

} // namespace

void SubclassProductMark(HWND dialog)
{
    SetWindowSubclass(GetDlgItem(dialog, IDC_PRODUCT_MARK), ProductMarkProc, kMarkSubclass, 0);
}
