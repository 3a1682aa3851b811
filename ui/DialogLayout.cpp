#include "ui/DialogLayout.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "diag/ErrorReport.h"
#include "preview/Rects.h"
#include "resources/ResourceIds.h"
#include "ui/DialogState.h"

namespace {

// Which edges of a control follow the dialog's size.
constexpr uint32_t kFollowWidth = 1;
constexpr uint32_t kFollowHeight = 2;
constexpr uint32_t kFollowBoth = kFollowWidth | kFollowHeight;

struct Anchoring
{
    int id;
    uint32_t topLeft;     // the left edge follows the width change, the top edge the height change
    uint32_t bottomRight; // the right edge follows the width change, the bottom edge the height change
};

// Every control not listed keeps its size and its distance from the right edge: the settings panel, OK
// and Cancel, the Settings list.
constexpr Anchoring kDefaultAnchoring{0, kFollowWidth, kFollowWidth};
constexpr Anchoring kAnchoring[] = {
    {IDC_PREVIEW, 0, kFollowBoth},
    {IDC_PREVIEW_FRAME, 0, kFollowBoth},
    {IDC_HAND_TOOL, 0, 0},
    {IDC_ZOOM_TOOL, 0, 0},
    {IDC_DELETE_TOOL, 0, 0},
    {IDC_VERTICAL_SCROLL, kFollowWidth, kFollowBoth},
    {IDC_HORIZONTAL_SCROLL, kFollowHeight, kFollowBoth},
    {IDC_PROGRESS, kFollowHeight, kFollowHeight},
    {IDC_ZOOM_OUT, kFollowHeight, kFollowHeight},
    {IDC_ZOOM_IN, kFollowHeight, kFollowHeight},
    {IDC_PRODUCT_MARK, kFollowHeight, kFollowHeight},
    {IDC_ZOOM_READOUT, kFollowHeight, kFollowHeight},
    {IDC_ZOOM_ARROW, kFollowHeight, kFollowHeight},
    {IDC_HELP_AND_SUPPORT, kFollowBoth, kFollowBoth},
    {IDC_PREVIEW_CHECK, kFollowBoth, kFollowBoth},
    {IDC_SIZE_GRIP, kFollowBoth, kFollowBoth},
};

struct DialogItem
{
    HWND window;
    uint32_t id;
    RECT initial; // client coordinates in the template's layout
    uint32_t topLeft;
    uint32_t bottomRight;
    RECT current; // client coordinates now
};

constexpr int kMaxDialogItems = 100;
constexpr UINT_PTR kSizeGripSubclass = 1;

struct InitialDialogItems
{
    DialogItem items[kMaxDialogItems];
    int16_t count;
    bool recorded;      // the rectangles below hold the template's size
    RECT initialWindow; // screen coordinates
    RECT initialClient;
};

InitialDialogItems gLayout{};

const Anchoring& AnchoringOf(int id)
{
    for (const Anchoring& anchoring : kAnchoring)
        if (anchoring.id == id)
            return anchoring;
    return kDefaultAnchoring;
}

BOOL CALLBACK RecordDialogItem(HWND control, LPARAM dialogWindow)
{
    HWND dialog = reinterpret_cast<HWND>(dialogWindow);
    // A control's own children (a combo box's edit, say) move with it.
    if (GetParent(control) != dialog)
        return TRUE;
    if (gLayout.count >= kMaxDialogItems) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "Number of controls has exceeded InitialDialogItems[] table size");
        return FALSE;
    }
    DialogItem& item = gLayout.items[gLayout.count++];
    item.window = control;
    item.id = uint32_t(GetDlgCtrlID(control));
    GetWindowRect(control, &item.initial);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&item.initial), 2);
    const Anchoring& anchoring = AnchoringOf(int(item.id));
    item.topLeft = anchoring.topLeft;
    item.bottomRight = anchoring.bottomRight;
    item.current = item.initial;
    return TRUE;
}

RECT Anchored(const DialogItem& item, int dx, int dy)
{
    RECT r = item.initial;
    if (item.topLeft & kFollowWidth)
        r.left += dx;
    if (item.topLeft & kFollowHeight)
        r.top += dy;
    if (item.bottomRight & kFollowWidth)
        r.right += dx;
    if (item.bottomRight & kFollowHeight)
        r.bottom += dy;
    return r;
}

// Adds the move of one control to the batch; returns the batch, null when the move failed (the system
// has then dropped the batch). Only the old and the new place are repainted, without erasing.
HDWP RepositionItem(HWND dialog, DialogItem& item, RECT r, HDWP batch)
{
    // In a dialog smaller than its template (minimised, or on a screen too small for it) anchored edges
    // can cross; the control then gets no size rather than a negative one.
    if (r.left > r.right)
        r.left = r.right;
    if (r.top > r.bottom)
        r.top = r.bottom;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    InvalidateRect(dialog, &item.current, FALSE);
    batch = DeferWindowPos(batch, item.window, nullptr, r.left, r.top, width, height,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER);
    if (batch == nullptr) {
        ReportError(ErrorSite{__LINE__, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected,
                    "DeferWindowPos() failed. Control ID = %u, New Position = (%d,%d), New Width = %d, New Height "
                    "= %d ",
                    item.id, int(r.left), int(r.top), width, height);
        return nullptr;
    }
    InvalidateRect(dialog, &r, FALSE);
    item.current = r;
    return batch;
}

void ReportBatchLost(uint32_t line)
{
    ReportError(ErrorSite{line, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "RepositionItem() failed ");
}

// The size grip is a plain icon; answering the hit test makes the system show the sizing cursor over it,
// and a press on it starts sizing the dialog, not the icon.
LRESULT CALLBACK SizeGripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    switch (message) {
    case WM_NCHITTEST: return HTBOTTOMRIGHT;
    case WM_NCLBUTTONDOWN:
        if (wParam == HTBOTTOMRIGHT)
            return SendMessageA(GetParent(window), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, lParam);
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(window, SizeGripProc, id); break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void BuildInitialDialogItems(HWND dialog)
{
    gLayout = InitialDialogItems{};
    GetWindowRect(dialog, &gLayout.initialWindow);
    GetClientRect(dialog, &gLayout.initialClient);
    gLayout.recorded = true;
    EnumChildWindows(dialog, RecordDialogItem, reinterpret_cast<LPARAM>(dialog));
}

void ForgetDialogItems()
{
    gLayout = InitialDialogItems{};
}

bool RepositionControls(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    const int dx = RectWidth(client) - RectWidth(gLayout.initialClient);
    const int dy = RectHeight(client) - RectHeight(gLayout.initialClient);

    // One batch: the controls move together, each repainting once.
    HDWP batch = BeginDeferWindowPos(gLayout.count);
    if (batch == nullptr) {
        ReportError(ErrorSite{__LINE__, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected,
                    "BeginDeferWindowPos() failed");
        return false;
    }
    for (int i = 0; i < gLayout.count; ++i) {
        DialogItem& item = gLayout.items[i];
        batch = RepositionItem(dialog, item, Anchored(item, dx, dy), batch);
        if (batch == nullptr) {
            ReportBatchLost(__LINE__);
            return false;
        }
    }
    if (!EndDeferWindowPos(batch)) {
        ReportError(ErrorSite{__LINE__, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected,
                    "EndDeferWindowPos() failed");
        return false;
    }
    return true;
}

bool SetMinimumTrackingSize(MINMAXINFO* info)
{
    if (!gLayout.recorded)
        return false;
    info->ptMinTrackSize.x = RectWidth(gLayout.initialWindow);
    info->ptMinTrackSize.y = RectHeight(gLayout.initialWindow);
    return true;
}

void PlaceDialog(HWND dialog, const RECT& rect)
{
    const int64_t screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int64_t screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    // In 64 bits: a damaged settings file may hold any rectangle.
    int64_t width = int64_t(rect.right) - rect.left;
    int64_t height = int64_t(rect.bottom) - rect.top;
    // Only the primary monitor's quadrant counts: a place left of or above it, where a monitor may since
    // have been unplugged, is not restored.
    if (rect.left >= 0 && rect.top >= 0 && rect.right <= screenWidth && rect.bottom <= screenHeight && width > 0 &&
        height > 0) {
        MoveWindow(dialog, rect.left, rect.top, int(width), int(height), TRUE);
    } else {
        if (width <= 0 || height <= 0 || width > screenWidth || height > screenHeight) {
            RECT fallback = gLayout.initialWindow;
            if (!gLayout.recorded)
                GetWindowRect(dialog, &fallback);
            width = RectWidth(fallback);
            height = RectHeight(fallback);
        }
        MoveWindow(dialog, 0, 0, int(width), int(height), TRUE);
        CenterDialog(dialog);
    }
    GetWindowRect(dialog, &gDialog.currentRect);
}

void CenterDialog(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    HWND reference = owner != nullptr ? owner : GetDesktopWindow();
    RECT area;
    GetClientRect(reference, &area);
    MapWindowPoints(reference, nullptr, reinterpret_cast<POINT*>(&area), 2);
    RECT window;
    GetWindowRect(dialog, &window);
    const int width = RectWidth(window);
    const int height = RectHeight(window);
    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);

    // Slightly left of the owner's centre, by about a caption height, and a third of the free height
    // down rather than half: the dialog sits where the eye expects it.
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const bool systemMenu = (GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
    const int shift = systemMenu ? caption : caption + (caption / 3 - caption) / 2;

    int x = area.left + std::max<int>(RectWidth(area) - width, 0) / 2 - shift;
    if (x + width > screenWidth)
        x = std::max(screenWidth - width, 0);
    int y = area.top + std::max<int>(RectHeight(area) - height, 0) / 3;
    if (y + height > screenHeight)
        y = std::max(screenHeight - height, 0);
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SubclassLayoutControls(HWND dialog)
{
    SetWindowSubclass(GetDlgItem(dialog, IDC_SIZE_GRIP), SizeGripProc, kSizeGripSubclass, 0);
}

void PaintDialog(HWND dialog, HDC memoryDC, const RECT& paint)
{
    SetMapMode(memoryDC, MM_TEXT);
    SetWindowOrgEx(memoryDC, 0, 0, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(memoryDC, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(memoryDC, OPAQUE);
    const bool everything = IsRectEmpty(&paint);
    // In the table's order, which is the template's: group boxes come before the controls inside them.
    for (int i = 0; i < gLayout.count; ++i) {
        const DialogItem& item = gLayout.items[i];
        RECT overlap;
        if (!everything && !IntersectRect(&overlap, &item.current, &paint))
            continue;
        POINT origin;
        SetWindowOrgEx(memoryDC, -item.current.left, -item.current.top, &origin);
        SendMessageA(item.window, WM_PRINT, reinterpret_cast<WPARAM>(memoryDC),
                     PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT);
        SetWindowOrgEx(memoryDC, origin.x, origin.y, nullptr);
    }
}
