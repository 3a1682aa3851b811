#include "preview/ProxyDisplay.h"

#include <algorithm>

#include "preview/DialogMessages.h"
#include "preview/DisplayBitmap.h"
#include "preview/PreviewView.h"
#include "preview/Rects.h"
#include "preview/Regions.h"

namespace {

constexpr const char* kClassName = "ProxyDisplay";
constexpr const char* kLocatingStars = "Locating Stars In Image...";
constexpr int kNoticeIndent = 65;        // the notice starts this far left of the centre
constexpr DWORD kFillRegionBytes = 4036; // room for 250 rectangles; a region that needs more is not filled
constexpr DWORD kDragDashes[] = {5, 7};  // pixels on, pixels off

// The system's Static procedure, which the class builds on for every message it does not handle.
WNDPROC gStaticProc = nullptr;

struct DisplayObjects
{
    HPEN black;
    HBRUSH hollow;
    HBRUSH shadow; // the area outside the image
    HPEN dashed;   // the drag rectangle's second pass
    HPEN dotted;   // the focus frame
};

struct DisplayState
{
    HWND window;
    DisplayObjects objects;
    bool noticePending;      // "Locating Stars In Image..." not drawn yet
    bool fullRepaintPending; // the next paint covers the whole inner rectangle
    bool firstDrawn;         // a paint has shown the preview
    RECT dragRect;           // display coordinates
    bool dragShown;
    DisplayInputHandlers handlers;
};

DisplayState gDisplay;

HPEN WhitePen(DWORD style, DWORD dashCount, const DWORD* dashes)
{
    const LOGBRUSH white{BS_SOLID, RGB(255, 255, 255), 0};
    return ExtCreatePen(PS_GEOMETRIC | style, 1, &white, dashCount, dashes);
}

void CreateDrawingObjects()
{
    DisplayObjects& o = gDisplay.objects;
    o.black = CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
    o.hollow = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
    o.shadow = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    o.dashed = WhitePen(PS_USERSTYLE, 2, kDragDashes);
    o.dotted = WhitePen(PS_DOT, 0, nullptr);
}

void DeleteDrawingObjects()
{
    DisplayObjects& o = gDisplay.objects;
    for (HGDIOBJ object : {HGDIOBJ(o.black), HGDIOBJ(o.shadow), HGDIOBJ(o.dashed), HGDIOBJ(o.dotted)})
        if (object != nullptr)
            DeleteObject(object);
    o = DisplayObjects{};
}

void Outline(HDC dc, const RECT& r, HPEN pen)
{
    SelectObject(dc, gDisplay.objects.hollow);
    SelectObject(dc, pen);
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void DrawFrame(HDC dc)
{
    RECT client;
    GetClientRect(gDisplay.window, &client);
    Outline(dc, client, gDisplay.objects.black);
    if (GetFocus() == gDisplay.window)
        Outline(dc, client, gDisplay.objects.dotted);
}

void DrawDragRectangle(HDC dc)
{
    if (!gDisplay.dragShown)
        return;
    RECT limit = gView.imageRect;
    InflateRect(&limit, 1, 1);
    RECT r;
    if (!IntersectRect(&r, &gDisplay.dragRect, &limit))
        return;
    Outline(dc, r, gDisplay.objects.black);
    Outline(dc, r, gDisplay.objects.dashed);
}

void FillOutsideImage(HDC dc, HRGN fill)
{
    alignas(RGNDATA) unsigned char buffer[kFillRegionBytes];
    auto* data = reinterpret_cast<RGNDATA*>(buffer);
    if (GetRegionData(fill, kFillRegionBytes, data) == 0)
        return;
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        FillRect(dc, &rects[i], gDisplay.objects.shadow);
}

// Copies the part of the update region that shows the image from the display bitmap, fills the rest of
// the inner rectangle with the shadow colour, then the drag rectangle and the frame. Never computes.
void PaintFromBitmap(HDC dc, bool wholeDisplay)
{
    const RECT inner = gView.inner;
    HRGN displayRegion = CreateRectRgnIndirect(&inner);
    if (displayRegion == nullptr)
        ReportSystemFailure(__LINE__, "Could not create DisplayRegion.");
    HRGN imageRegion = CreateRectRgnIndirect(&gView.imageRect);
    if (imageRegion == nullptr)
        ReportSystemFailure(__LINE__, "Could not create ImageRegion.");
    HRGN updateRegion = CreateRectRgnIndirect(&inner);
    if (updateRegion == nullptr)
        ReportSystemFailure(__LINE__, "Could not create UpdateRegion.");
    if (!wholeDisplay && GetUpdateRgn(gDisplay.window, updateRegion, FALSE) == ERROR)
        ReportSystemFailure(__LINE__, "Could not get update region for proxy display.");

    HRGN fillRegion = NewRegion(__LINE__, "Could not create FillRegion.");
    if (CombineRegions(fillRegion, displayRegion, imageRegion, RGN_DIFF, __LINE__,
                       "Could not combine DisplayRegion and ImageRegion.") != ERROR &&
        CombineRegions(fillRegion, fillRegion, updateRegion, RGN_AND, __LINE__,
                       "Could not combine FillRegion and UpdateRegion.") != ERROR)
        FillOutsideImage(dc, fillRegion);

    RECT box;
    if (CombineRegions(imageRegion, imageRegion, updateRegion, RGN_AND, __LINE__,
                       "Could not combine ImageRegion and UpdateRegion.") != ERROR &&
        GetRgnBox(imageRegion, &box) != NULLREGION) {
        const RECT& proxy = gDisplayBitmap.scaledProxyRect;
        BitBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, gDisplayBitmap.displayDC,
               box.left - inner.left + gView.viewRect.left - proxy.left,
               box.top - inner.top + gView.viewRect.top - proxy.top, SRCCOPY);
    }
    DrawDragRectangle(dc);
    DrawFrame(dc);
    for (HRGN* region : {&displayRegion, &imageRegion, &updateRegion, &fillRegion})
        DeleteRegion(*region);
}

bool HasBitmapAtCurrentZoom()
{
    return gDisplayBitmap.bitmap != nullptr && gDisplayBitmap.displayZoom == gView.zoom;
}

void Paint()
{
    HDC dc = GetDC(gDisplay.window);
    if (HasBitmapAtCurrentZoom()) {
        const bool whole = gDisplay.fullRepaintPending;
        gDisplay.fullRepaintPending = false;
        PaintFromBitmap(dc, whole);
        if (!gDisplay.firstDrawn && gDisplay.handlers.onFirstDrawn != nullptr) {
            gDisplay.firstDrawn = true;
            gDisplay.handlers.onFirstDrawn();
        }
    } else {
        // The previous picture stays until the first tiles at this zoom are drawn; that paint then
        // covers everything.
        gDisplay.fullRepaintPending = true;
    }
    if (!ValidateRgn(gDisplay.window, nullptr))
        ReportSystemFailure(__LINE__, "Could not validate entire proxy display.");
    ReleaseDC(gDisplay.window, dc);
}

void PrintInto(HDC dc)
{
    if (HasBitmapAtCurrentZoom()) {
        PaintFromBitmap(dc, true);
        return;
    }
    if (!gDisplay.noticePending)
        return;
    const RECT inner = gView.inner;
    SelectObject(dc, gDisplay.objects.black);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, (inner.right - inner.left) / 2 - kNoticeIndent, (inner.bottom - inner.top) / 2, kLocatingStars,
             int(lstrlenA(kLocatingStars)));
    gDisplay.noticePending = false;
}

void RedrawFrame()
{
    HDC dc = GetDC(gDisplay.window);
    DrawFrame(dc);
    ReleaseDC(gDisplay.window, dc);
}

bool IsToolMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           message == WM_TIMER || message == WM_CAPTURECHANGED || message == WM_UPDATETOOLCURSOR ||
           message == WM_CONTEXTMENU;
}

LRESULT CALLBACK ProxyDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (IsToolMessage(message) && gDisplay.handlers.onMessage != nullptr &&
        gDisplay.handlers.onMessage(window, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_CREATE:
        gDisplay.window = window;
        result = CallWindowProcA(gStaticProc, window, message, wParam, lParam);
        break;
    case WM_DESTROY:
        if (gDisplay.handlers.onDestroy != nullptr)
            gDisplay.handlers.onDestroy();
        ReleasePreviewPipeline();
        DeleteDrawingObjects();
        gView = PreviewView{};
        result = CallWindowProcA(gStaticProc, window, message, wParam, lParam);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (gDisplay.window == window)
            RedrawFrame();
        break;
    case WM_PAINT:
        if (gDisplay.window == window)
            Paint();
        else
            ValidateRgn(window, nullptr);
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        if (gDisplay.window == window)
            PrintInto(reinterpret_cast<HDC>(wParam));
        break;
    case WM_ERASEBKGND:
    case WM_NCHITTEST:
        result = 1; // no erasing; the whole control is client area
        break;
    case WM_SETCURSOR:
        if (gDisplay.handlers.setCursor != nullptr)
            gDisplay.handlers.setCursor();
        result = 1;
        break;
    case WM_GETDLGCODE: result = DLGC_STATIC | DLGC_WANTARROWS; break;
    default: result = CallWindowProcA(gStaticProc, window, message, wParam, lParam); break;
    }
    return result;
}

RECT Spanning(POINT a, POINT b)
{
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// The rectangle's outline reaches one pixel beyond it; the part inside the inner rectangle is redrawn.
void InvalidateAround(const RECT& r)
{
    RECT grown = r;
    InflateRect(&grown, 1, 1);
    RECT clipped;
    if (IntersectRect(&clipped, &grown, &gView.inner))
        InvalidateRect(gDisplay.window, &clipped, FALSE);
}

} // namespace

bool RegisterProxyDisplay(HINSTANCE instance)
{
    WNDCLASSEXA staticClass{};
    staticClass.cbSize = sizeof(staticClass);
    if (!GetClassInfoExA(nullptr, "Static", &staticClass))
        return false;
    gStaticProc = staticClass.lpfnWndProc;
    WNDCLASSEXA display = staticClass;
    display.lpfnWndProc = ProxyDisplayProc;
    display.hInstance = instance;
    display.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    display.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    display.style = CS_OWNDC | CS_NOCLOSE;
    display.lpszClassName = kClassName;
    // A class left from a dialog that never returned serves as well as a new one.
    return RegisterClassExA(&display) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void UnregisterProxyDisplay(HINSTANCE instance)
{
    UnregisterClassA(kClassName, instance);
}

void SetDisplayInputHandlers(const DisplayInputHandlers& handlers)
{
    gDisplay.handlers = handlers;
}

OSErr InitProxyDisplay(HWND dialog, HWND display, const PreviewSource& source)
{
    const DisplayInputHandlers handlers = gDisplay.handlers;
    gDisplay = DisplayState{};
    gDisplay.window = display;
    gDisplay.handlers = handlers;
    gDisplay.noticePending = true;
    gDisplay.fullRepaintPending = true;
    InitPreviewView(dialog, display, ToRect(source.input->rect));
    CreateDrawingObjects();
    return InitPreviewPipeline(dialog, display, source);
}

void SetDragRectangle(POINT a, POINT b, bool show)
{
    const bool none = a.x == kNoCorner || a.y == kNoCorner || b.x == kNoCorner || b.y == kNoCorner;
    RECT r = Spanning(a, b);
    if (!none)
        MapWindowPoints(nullptr, gDisplay.window, reinterpret_cast<POINT*>(&r), 2);
    if (!show) {
        if (gDisplay.dragShown) {
            gDisplay.dragShown = false;
            if (!none)
                InvalidateAround(r);
        }
        return;
    }
    if (!gDisplay.dragShown) {
        gDisplay.dragRect = r;
        gDisplay.dragShown = true;
        RedrawWindow(gDisplay.window, nullptr, nullptr, RDW_INTERNALPAINT);
        return;
    }
    InvalidateAround(gDisplay.dragRect);
    gDisplay.dragRect = r;
}
