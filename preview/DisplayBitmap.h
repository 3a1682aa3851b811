// The off-screen picture the preview control paints from: the rendered preview at the current zoom for
// about three by three views around the visible one, in a device-compatible bitmap, so that painting is
// a plain copy and scrolling by less than half a view needs nothing new. Computed tiles reach it through
// a 32-bit DIB and StretchDIBits, colour-managed when the document has a profile.
#pragma once

#include <windows.h>

#include "image/ImageBuffer.h"
#include "preview/PreviewJob.h"
#include "sdk/FilterRecord.h"

constexpr LONG kConversionDibSize = 1040;      // a tile of about 1024 image pixels plus rounding
constexpr DWORD kEmbeddedProfileLimit = 16384; // bytes of profile that the header area holds

struct ConversionInfo
{
    BITMAPV5HEADER header;
    BYTE iccProfile[kEmbeddedProfileLimit]; // directly behind the header, where the offset 124 finds it
};

struct DisplayBitmapState
{
    HDC displayDC; // holds the display bitmap; the control paints from it
    HDC secondDC;  // holds the previous bitmap while its content moves into a new one
    HBITMAP displayOriginal;
    HBITMAP secondOriginal;
    HBITMAP bitmap;       // null while there is none
    RECT scaledProxyRect; // what the bitmap covers, scaled coordinates
    double displayZoom;   // the zoom the bitmap was made at; 0 while there is none
    HBITMAP conversionDib;
    void* conversionBits;
    ConversionInfo info;
};

extern DisplayBitmapState gDisplayBitmap;

// At the start of the preview: the memory DCs, the header (with the document's profile when the host
// gives one and the document is not 32-bit) and the conversion DIB. False (reported) on failure.
bool SetUpDisplayBitmap(HWND display, const FilterRecord* record, int32_t bitsPerSample);
void ReleaseDisplayBitmap();

// The visible part of the job's view and the three-by-three area wanted around it, scaled coordinates.
struct DisplayArea
{
    RECT visible;
    RECT wanted;
};
DisplayArea WantedDisplayArea(const PreviewJob& job);
// Whether the bitmap covering `proxy` can stay: the visible part keeps half a view of margin inside it
// on every side that does not reach the image's edge.
bool KeepsDisplayMargin(const PreviewJob& job, const RECT& proxy);

// Makes, moves or keeps the display bitmap for the job's view.
void UpdateDisplayBitmap(const PreviewJob& job);
// Draws each rectangle of `region` (scaled coordinates, inside the bitmap) from the effect layer.
void DrawPreviewRegion(HRGN region, const ImageBuffer* effectLayer, double zoom);

// Writes `rect` (image coordinates) of the 8-bit `image` into the bottom-left corner of a bottom-up
// 32-bit DIB, over a checkerboard where the image has transparency. False when `bits` is missing.
bool DrawTileIntoConversionDIB(const BITMAPV5HEADER* header, void* bits, const ImageBuffer* image, const RECT& rect);
