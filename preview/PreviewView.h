// What the preview shows: the zoom, the centre of the view and the rectangles derived from them, and the
// scroll bars that follow them. Three coordinate systems meet here: image coordinates (pixels of the
// document), scaled coordinates (pixels of the image at the current zoom) and display coordinates
// (client pixels of the preview control, which has a one-pixel frame around its inner rectangle).
#pragma once

#include <windows.h>

struct ScaledPoint
{
    double x;
    double y;
};

struct PreviewView
{
    HWND dialog;
    HWND display;
    HWND horizontalBar;
    HWND verticalBar;
    RECT imageBounds; // image coordinates: the document's rectangle
    double zoom;      // percent
    double centreX;   // centre of the view, scaled coordinates
    double centreY;
    RECT inner;            // the display's client rectangle less its frame
    RECT viewRect;         // the inner rectangle placed about the centre, scaled coordinates
    RECT imageRect;        // the part of the view that shows the image, display coordinates
    bool horizontalActive; // the bar scrolls (the image is wider than the view)
    bool verticalActive;
};

extern PreviewView gView;

// Called when the preview control is set up: the view starts at 100 % about the image's top-left.
void InitPreviewView(HWND dialog, HWND display, const RECT& imageBounds);

// The image rectangle scaled to `zoom`.
RECT ScaledImageBounds(double zoom);
// The display's inner rectangle, read afresh (the dialog can be resized).
RECT DisplayInnerRect();

// The inner rectangle in screen coordinates: where the tools take their points.
RECT ImageAreaOnScreen();
// A screen point as a point of the zoomed image (whole scaled pixels), clamped to the part of the view
// that shows the image.
ScaledPoint ViewPointAt(POINT screen);

// Sets the zoom and the centre and recomputes the view; no drawing. The anchor (scaled coordinates of the
// old zoom) becomes the centre; without one the point at the centre stays there.
void SetZoom(const ScaledPoint* anchor, double zoom);
// SetZoom, then the scroll bars, a restart of the preview and a repaint of the display. Returns the zoom;
// the caller then updates the zoom read-out.
double ApplyZoom(HWND dialog, const ScaledPoint* anchor, double zoom);
void UpdateScrollBars(double zoom, bool redraw);

struct ScrollPositions
{
    int horizontal;
    int vertical;
};

// Moves the view by (dx, dy) scaled pixels, as far as the scroll bars allow. Returns the bars' positions.
ScrollPositions ScrollViewBy(int dx, int dy);
// The same, returning the movement actually made.
ScrollPositions ScrollViewByMoved(int dx, int dy);
// WM_HSCROLL and WM_VSCROLL of the preview's scroll bars; false for other senders.
bool OnScrollBarMessage(HWND bar, int code, int trackPosition);

// The keyboard's scroll commands: 0 top, 1 bottom, 2 left end, 3 right end, 4 top-left, 5 bottom-right,
// 6 up, 7 down, 8 left, 9 right by `pages` pages; any other only reads the positions.
enum ScrollCommand : int
{
    kScrollToTop = 0,
    kScrollToBottom,
    kScrollToLeftEnd,
    kScrollToRightEnd,
    kScrollToTopLeft,
    kScrollToBottomRight,
    kScrollPagesUp,
    kScrollPagesDown,
    kScrollPagesLeft,
    kScrollPagesRight,
};
ScrollPositions KeyboardScroll(int command, int pages);
