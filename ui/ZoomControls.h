// The dialog's zoom controls: the zoom-in and zoom-out buttons, the read-out, the zoom menu, Fit in View
// and Fit on Screen, and the preview's scroll bars. The view itself belongs to the preview.
#pragma once

#include <windows.h>

#include "preview/PreviewView.h"

double CurrentZoom(); // percent

// One zoom level up or down; the anchor (scaled coordinates) becomes the view's centre, without one the
// centre stays.
void ZoomInOneStep(HWND dialog, const ScaledPoint* anchor);
void ZoomOutOneStep(HWND dialog, const ScaledPoint* anchor);
// The zoom tool's drag: the rectangle between two screen points fills the view.
void ZoomToRectangle(HWND dialog, POINT a, POINT b);
// The whole image in the view (the zoom kept between the first and last level).
void FitInView(HWND dialog);
// The dialog fills its monitor's work area, then Fit in View.
void FitOnScreen(HWND dialog);
// The read-out shows `zoom`; the step buttons are disabled at the ends of the zoom range.
void UpdateZoomReadout(HWND dialog, double zoom);
// Opens the zoom menu at a screen point with TrackPopupMenu's alignment flags and applies the choice.
void TrackZoomMenu(HWND dialog, int x, int y, UINT alignment);
// WM_HSCROLL and WM_VSCROLL from the preview's scroll bars; true when handled.
bool OnPreviewScrollBar(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
