// Rectangles of the filter record in document coordinates.
//
// Once the module has set PluginUsing32BitCoordinates in bigDocumentData, the host reads and writes the
// 32-bit rectangles there; otherwise (no bigDocumentData, or a host that never set it up) the 16-bit
// rectangles of the filter record are used. These routines hide that choice.
#pragma once

#include "sdk/HostInterface.h"

// Left, top, right, bottom; right and bottom exclusive. The module's own order, not the host's.
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

bool Uses32BitCoordinates(const FilterRecord* record);
ImageRect GetFilterRect(const FilterRecord* record);
void SetInRect(FilterRecord* record, const ImageRect& r);
void SetOutRect(FilterRecord* record, const ImageRect& r);
void SetMaskRect(FilterRecord* record, const ImageRect& r);
