// Rectangles of pixels in document coordinates: left, top, right, bottom, with right and bottom
// exclusive (the module's own order, not the host's).
#pragma once

#include <cstdint>

struct ImageRect
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool operator==(const ImageRect& a, const ImageRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool IsEmptyRect(const ImageRect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

inline bool ContainsPoint(const ImageRect& r, int32_t x, int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// May be empty (right <= left or bottom <= top) when the two do not overlap.
inline ImageRect IntersectRect(const ImageRect& a, const ImageRect& b)
{
    return ImageRect{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                     a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}
