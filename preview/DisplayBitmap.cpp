#include "preview/DisplayBitmap.h"

#include <algorithm>
#include <cstring>

#include "diag/ErrorReport.h"
#include "preview/PreviewStatistics.h"
#include "preview/PreviewView.h"
#include "preview/Rects.h"
#include "preview/Regions.h"
#include "preview/ScaleRect.h"

DisplayBitmapState gDisplayBitmap;

namespace {

constexpr double kPixelReplicationZoom = 200.0; // from here up, image pixels become sharp blocks
// The colour-space tags, spelled out: the system headers write them as multi-character constants.
constexpr DWORD kWindowsColourSpace = 0x57696E20; // 'Win '
constexpr DWORD kProfileEmbedded = 0x4D424544;    // 'MBED'
constexpr int kStretchFailed = int(GDI_ERROR);

void FillConversionHeader(ConversionInfo* info)
{
    std::memset(info, 0, sizeof(*info));
    BITMAPV5HEADER& h = info->header;
    h.bV5Size = sizeof(BITMAPV5HEADER);
    h.bV5Width = kConversionDibSize;
    h.bV5Height = kConversionDibSize; // positive: bottom-up
    h.bV5Planes = 1;
    h.bV5BitCount = 32;
    h.bV5Compression = BI_RGB;
    h.bV5Intent = LCS_GM_IMAGES;
    h.bV5CSType = kWindowsColourSpace;
}

// The document's profile goes behind the header, so that the display can convert from it.
void EmbedProfile(ConversionInfo* info, const FilterRecord* record, int32_t bitsPerSample)
{
    if (record == nullptr || record->iCCprofileData == nullptr || bitsPerSample == 32)
        return;
    const int32_t size = record->iCCprofileSize;
    if (size < 0 || uint32_t(size) > kEmbeddedProfileLimit) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "Preallocated ConversionInfo.ICCProfile too small for this image.");
        return;
    }
    const HandleProcs* procs = record->handleProcs;
    if (size == 0 || procs == nullptr || procs->lockProc == nullptr || procs->unlockProc == nullptr)
        return;
    const Ptr profile = procs->lockProc(record->iCCprofileData, false);
    if (profile != nullptr) {
        std::memcpy(info->iccProfile, profile, size_t(size));
        info->header.bV5CSType = kProfileEmbedded;
        info->header.bV5ProfileData = sizeof(BITMAPV5HEADER);
        info->header.bV5ProfileSize = DWORD(size);
    }
    procs->unlockProc(record->iCCprofileData);
}

// Colour management the system refuses (as some do for embedded profiles) falls back to plain drawing.
void DropProfile()
{
    BITMAPV5HEADER& h = gDisplayBitmap.info.header;
    h.bV5CSType = kWindowsColourSpace;
    h.bV5ProfileData = 0;
    h.bV5ProfileSize = 0;
}

HBITMAP NewDisplayBitmap(const RECT& size)
{
    HDC windowDC = GetDC(gView.display);
    HBITMAP bitmap =
        CreateCompatibleBitmap(windowDC, std::max<LONG>(RectWidth(size), 1), std::max<LONG>(RectHeight(size), 1));
    ReleaseDC(gView.display, windowDC);
    if (bitmap == nullptr)
        ReportSystemFailure(__LINE__, "Could not create the display bitmap.");
    else
        ++gPreviewStats.bitmapsMade;
    return bitmap;
}

void ReplaceDisplayBitmap(HBITMAP bitmap)
{
    HGDIOBJ old = SelectObject(gDisplayBitmap.displayDC, bitmap);
    if (old != nullptr && old != gDisplayBitmap.displayOriginal)
        DeleteObject(old);
    gDisplayBitmap.bitmap = bitmap;
}

// Moves the content to a bitmap of a new size, each scaled pixel keeping its place.
void CopyIntoNewBitmap(const RECT& wanted, const RECT& proxy)
{
    HBITMAP bitmap = NewDisplayBitmap(wanted);
    if (bitmap == nullptr)
        return;
    HBITMAP old = gDisplayBitmap.bitmap;
    SelectObject(gDisplayBitmap.displayDC, bitmap);
    gDisplayBitmap.bitmap = bitmap;
    if (old != nullptr) {
        SelectObject(gDisplayBitmap.secondDC, old);
        BitBlt(gDisplayBitmap.displayDC, 0, 0, RectWidth(wanted), RectHeight(wanted), gDisplayBitmap.secondDC,
               wanted.left - proxy.left, wanted.top - proxy.top, SRCCOPY);
        // The old picture is not needed once copied; giving it back at once keeps one bitmap alive, not two.
        SelectObject(gDisplayBitmap.secondDC, gDisplayBitmap.secondOriginal);
        DeleteObject(old);
    }
}

} // namespace

bool SetUpDisplayBitmap(HWND display, const FilterRecord* record, int32_t bitsPerSample)
{
    DisplayBitmapState& s = gDisplayBitmap;
    s = DisplayBitmapState{};
    HDC windowDC = GetDC(display);
    s.displayDC = CreateCompatibleDC(windowDC);
    s.secondDC = CreateCompatibleDC(windowDC);
    ReleaseDC(display, windowDC);
    if (s.displayDC == nullptr || s.secondDC == nullptr) {
        ReportSystemFailure(__LINE__, "Could not create the display's memory DCs.");
        return false;
    }
    s.displayOriginal = static_cast<HBITMAP>(GetCurrentObject(s.displayDC, OBJ_BITMAP));
    s.secondOriginal = static_cast<HBITMAP>(GetCurrentObject(s.secondDC, OBJ_BITMAP));
    FillConversionHeader(&s.info);
    EmbedProfile(&s.info, record, bitsPerSample);
    s.conversionDib = CreateDIBSection(s.displayDC, reinterpret_cast<const BITMAPINFO*>(&s.info), DIB_RGB_COLORS,
                                       &s.conversionBits, nullptr, 0);
    if (s.conversionDib == nullptr) {
        ReportSystemFailure(__LINE__, "Could not create the conversion DIB.");
        return false;
    }
    return true;
}

void ReleaseDisplayBitmap()
{
    DisplayBitmapState& s = gDisplayBitmap;
    if (s.displayDC != nullptr) {
        SelectObject(s.displayDC, s.displayOriginal);
        DeleteDC(s.displayDC);
    }
    if (s.secondDC != nullptr) {
        HGDIOBJ held = SelectObject(s.secondDC, s.secondOriginal);
        if (held != nullptr && held != s.secondOriginal)
            DeleteObject(held);
        DeleteDC(s.secondDC);
    }
    if (s.bitmap != nullptr)
        DeleteObject(s.bitmap);
    if (s.conversionDib != nullptr)
        DeleteObject(s.conversionDib);
    s = DisplayBitmapState{};
}

DisplayArea WantedDisplayArea(const PreviewJob& job)
{
    const RECT bounds = ScaledImageBounds(job.zoom);
    const LONG w = RectWidth(job.viewRect);
    const LONG h = RectHeight(job.viewRect);
    auto span = [](LONG centre, LONG size, LONG low, LONG high, LONG* from, LONG* to) {
        *from = std::max(centre - size / 2, low);
        *to = *from + size;
        if (*to > high) {
            *to = high;
            *from = std::max(high - size, low);
        }
        if (*to <= *from)
            *to = *from + 1;
    };
    DisplayArea area;
    span(job.centreX, w, bounds.left, bounds.right, &area.visible.left, &area.visible.right);
    span(job.centreY, h, bounds.top, bounds.bottom, &area.visible.top, &area.visible.bottom);
    RECT grown{area.visible.left - w, area.visible.top - h, area.visible.right + w, area.visible.bottom + h};
    if (!IntersectRect(&area.wanted, &grown, &bounds))
        area.wanted = area.visible;
    return area;
}

bool KeepsDisplayMargin(const PreviewJob& job, const RECT& proxy)
{
    const RECT bounds = ScaledImageBounds(job.zoom);
    const LONG halfW = RectWidth(job.viewRect) / 2;
    const LONG halfH = RectHeight(job.viewRect) / 2;
    return ((job.centreX - halfW) - proxy.left >= halfW || proxy.left == bounds.left) &&
           (proxy.right - halfW - job.centreX >= halfW || proxy.right == bounds.right) &&
           ((job.centreY - halfH) - proxy.top >= halfH || proxy.top == bounds.top) &&
           (proxy.bottom - halfH - job.centreY >= halfH || proxy.bottom == bounds.bottom);
}

void UpdateDisplayBitmap(const PreviewJob& job)
{
    DisplayBitmapState& s = gDisplayBitmap;
    const RECT wanted = WantedDisplayArea(job).wanted;
    if (job.zoom != s.displayZoom || s.bitmap == nullptr) {
        HBITMAP bitmap = NewDisplayBitmap(wanted);
        if (bitmap == nullptr)
            return;
        ReplaceDisplayBitmap(bitmap);
        s.scaledProxyRect = wanted;
        SetStretchBltMode(s.displayDC, job.zoom >= kPixelReplicationZoom ? COLORONCOLOR : HALFTONE);
        SetBrushOrgEx(s.displayDC, 0, 0, nullptr); // HALFTONE asks for it
        s.displayZoom = job.zoom;
        return;
    }
    const RECT proxy = s.scaledProxyRect;
    if (KeepsDisplayMargin(job, proxy))
        return;
    if (RectWidth(wanted) != RectWidth(proxy) || RectHeight(wanted) != RectHeight(proxy)) {
        CopyIntoNewBitmap(wanted, proxy);
    } else {
        RECT scroll = wanted;
        OffsetRect(&scroll, -proxy.left, -proxy.top);
        const RECT clip{0, 0, RectWidth(proxy), RectHeight(proxy)};
        ScrollDC(s.displayDC, proxy.left - wanted.left, proxy.top - wanted.top, &scroll, &clip, nullptr, nullptr);
    }
    s.scaledProxyRect = wanted;
}

void DrawPreviewRegion(HRGN region, const ImageBuffer* effectLayer, double zoom)
{
    DisplayBitmapState& s = gDisplayBitmap;
    const RECT layer = ToRect(effectLayer->rect);
    const bool managed = s.info.header.bV5CSType == kProfileEmbedded;
    if (managed)
        SetICMMode(s.displayDC, ICM_ON);
    for (const RECT& r : RegionRects(region)) {
        RECT source;
        const RECT scaledBack = ScaleRect(r, zoom / 100.0);
        if (!IntersectRect(&source, &scaledBack, &layer))
            continue;
        RECT destination = r;
        if (zoom > 100.0) {
            // Whole image pixels map to whole blocks of screen pixels. Blocks that reach past the bitmap's
            // edge are clipped by the bitmap itself: clipping the destination alone would squeeze the
            // whole source into it and shift the blocks of half the rectangle by a pixel.
            destination = ScaleRect(source, 100.0 / zoom);
            RECT inside;
            if (!IntersectRect(&inside, &destination, &s.scaledProxyRect))
                continue;
        }
        void* bits = s.conversionBits;
        HBITMAP temporary = nullptr;
        BITMAPV5HEADER& header = s.info.header;
        if (RectWidth(source) > kConversionDibSize || RectHeight(source) > kConversionDibSize) {
            header.bV5Width = RectWidth(source);
            header.bV5Height = RectHeight(source);
            temporary = CreateDIBSection(s.displayDC, reinterpret_cast<const BITMAPINFO*>(&s.info), DIB_RGB_COLORS,
                                         &bits, nullptr, 0);
            if (temporary == nullptr)
                bits = nullptr;
        } else {
            header.bV5Width = kConversionDibSize;
            header.bV5Height = kConversionDibSize;
        }
        if (DrawTileIntoConversionDIB(&header, bits, effectLayer, source)) {
            auto stretch = [&] {
                return StretchDIBits(s.displayDC, destination.left - s.scaledProxyRect.left,
                                     destination.top - s.scaledProxyRect.top, RectWidth(destination),
                                     RectHeight(destination), 0, 0, RectWidth(source), RectHeight(source), bits,
                                     reinterpret_cast<const BITMAPINFO*>(&s.info), DIB_RGB_COLORS, SRCCOPY);
            };
            int drawn = stretch();
            if (drawn == kStretchFailed && header.bV5CSType == kProfileEmbedded) {
                DropProfile();
                drawn = stretch();
            }
            if (drawn == kStretchFailed)
                ReportSystemFailure(__LINE__, "StretchDIBits() call failed.");
        }
        if (temporary != nullptr)
            DeleteObject(temporary);
    }
    if (managed)
        SetICMMode(s.displayDC, ICM_OFF);
}
