// The sizes of GDI rectangles, and the step between them and the image layer's rectangles (the same
// four edges, right and bottom exclusive in both).
#pragma once

#include <windows.h>

#include "image/ImageRect.h"

inline LONG RectWidth(const RECT& r)
{
    return r.right - r.left;
}

inline LONG RectHeight(const RECT& r)
{
    return r.bottom - r.top;
}

inline RECT ToRect(const ImageRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

inline ImageRect ToImageRect(const RECT& r)
{
    return ImageRect{r.left, r.top, r.right, r.bottom};
}
