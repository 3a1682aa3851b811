#include "ui/ToolGestures.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>

#include "diag/ErrorReport.h"
#include "preview/DialogMessages.h"
#include "preview/PreviewView.h"
#include "preview/ProxyDisplay.h"
#include "ui/PreviewTools.h"
#include "ui/StarSwitching.h"
#include "ui/ZoomControls.h"

namespace {

constexpr UINT_PTR kBandTimer = 2; // every 100 ms while a rectangle is dragged: scrolls at the edges
constexpr UINT kBandMilliseconds = 100;
constexpr UINT_PTR kPanTimer = 3; // every 15 ms while panning: the view follows the hand
constexpr UINT kPanMilliseconds = 15;
constexpr int kFastLineScroll = 10; // pixels per arrow key with Ctrl

enum class MouseState : uint32_t
{
    Idle,
    PressedNoTool,
    ZoomOutClick,
    Panning,
    ZoomBand,
    DeleteBand,
    RestoreBand,
};

struct Gesture
{
    MouseState state;
    POINT press;     // screen coordinates
    POINT bandStart; // the press point, shifted when the view scrolls under the band
    POINT last;
};

Gesture gGesture{MouseState::Idle, {}, {}, {}};

bool IsBand(MouseState state)
{
    return state == MouseState::ZoomBand || state == MouseState::DeleteBand || state == MouseState::RestoreBand;
}

POINT ScreenPointOf(HWND display, LPARAM lParam)
{
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(display, &point);
    return point;
}

// Both edges of the image area are inclusive.
POINT Clamped(POINT point)
{
    const RECT area = ImageAreaOnScreen();
    return POINT{std::clamp(point.x, area.left, std::max(area.left, area.right)),
                 std::clamp(point.y, area.top, std::max(area.top, area.bottom))};
}

void ReportInvalid(uint32_t line, const char* what)
{
    ReportError(ErrorSite{line, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "%s", what);
}

void HideBand(bool repaint)
{
    const POINT none{kNoCorner, kNoCorner};
    if (repaint)
        SetDragRectangle(gGesture.bandStart, gGesture.last, false);
    else
        SetDragRectangle(none, none, false);
}

void Begin(HWND display, POINT point)
{
    gGesture.press = gGesture.bandStart = gGesture.last = point;
    SetCapture(display);
    SetFocus(display);
    const bool alt = KeyHeld(VK_MENU);
    const bool ctrl = KeyHeld(VK_CONTROL);
    switch (CurrentTool()) {
    case kNoTool: gGesture.state = MouseState::PressedNoTool; break;
    case kHandTool:
        if (alt) {
            gGesture.state = MouseState::ZoomOutClick;
        } else if (ctrl) {
            gGesture.state = MouseState::ZoomBand;
            SetTimer(display, kBandTimer, kBandMilliseconds, nullptr);
        } else {
            gGesture.state = MouseState::Panning;
            SetTimer(display, kPanTimer, kPanMilliseconds, nullptr);
        }
        break;
    case kZoomTool:
        if (alt) {
            gGesture.state = MouseState::ZoomOutClick;
        } else {
            gGesture.state = MouseState::ZoomBand;
            SetTimer(display, kBandTimer, kBandMilliseconds, nullptr);
        }
        break;
    case kDeleteTool:
        gGesture.state = alt ? MouseState::RestoreBand : MouseState::DeleteBand;
        SetTimer(display, kBandTimer, kBandMilliseconds, nullptr);
        break;
    default:
        ReportInvalid(__LINE__, "Invalid Tool encountered in event WM_LBUTTONDOWN");
        gGesture.state = MouseState::Idle;
        ReleaseCapture();
        break;
    }
    SetCursor(DragToolCursor());
}

void Move(POINT point)
{
    switch (gGesture.state) {
    case MouseState::Idle:
    case MouseState::PressedNoTool:
    case MouseState::ZoomOutClick:
    case MouseState::Panning: break; // panning follows timer 3, not every move
    case MouseState::ZoomBand:
    case MouseState::DeleteBand:
    case MouseState::RestoreBand:
        if (point.x != gGesture.last.x || point.y != gGesture.last.y) {
            SetDragRectangle(gGesture.bandStart, Clamped(point), true);
            gGesture.last = point;
        }
        break;
    default: ReportInvalid(__LINE__, "Invalid Mouse State encountered in event WM_MOUSEMOVE"); break;
    }
}

bool IsClick(POINT release)
{
    const int dx = GetSystemMetrics(SM_CXDRAG);
    const int dy = GetSystemMetrics(SM_CYDRAG);
    return release.x >= gGesture.press.x - dx && release.x < gGesture.press.x + dx &&
           release.y >= gGesture.press.y - dy && release.y < gGesture.press.y + dy;
}

void End(HWND display, POINT release)
{
    HWND dialog = GetParent(display);
    const MouseState state = gGesture.state;
    gGesture.state = MouseState::Idle; // before the capture goes, so that its loss is no abandoned gesture
    switch (state) {
    case MouseState::Idle:
    case MouseState::PressedNoTool: break;
    case MouseState::ZoomOutClick: {
        const ScaledPoint anchor = ViewPointAt(Clamped(release)); // becomes the view's centre
        ZoomOutOneStep(dialog, &anchor);
        break;
    }
    case MouseState::Panning: KillTimer(display, kPanTimer); break;
    case MouseState::ZoomBand:
        KillTimer(display, kBandTimer);
        HideBand(true);
        if (IsClick(release)) {
            const ScaledPoint anchor = ViewPointAt(release);
            ZoomInOneStep(dialog, &anchor);
        } else {
            ZoomToRectangle(dialog, gGesture.bandStart, Clamped(release));
        }
        break;
    case MouseState::DeleteBand:
    case MouseState::RestoreBand: {
        const bool on = state == MouseState::RestoreBand;
        KillTimer(display, kBandTimer);
        HideBand(true);
        if (IsClick(release))
            SwitchStarAt(dialog, release, on);
        else
            SwitchStarsIn(dialog, gGesture.bandStart, Clamped(release), on);
        break;
    }
    default: ReportInvalid(__LINE__, "Invalid Mouse State encountered in event WM_LBUTTONUP"); break;
    }
    ReleaseCapture();
}

void Abandon(HWND display)
{
    switch (gGesture.state) {
    case MouseState::Idle:
    case MouseState::PressedNoTool:
    case MouseState::ZoomOutClick: break;
    case MouseState::Panning: KillTimer(display, kPanTimer); break;
    case MouseState::ZoomBand:
    case MouseState::DeleteBand:
    case MouseState::RestoreBand:
        KillTimer(display, kBandTimer);
        HideBand(false);
        break;
    default: ReportInvalid(__LINE__, "Invalid Mouse State encountered in event WM_CAPTURECHANGED"); break;
    }
    gGesture.state = MouseState::Idle;
}

void OnPanTimer()
{
    POINT cursor;
    GetCursorPos(&cursor);
    if (cursor.x == gGesture.last.x && cursor.y == gGesture.last.y)
        return;
    ScrollViewBy(gGesture.last.x - cursor.x, gGesture.last.y - cursor.y);
    gGesture.last = cursor;
}

// Outside the image area the view scrolls by the overshoot, and the band's start moves with the image.
void OnBandTimer(HWND display)
{
    POINT cursor;
    GetCursorPos(&cursor);
    const RECT area = ImageAreaOnScreen();
    const int dx = cursor.x > area.right ? cursor.x - area.right : cursor.x < area.left ? cursor.x - area.left : 0;
    const int dy = cursor.y > area.bottom ? cursor.y - area.bottom : cursor.y < area.top ? cursor.y - area.top : 0;
    if (dx == 0 && dy == 0)
        return;
    const ScrollPositions moved = ScrollViewByMoved(dx, dy);
    gGesture.bandStart.x -= moved.horizontal;
    gGesture.bandStart.y -= moved.vertical;
    SetDragRectangle(gGesture.bandStart, Clamped(cursor), true);
    PostMessageA(GetParent(display), WM_RESTARTPREVIEW, 0, 0);
}

void OnKey(WPARAM key, LPARAM flags)
{
    const int repeat = std::max(int(LOWORD(flags)), 1);
    const bool ctrl = KeyHeld(VK_CONTROL);
    const int line = ctrl ? kFastLineScroll * repeat : repeat;
    switch (key) {
    case VK_PRIOR: KeyboardScroll(ctrl ? kScrollPagesLeft : kScrollPagesUp, repeat); break;
    case VK_NEXT: KeyboardScroll(ctrl ? kScrollPagesRight : kScrollPagesDown, repeat); break;
    case VK_HOME: KeyboardScroll(kScrollToTopLeft, 0); break;
    case VK_END: KeyboardScroll(kScrollToBottomRight, 0); break;
    case VK_LEFT: ScrollViewBy(-line, 0); break;
    case VK_RIGHT: ScrollViewBy(line, 0); break;
    case VK_UP: ScrollViewBy(0, -line); break;
    case VK_DOWN: ScrollViewBy(0, line); break;
    default: break;
    }
}

void OnCursorUpdate()
{
    UpdateToolCursor(false);
    POINT cursor;
    GetCursorPos(&cursor);
    const RECT area = ImageAreaOnScreen();
    if (gGesture.state == MouseState::Idle && cursor.x >= area.left && cursor.x <= area.right && cursor.y >= area.top &&
        cursor.y <= area.bottom)
        SetCursor(CurrentToolCursor());
}

} // namespace

bool OnToolMessage(HWND display, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    *result = 0;
    switch (message) {
    case WM_LBUTTONDOWN: Begin(display, ScreenPointOf(display, lParam)); return true;
    case WM_MOUSEMOVE: Move(ScreenPointOf(display, lParam)); return true;
    case WM_LBUTTONUP: End(display, ScreenPointOf(display, lParam)); return true;
    case WM_CAPTURECHANGED: Abandon(display); return true;
    case WM_TIMER:
        if (wParam == kPanTimer && gGesture.state == MouseState::Panning)
            OnPanTimer();
        else if (wParam == kBandTimer && IsBand(gGesture.state))
            OnBandTimer(display);
        else
            return wParam == kPanTimer || wParam == kBandTimer;
        return true;
    case WM_KEYDOWN:
        OnKey(wParam, lParam);
        *result = 1;
        return true;
    case WM_KEYUP: *result = 1; return true;
    case WM_UPDATETOOLCURSOR: OnCursorUpdate(); return true;
    case WM_CONTEXTMENU: {
        // From the keyboard the message carries no position: the menu opens at the cursor.
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (lParam == -1)
            GetCursorPos(&at);
        TrackZoomMenu(GetParent(display), at.x, at.y, TPM_RIGHTALIGN);
        return true;
    }
    default: return false;
    }
}

void EndToolGestures()
{
    gGesture = Gesture{MouseState::Idle, {}, {}, {}};
}
