// One flat switch over the messages the main dialog handles; every case leads to the one exit, where a
// failure set while handling the message ends the dialog.
#include "ui/CorvaneProc.h"

#include "preview/DialogMessages.h"
#include "resources/ResourceIds.h"
#include "ui/DialogCommands.h"
#include "ui/DialogLayout.h"
#include "ui/DialogLifetime.h"
#include "ui/DialogResources.h"
#include "ui/DialogState.h"
#include "ui/OffscreenPainting.h"
#include "ui/PreviewTimer.h"
#include "ui/PreviewTools.h"
#include "ui/SettingsList.h"
#include "ui/Sliders.h"
#include "ui/ZoomControls.h"

namespace {

INT_PTR OnWindowPosChanged(HWND dialog, const WINDOWPOS* position)
{
    GetWindowRect(dialog, &gDialog.currentRect);
    if (position->flags & SWP_NOSIZE)
        return FALSE;
    // Answered here, so the default handling sends no WM_SIZE and the layout runs once per change.
    RelayoutDialog(dialog);
    return TRUE;
}

INT_PTR ZoomReadoutBrush(HDC dc, HWND control)
{
    if (GetDlgCtrlID(control) != IDC_ZOOM_READOUT || gResources.windowBrush == nullptr)
        return FALSE;
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(gResources.windowBrush);
}

// A failure ends the dialog the way Cancel does, once.
void EndIfFailed(HWND dialog)
{
    if (gDialog.resultCode == 0 || gDialog.closing)
        return;
    gDialog.ending = true;
    gDialog.closing = true;
    EndDialog(dialog, IDCANCEL);
}

// A caller on another thread waits for nothing the dialog still does after answering.
void ReplyToOtherThread(INT_PTR result)
{
    if ((InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND)
        ReplyMessage(result);
}

} // namespace

extern "C" INT_PTR CALLBACK CorvaneProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    switch (message) {
    case WM_INITDIALOG: result = OnInitDialog(dialog); break;
    case WM_DESTROY: OnDestroyDialog(dialog); break;
    case WM_SIZE:
        RelayoutDialog(dialog);
        result = TRUE;
        break;
    case WM_WINDOWPOSCHANGED: result = OnWindowPosChanged(dialog, reinterpret_cast<const WINDOWPOS*>(lParam)); break;
    case WM_PAINT:
        PaintThroughMemoryBitmap(dialog);
        result = TRUE;
        break;
    case WM_ERASEBKGND:
        // Everything is painted through the memory bitmap; erasing first would only flicker.
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
        result = TRUE;
        break;
    case WM_ACTIVATEAPP:
        if (wParam == FALSE)
            UpdateToolCursor(true);
        break;
    case WM_GETMINMAXINFO: result = SetMinimumTrackingSize(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_COMMAND:
        OnDialogCommand(dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        result = TRUE;
        break;
    case WM_TIMER:
        if (wParam == kPreviewTimer && gDialog.window != nullptr) {
            OnPreviewTick(dialog);
            result = TRUE;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL: result = OnPreviewScrollBar(dialog, message, wParam, lParam); break;
    case WM_CTLCOLORSTATIC:
        result = ZoomReadoutBrush(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        break;
    case WM_SLIDERCHANGED:
        UpdateSettingsSelection(dialog);
        result = TRUE;
        break;
    case WM_PARAMETERSLOADED:
        RefreshSliders(dialog);
        CheckDlgButton(dialog, IDC_OUTPUT_SPIKES_ONLY,
                       gDialog.parameters->outputSpikesOnly ? BST_CHECKED : BST_UNCHECKED);
        result = TRUE;
        break;
    case WM_RESTARTPREVIEW:
        RestartPreview(dialog);
        result = TRUE;
        break;
    default: break;
    }
    EndIfFailed(dialog);
    ReplyToOtherThread(result);
    return result;
}
