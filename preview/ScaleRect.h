// Moving rectangles and regions between image and scaled coordinates. A divisor of 100/zoom takes image
// pixels to the zoomed image, zoom/100 takes them back. Left and top are truncated, right and bottom
// rounded up, so a scaled rectangle always covers every pixel the original touches.
#pragma once

#include <windows.h>

RECT ScaleRect(const RECT& rect, double divisor);
// A new region of the scaled rectangles of `region`; null (reported) on failure.
HRGN ScaleRegion(HRGN region, double divisor);
