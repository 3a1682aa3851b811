#include "host/HostRects.h"

namespace {

VRect ToVRect(const ImageRect& r)
{
    return VRect{r.top, r.left, r.bottom, r.right};
}

// Callers only pass rectangles inside a document the host described with 16-bit coordinates.
Rect ToRect(const ImageRect& r)
{
    return Rect{int16(r.top), int16(r.left), int16(r.bottom), int16(r.right)};
}

} // namespace

bool Uses32BitCoordinates(const FilterRecord* record)
{
    return record->bigDocumentData != nullptr && record->bigDocumentData->PluginUsing32BitCoordinates != 0;
}

ImageRect GetFilterRect(const FilterRecord* record)
{
    if (Uses32BitCoordinates(record)) {
        const VRect& r = record->bigDocumentData->filterRect32;
        return ImageRect{r.left, r.top, r.right, r.bottom};
    }
    const Rect& r = record->filterRect;
    return ImageRect{r.left, r.top, r.right, r.bottom};
}

void SetInRect(FilterRecord* record, const ImageRect& r)
{
    if (Uses32BitCoordinates(record))
        record->bigDocumentData->inRect32 = ToVRect(r);
    else
        record->inRect = ToRect(r);
}

void SetOutRect(FilterRecord* record, const ImageRect& r)
{
    if (Uses32BitCoordinates(record))
        record->bigDocumentData->outRect32 = ToVRect(r);
    else
        record->outRect = ToRect(r);
}

void SetMaskRect(FilterRecord* record, const ImageRect& r)
{
    if (Uses32BitCoordinates(record))
        record->bigDocumentData->maskRect32 = ToVRect(r);
    else
        record->maskRect = ToRect(r);
}
