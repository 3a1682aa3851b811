#include "ui/PreviewView.h"

namespace {

constexpr double kActualPixels = 100.0;

} // namespace

double CurrentZoom()
{
    return kActualPixels;
}

void SetZoom(const POINT*, double) {}

double ApplyZoom(HWND, const POINT*, double)
{
    return CurrentZoom();
}

void ZoomInOneStep(HWND) {}

void ZoomOutOneStep(HWND) {}

void FitInView(HWND) {}

void FitOnScreen(HWND) {}

void UpdateZoomReadout(HWND, double) {}

void UpdateScrollBars(HWND, double, bool) {}

void TrackZoomMenu(HWND, int, int, UINT) {}

bool OnPreviewScrollBar(HWND, UINT, WPARAM, LPARAM)
{
    return false;
}
