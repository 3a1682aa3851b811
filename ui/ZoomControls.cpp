#include "ui/ZoomControls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "diag/ErrorReport.h"
#include "preview/DialogMessages.h"
#include "preview/PreviewView.h"
#include "preview/ZoomLevels.h"
#include "resources/ResourceIds.h"
#include "ui/DialogResources.h"
#include "ui/DialogState.h"

namespace {

struct MenuZoom
{
    UINT command;
    double zoom;
};

constexpr MenuZoom kMenuZooms[] = {
    {IDM_ZOOM_6, 6.25},   {IDM_ZOOM_12, 12.5}, {IDM_ZOOM_25, 25},     {IDM_ZOOM_33, 33.33},  {IDM_ZOOM_50, 50},
    {IDM_ZOOM_66, 66.67}, {IDM_ZOOM_100, 100}, {IDM_ZOOM_200, 200},   {IDM_ZOOM_300, 300},   {IDM_ZOOM_400, 400},
    {IDM_ZOOM_600, 600},  {IDM_ZOOM_800, 800}, {IDM_ZOOM_1000, 1000}, {IDM_ZOOM_1200, 1200}, {IDM_ZOOM_1600, 1600},
};

void ZoomTo(HWND dialog, double zoom, const ScaledPoint* anchor = nullptr)
{
    UpdateZoomReadout(dialog, ApplyZoom(dialog, anchor, zoom));
}

void ShowStepButton(HWND dialog, int id, bool enabled, HBITMAP normal, HBITMAP disabled)
{
    HWND button = GetDlgItem(dialog, id);
    EnableWindow(button, enabled);
    HBITMAP image = enabled ? normal : disabled;
    if (image != nullptr)
        SendMessageA(button, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}

} // namespace

double CurrentZoom()
{
    return gView.zoom;
}

void ZoomInOneStep(HWND dialog, const ScaledPoint* anchor)
{
    ZoomTo(dialog, NextZoomIn(gView.zoom), anchor);
}

void ZoomOutOneStep(HWND dialog, const ScaledPoint* anchor)
{
    ZoomTo(dialog, NextZoomOut(gView.zoom), anchor);
}

void ZoomToRectangle(HWND dialog, POINT a, POINT b)
{
    const ScaledPoint p = ViewPointAt(a);
    const ScaledPoint q = ViewPointAt(b);
    const LONG left = LONG(std::min(p.x, q.x));
    const LONG top = LONG(std::min(p.y, q.y));
    const LONG w = std::max(LONG(std::abs(p.x - q.x)), LONG(1));
    const LONG h = std::max(LONG(std::abs(p.y - q.y)), LONG(1));
    const RECT area = DisplayInnerRect();
    const double z = gView.zoom;
    const double zoom = std::min((area.right - area.left) * z / w, (area.bottom - area.top) * z / h);
    const ScaledPoint centre{double(left + w / 2), double(top + h / 2)};
    ZoomTo(dialog, std::clamp(zoom, kMinimumZoom, kMaximumZoom), &centre);
}

void FitInView(HWND dialog)
{
    const RECT inner = DisplayInnerRect();
    const RECT& image = gView.imageBounds;
    const double width = std::max<LONG>(image.right - image.left, 1);
    const double height = std::max<LONG>(image.bottom - image.top, 1);
    const double zoom = 100.0 * std::min((inner.right - inner.left) / width, (inner.bottom - inner.top) / height);
    ZoomTo(dialog, std::clamp(zoom, kMinimumZoom, kMaximumZoom));
}

void FitOnScreen(HWND dialog)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        MoveWindow(dialog, work.left, work.top, work.right - work.left, work.bottom - work.top, TRUE);
    }
    FitInView(dialog);
}

void UpdateZoomReadout(HWND dialog, double zoom)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%-3.2f%%", zoom);
    SetDlgItemTextA(dialog, IDC_ZOOM_READOUT, text);
    ShowStepButton(dialog, IDC_ZOOM_IN, zoom < kMaximumZoom, gResources.zoomIn, gResources.zoomInDisabled);
    ShowStepButton(dialog, IDC_ZOOM_OUT, zoom > kMinimumZoom, gResources.zoomOut, gResources.zoomOutDisabled);
    PostMessageA(GetDlgItem(dialog, IDC_PREVIEW), WM_UPDATETOOLCURSOR, 0, 0);
}

void TrackZoomMenu(HWND dialog, int x, int y, UINT alignment)
{
    HMENU menu = LoadMenuA(gDialog.instance, MAKEINTRESOURCEA(IDR_ZOOM_MENU));
    if (menu == nullptr)
        return;
    SetLastError(0);
    const UINT command = UINT(TrackPopupMenu(GetSubMenu(menu, 0), alignment | TPM_RETURNCMD, x, y, 0, dialog, nullptr));
    const DWORD error = GetLastError();
    DestroyMenu(menu);
    if (command == 0) {
        // Dismissed without a choice, unless the system says the menu failed.
        if (error != 0)
            ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "TrackPopupMenu() failed with error code 0x%X",
                        unsigned(error));
        return;
    }
    for (const MenuZoom& level : kMenuZooms) {
        if (level.command == command) {
            ZoomTo(dialog, level.zoom);
            return;
        }
    }
    switch (command) {
    case IDM_ACTUAL_PIXELS: ZoomTo(dialog, kActualPixels); break;
    case IDM_FIT_IN_VIEW_MENU: FitInView(dialog); break;
    case IDM_FIT_ON_SCREEN_MENU: FitOnScreen(dialog); break;
    default:
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "TrackPopupMenu() returned unexpected value 0x%X",
                    command);
        break;
    }
}

bool OnPreviewScrollBar(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    HWND bar = reinterpret_cast<HWND>(lParam);
    // The message carries 16 bits of the thumb's position; a zoomed image is wider than that.
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    if (bar != nullptr)
        GetScrollInfo(bar, SB_CTL, &info);
    return OnScrollBarMessage(bar, LOWORD(wParam), info.nTrackPos);
}
