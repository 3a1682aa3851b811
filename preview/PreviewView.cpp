#include "preview/PreviewView.h"

#include <algorithm>
#include <cstdint>

#include "preview/DialogMessages.h"
#include "preview/Rects.h"
#include "preview/ScaleRect.h"
#include "preview/ZoomLevels.h"
#include "resources/ResourceIds.h"

PreviewView gView;

namespace {

constexpr int kFarAway = 0x3FFFFFFF; // a scroll delta that the limits always cut

void RecomputeViewRects()
{
    const RECT& inner = gView.inner;
    const int left = static_cast<int>(gView.centreX) - RectWidth(inner) / 2;
    const int top = static_cast<int>(gView.centreY) - RectHeight(inner) / 2;
    gView.viewRect = RECT{left, top, left + RectWidth(inner), top + RectHeight(inner)};
    const RECT bounds = ScaledImageBounds(gView.zoom);
    RECT shown;
    if (!IntersectRect(&shown, &gView.viewRect, &bounds))
        shown = RECT{0, 0, 0, 0};
    else
        OffsetRect(&shown, inner.left - left, inner.top - top);
    gView.imageRect = shown;
}

// An image narrower than the view is centred in it; a wider one moves until its edge meets the view's.
double ClampCentre(double centre, int low, int high, int view)
{
    const double slack = high - low < view ? (view - (high - low)) / 2.0 : 0.0;
    centre = std::max(centre, low - slack + view / 2.0);
    return std::min(centre, high + slack - view / 2.0);
}

struct BarState
{
    HWND bar;
    bool* active;
};

BarState Bar(bool horizontal)
{
    return horizontal ? BarState{gView.horizontalBar, &gView.horizontalActive}
                      : BarState{gView.verticalBar, &gView.verticalActive};
}

// Keeps the last error code for the caller: SetScrollInfo may change it even when it succeeds.
void SetBar(HWND bar, const SCROLLINFO& info, bool redraw)
{
    const DWORD error = GetLastError();
    SetScrollInfo(bar, SB_CTL, &info, redraw);
    SetLastError(error);
}

// The flag that disables a bar without scrolling changes nothing for a bar that was never in use, whose
// empty range already counts as disabled, and leaves such a control enabled: the control follows the bar
// explicitly.
void EnableBar(HWND bar, bool enabled)
{
    const DWORD error = GetLastError();
    EnableWindow(bar, enabled);
    SetLastError(error);
}

void UpdateBar(bool horizontal, int low, int high, int page, int position, bool redraw)
{
    const BarState state = Bar(horizontal);
    if (state.bar == nullptr)
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    if (high - low > page) {
        SCROLLINFO current{};
        current.cbSize = sizeof(current);
        current.fMask = SIF_ALL;
        GetScrollInfo(state.bar, SB_CTL, &current);
        const bool differs =
            current.nMin != low || current.nMax != high - 1 || int(current.nPage) != page || current.nPos != position;
        if (differs || !*state.active) {
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            info.nMin = low;
            info.nMax = high - 1;
            info.nPage = UINT(page);
            info.nPos = position;
            SetBar(state.bar, info, redraw || !*state.active);
        }
        if (!*state.active)
            EnableBar(state.bar, true);
        *state.active = true;
    } else if (*state.active) {
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        SetBar(state.bar, info, true);
        EnableBar(state.bar, false);
        *state.active = false;
    }
}

struct BarLimits
{
    int minimum;
    int lastPage; // the largest position at which a whole page still fits
    int position;
    int page;
    int maximum;
};

BarLimits ReadBar(bool horizontal)
{
    const BarState state = Bar(horizontal);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (state.bar == nullptr || !*state.active || !GetScrollInfo(state.bar, SB_CTL, &info))
        return BarLimits{0, 0, 0, 0, 0};
    const int lastPage = std::max(info.nMin, info.nMax - int(info.nPage) + 1);
    return BarLimits{info.nMin, lastPage, info.nPos, int(info.nPage), info.nMax};
}

int Limited(const BarLimits& bar, int64_t position)
{
    return int(std::clamp<int64_t>(position, bar.minimum, bar.lastPage));
}

// Moves the view so that the bars stand at (horizontal, vertical), already limited.
void MoveViewTo(int horizontal, int vertical)
{
    const ScaledPoint centre{double(horizontal + RectWidth(gView.inner) / 2),
                             double(vertical + RectHeight(gView.inner) / 2)};
    SetZoom(&centre, gView.zoom);
    for (bool horizontalBar : {true, false}) {
        const BarState state = Bar(horizontalBar);
        if (state.bar == nullptr || !*state.active)
            continue;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        info.nPos = horizontalBar ? horizontal : vertical;
        SetBar(state.bar, info, true);
    }
    PostMessageA(gView.dialog, WM_RESTARTPREVIEW, 0, 0);
    RedrawWindow(gView.display, &gView.inner, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
}

} // namespace

void InitPreviewView(HWND dialog, HWND display, const RECT& imageBounds)
{
    gView = PreviewView{};
    gView.dialog = dialog;
    gView.display = display;
    gView.horizontalBar = GetDlgItem(dialog, IDC_HORIZONTAL_SCROLL);
    gView.verticalBar = GetDlgItem(dialog, IDC_VERTICAL_SCROLL);
    gView.imageBounds = imageBounds;
    gView.zoom = kActualPixels;
    // Marked active, so that the first update disables a bar that the image does not need.
    gView.horizontalActive = gView.verticalActive = true;
    gView.inner = DisplayInnerRect();
    SetZoom(nullptr, kActualPixels);
}

RECT ScaledImageBounds(double zoom)
{
    return ScaleRect(gView.imageBounds, 100.0 / zoom);
}

RECT DisplayInnerRect()
{
    RECT inner{0, 0, 0, 0};
    if (gView.display != nullptr && GetClientRect(gView.display, &inner))
        InflateRect(&inner, -1, -1);
    if (inner.right < inner.left)
        inner.right = inner.left;
    if (inner.bottom < inner.top)
        inner.bottom = inner.top;
    return inner;
}

RECT ImageAreaOnScreen()
{
    RECT area = DisplayInnerRect();
    MapWindowPoints(gView.display, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

ScaledPoint ViewPointAt(POINT screen)
{
    POINT client = screen;
    ScreenToClient(gView.display, &client);
    const RECT& shown = gView.imageRect;
    client.x = std::clamp<LONG>(client.x, shown.left, std::max(shown.left, shown.right - 1));
    client.y = std::clamp<LONG>(client.y, shown.top, std::max(shown.top, shown.bottom - 1));
    return ScaledPoint{double(client.x - gView.inner.left + gView.viewRect.left),
                       double(client.y - gView.inner.top + gView.viewRect.top)};
}

void SetZoom(const ScaledPoint* anchor, double zoom)
{
    if (gView.display == nullptr)
        return; // no preview in this dialog
    double x = anchor != nullptr ? anchor->x : gView.centreX;
    double y = anchor != nullptr ? anchor->y : gView.centreY;
    if (zoom != gView.zoom) {
        x *= zoom / gView.zoom;
        y *= zoom / gView.zoom;
    }
    gView.zoom = zoom;
    gView.inner = DisplayInnerRect();
    const RECT bounds = ScaledImageBounds(zoom);
    gView.centreX = ClampCentre(x, bounds.left, bounds.right, RectWidth(gView.inner));
    gView.centreY = ClampCentre(y, bounds.top, bounds.bottom, RectHeight(gView.inner));
    RecomputeViewRects();
}

double ApplyZoom(HWND dialog, const ScaledPoint* anchor, double zoom)
{
    if (gView.display == nullptr)
        return gView.zoom;
    SetZoom(anchor, zoom);
    UpdateScrollBars(zoom, true);
    PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
    InvalidateRect(gView.display, &gView.inner, FALSE);
    return zoom;
}

void UpdateScrollBars(double zoom, bool redraw)
{
    if (gView.display == nullptr)
        return;
    const RECT bounds = ScaledImageBounds(zoom);
    UpdateBar(false, bounds.top, bounds.bottom, RectHeight(gView.inner), gView.viewRect.top, redraw);
    UpdateBar(true, bounds.left, bounds.right, RectWidth(gView.inner), gView.viewRect.left, redraw);
}

ScrollPositions ScrollViewBy(int dx, int dy)
{
    const BarLimits h = ReadBar(true);
    const BarLimits v = ReadBar(false);
    const int horizontal = Limited(h, int64_t(h.position) + dx);
    const int vertical = Limited(v, int64_t(v.position) + dy);
    if (horizontal != h.position || vertical != v.position)
        MoveViewTo(horizontal, vertical);
    return ScrollPositions{horizontal, vertical};
}

ScrollPositions ScrollViewByMoved(int dx, int dy)
{
    const BarLimits h = ReadBar(true);
    const BarLimits v = ReadBar(false);
    const ScrollPositions now = ScrollViewBy(dx, dy);
    return ScrollPositions{now.horizontal - h.position, now.vertical - v.position};
}

bool OnScrollBarMessage(HWND bar, int code, int trackPosition)
{
    const bool horizontal = bar == gView.horizontalBar;
    if (bar == nullptr || (!horizontal && bar != gView.verticalBar))
        return false;
    const BarLimits limits = ReadBar(horizontal);
    if (limits.maximum <= limits.minimum)
        return true;
    int64_t position = limits.position;
    switch (code) {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= limits.page; break;
    case SB_PAGEDOWN: position += limits.page; break;
    case SB_THUMBTRACK: position = trackPosition; break;
    case SB_TOP: position = limits.minimum; break;
    case SB_BOTTOM: position = limits.maximum; break;
    default: break; // SB_THUMBPOSITION and SB_ENDSCROLL keep the position
    }
    const int limited = Limited(limits, position);
    if (limited != limits.position) {
        const BarLimits other = ReadBar(!horizontal);
        MoveViewTo(horizontal ? limited : other.position, horizontal ? other.position : limited);
    }
    return true;
}

ScrollPositions KeyboardScroll(int command, int pages)
{
    const int64_t across = int64_t(ReadBar(true).page) * pages;
    const int64_t down = int64_t(ReadBar(false).page) * pages;
    auto clampDelta = [](int64_t delta) { return int(std::clamp<int64_t>(delta, -kFarAway, kFarAway)); };
    switch (command) {
    case kScrollToTop: return ScrollViewBy(0, -kFarAway);
    case kScrollToBottom: return ScrollViewBy(0, kFarAway);
    case kScrollToLeftEnd: return ScrollViewBy(-kFarAway, 0);
    case kScrollToRightEnd: return ScrollViewBy(kFarAway, 0);
    case kScrollToTopLeft: return ScrollViewBy(-kFarAway, -kFarAway);
    case kScrollToBottomRight: return ScrollViewBy(kFarAway, kFarAway);
    case kScrollPagesUp: return ScrollViewBy(0, clampDelta(-down));
    case kScrollPagesDown: return ScrollViewBy(0, clampDelta(down));
    case kScrollPagesLeft: return ScrollViewBy(clampDelta(-across), 0);
    case kScrollPagesRight: return ScrollViewBy(clampDelta(across), 0);
    default: return ScrollViewBy(0, 0);
    }
}
