#include "ui/PreviewTools.h"

#include <commctrl.h>

#include <initializer_list>

#include "preview/DialogMessages.h"
#include "preview/PreviewView.h"
#include "preview/ProxyDisplay.h"
#include "preview/ZoomLevels.h"
#include "resources/ResourceIds.h"
#include "ui/DialogResources.h"
#include "ui/DialogState.h"
#include "ui/ToolGestures.h"
#include "ui/Tooltips.h"
#include "ui/UISettings.h"
#include "ui/ZoomControls.h"

namespace {

constexpr UINT_PTR kZoomButtonSubclass = 1;

struct ToolState
{
    uint32_t tool;         // module-wide: a later dialog starts with the tool the last one ended with
    bool savedToolApplied; // once per module load, the saved tool is chosen when the preview first shows
    HWND dialog;
    HWND display;
    HHOOK keyboardHook;
    HCURSOR current;
    HCURSOR drag;
};

ToolState gTools{kNoTool, false, nullptr, nullptr, nullptr, nullptr, nullptr};

// Ctrl and Alt change the cursor at once, without the mouse moving.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM key, LPARAM flags)
{
    if ((code == HC_ACTION || code == HC_NOREMOVE) && (key == VK_CONTROL || key == VK_MENU) &&
        gTools.display != nullptr)
        PostMessageA(gTools.display, WM_UPDATETOOLCURSOR, 0, 0);
    return CallNextHookEx(nullptr, code, key, flags);
}

HCURSOR ZoomCursor(bool out)
{
    const double zoom = CurrentZoom();
    if (out)
        return zoom > kMinimumZoom ? gResources.zoomOutCursor : gResources.zoomLimit;
    return zoom < kMaximumZoom ? gResources.zoomInCursor : gResources.zoomLimit;
}

void ShowIcon(int id, HICON icon)
{
    if (icon != nullptr)
        SendDlgItemMessageA(gTools.dialog, id, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

LRESULT CALLBACK ZoomButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    // The read-out and the arrow share this procedure only to skip erasing.
    const int control = GetDlgCtrlID(window);
    const bool step = control == IDC_ZOOM_IN || control == IDC_ZOOM_OUT;
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        if (step) {
            HBITMAP pressed = control == IDC_ZOOM_IN ? gResources.zoomInPressed : gResources.zoomOutPressed;
            SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(pressed));
        }
        break;
    case WM_LBUTTONUP:
        // The step shows the button's normal (or, at the end of the range, disabled) picture again.
        if (control == IDC_ZOOM_IN)
            ZoomInOneStep(gTools.dialog, nullptr);
        else if (control == IDC_ZOOM_OUT)
            ZoomOutOneStep(gTools.dialog, nullptr);
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(window, ZoomButtonProc, id); break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void OnFirstDrawn()
{
    if (!gTools.savedToolApplied) {
        gTools.savedToolApplied = true;
        SelectTool(GetSavedTool());
    }
    UpdateToolCursor(false);
}

void SetCurrentCursor()
{
    SetCursor(gTools.current);
}

void OnDisplayDestroyed()
{
    if (gTools.keyboardHook != nullptr)
        UnhookWindowsHookEx(gTools.keyboardHook);
    gTools.keyboardHook = nullptr;
    EndToolGestures();
    gTools.display = nullptr;
}

} // namespace

void InitTools(HWND dialog, HWND tooltip)
{
    gTools.dialog = dialog;
    gTools.display = GetDlgItem(dialog, IDC_PREVIEW);
    gTools.keyboardHook = SetWindowsHookExA(WH_KEYBOARD, KeyboardHookProc, nullptr, GetCurrentThreadId());
    gTools.current = gTools.drag = LoadCursorA(nullptr, IDC_ARROW);
    SetDisplayInputHandlers(DisplayInputHandlers{OnToolMessage, SetCurrentCursor, OnFirstDrawn, OnDisplayDestroyed});
    for (int id : {IDC_ZOOM_IN, IDC_ZOOM_OUT, IDC_ZOOM_READOUT, IDC_ZOOM_ARROW})
        SetWindowSubclass(GetDlgItem(dialog, id), ZoomButtonProc, kZoomButtonSubclass, 0);
    AddTooltip(tooltip, dialog, IDC_ZOOM_IN, "Zoom In One Step (CNTL +)");
    AddTooltip(tooltip, dialog, IDC_ZOOM_OUT, "Zoom Out One Step (CNTL -)");
    AddTooltip(tooltip, dialog, IDC_ZOOM_READOUT, "Current zoom level");
    AddTooltip(tooltip, dialog, IDC_ZOOM_ARROW, "Select a zoom level (V)");
    AddTooltip(tooltip, dialog, IDC_HAND_TOOL, "Hand Tool (H) - use this tool to move the image in the display area");
    AddTooltip(tooltip, dialog, IDC_ZOOM_TOOL,
               "Zoom Tool (Z) - use this tool to zoom the image in or out, double click to go to 100%");
    AddTooltip(tooltip, dialog, IDC_DELETE_TOOL,
               "Delete Tool (X) - use this tool to toggle unwanted spikes off, drag to do multiples; hold down the "
               "Alt key to toggle them back on");
}

void SelectTool(uint32_t tool)
{
    ShowIcon(IDC_HAND_TOOL, tool == kHandTool ? gResources.handSelected : gResources.hand);
    ShowIcon(IDC_ZOOM_TOOL, tool == kZoomTool ? gResources.zoomSelected : gResources.zoom);
    ShowIcon(IDC_DELETE_TOOL, tool == kDeleteTool ? gResources.removeSelected : gResources.remove);
    if (tool == gTools.tool)
        return;
    gTools.tool = tool;
    SetSavedTool(tool);
    if (gTools.display != nullptr)
        PostMessageA(gTools.display, WM_UPDATETOOLCURSOR, 0, 0);
}

uint32_t CurrentTool()
{
    return gTools.tool;
}

void UpdateToolCursor(bool ignoreKeys)
{
    const bool alt = !ignoreKeys && KeyHeld(VK_MENU);
    const bool ctrl = !ignoreKeys && KeyHeld(VK_CONTROL);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR current = arrow;
    HCURSOR drag = arrow;
    switch (gTools.tool) {
    case kHandTool:
        if (alt || ctrl) {
            current = drag = ZoomCursor(alt);
        } else {
            current = gResources.openHand;
            drag = gResources.closedHand;
        }
        break;
    case kZoomTool: current = drag = ZoomCursor(alt); break;
    case kDeleteTool: current = drag = alt ? gResources.restoreCursor : gResources.deleteCursor; break;
    default: break;
    }
    gTools.current = current != nullptr ? current : arrow;
    gTools.drag = drag != nullptr ? drag : arrow;
    if (gTools.display != nullptr)
        SetClassLongPtrA(gTools.display, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(gTools.current));
}

bool KeyHeld(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

HCURSOR CurrentToolCursor()
{
    return gTools.current;
}

HCURSOR DragToolCursor()
{
    return gTools.drag;
}
