#include "ui/PreviewTools.h"

#include <windowsx.h>

#include "preview/ProxyDisplay.h"
#include "resources/ResourceIds.h"
#include "ui/Tooltips.h"
#include "ui/ZoomControls.h"

namespace {

bool OnDisplayMessage(HWND display, UINT message, WPARAM, LPARAM lParam, LRESULT* result)
{
    if (message != WM_CONTEXTMENU)
        return false;
    // From the keyboard the message carries no position: the menu opens at the cursor.
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam == -1)
        GetCursorPos(&at);
    TrackZoomMenu(GetParent(display), at.x, at.y, TPM_RIGHTALIGN);
    *result = 0;
    return true;
}

void SetToolCursor()
{
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

} // namespace

void InitTools(HWND dialog, HWND tooltip)
{
    SetDisplayInputHandlers(DisplayInputHandlers{OnDisplayMessage, SetToolCursor, nullptr});
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

void SelectTool(uint32_t) {}

void UpdateToolCursor(bool) {}
