// The preview's view: zoom, centre, scroll bars and the zoom controls. The preview itself joins later;
// until then the view stays at 100 % and the zoom commands do nothing.
#pragma once

#include <windows.h>

double CurrentZoom(); // percent

// Sets the zoom about `anchor` (client point of the preview) or, without one, about the view's centre.
void SetZoom(const POINT* anchor, double zoom);
// SetZoom, then the scroll bars, a preview restart and a repaint; returns the zoom.
double ApplyZoom(HWND dialog, const POINT* anchor, double zoom);
void ZoomInOneStep(HWND dialog);
void ZoomOutOneStep(HWND dialog);
void FitInView(HWND dialog);
void FitOnScreen(HWND dialog);
void UpdateZoomReadout(HWND dialog, double zoom);
void UpdateScrollBars(HWND dialog, double zoom, bool redraw);
// Opens the zoom menu at a screen point with TrackPopupMenu's alignment flags.
void TrackZoomMenu(HWND dialog, int x, int y, UINT alignment);
// WM_HSCROLL and WM_VSCROLL from the preview's scroll bars; true when handled.
bool OnPreviewScrollBar(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
