// Rectangles of the filter record in document coordinates.
//
// Once the module has set PluginUsing32BitCoordinates in bigDocumentData, the host reads and writes the
// 32-bit rectangles there; otherwise (no bigDocumentData, or a host that never set it up) the 16-bit
// rectangles of the filter record are used. These routines hide that choice.
#pragma once

#include "image/ImageRect.h"
#include "sdk/HostInterface.h"

bool Uses32BitCoordinates(const FilterRecord* record);
ImageRect GetFilterRect(const FilterRecord* record);
void SetInRect(FilterRecord* record, const ImageRect& r);
void SetOutRect(FilterRecord* record, const ImageRect& r);
void SetMaskRect(FilterRecord* record, const ImageRect& r);
