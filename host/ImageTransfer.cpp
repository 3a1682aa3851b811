#include "host/ImageTransfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "diag/ErrorReport.h"
#include "host/PluginGlobals.h"

ImageBuffer gInputImage;
uint32_t gImageDiagonal;

namespace {

constexpr int32_t kDefaultTileSize = 1024;
constexpr Fixed kUnitRate = 0x10000;
constexpr int16 kWhitePadding = 255;
constexpr ImageRect kNoRect{0, 0, 0, 0};

// Photoshop serves one plane per request. 2026-12-06: an independent x64 host library that reports
// 'spHO' serves every plane request from channel 0 and reloads its buffers only when the rectangle
// changes, so a plane-by-plane transfer there reads the first channel three times and writes only the
// last. Every host other than Photoshop is therefore asked for all planes of a tile at once, and the
// samples of one pixel come interleaved.
bool TransfersOnePlaneAtATime(const FilterRecord* record)
{
    return record->hostSig == kPhotoshopSignature;
}

// Where the samples of one tile sit in a host buffer.
struct HostLayout
{
    uint8_t* data;
    int64_t rowBytes;
    int64_t columnBytes; // distance between the samples of neighbouring pixels in one plane
};

// Where the same tile sits in an ImageBuffer plane.
struct TileSpan
{
    int32_t columns;
    int32_t rows;
    size_t firstIndex; // sample index of the tile's top left pixel in the plane
};

TileSpan SpanOf(const ImageBuffer* buffer, const ImageRect& tile)
{
    return TileSpan{tile.right - tile.left, tile.bottom - tile.top,
                    size_t(tile.top - buffer->rect.top) * size_t(buffer->width) + size_t(tile.left - buffer->rect.left)};
}

// A host buffer that is missing, or whose rows or columns are too short for what was asked, would
// make the copy read or write outside it.
bool HostLayoutHolds(const HostLayout& layout, const TileSpan& span, int32_t pixelBytes)
{
    if (layout.data == nullptr || layout.columnBytes < pixelBytes)
        return false;
    return layout.rowBytes >= int64_t(span.columns - 1) * layout.columnBytes + pixelBytes;
}

// Copies one plane of a tile between a host buffer (any column stride) and a plane of an ImageBuffer.
template <size_t kSampleBytes>
void CopyPlaneIn(const HostLayout& from, uint8_t* plane, int32_t width, const TileSpan& span)
{
    for (int32_t row = 0; row < span.rows; ++row) {
        const uint8_t* source = from.data + row * from.rowBytes;
        uint8_t* target = plane + (span.firstIndex + size_t(row) * size_t(width)) * kSampleBytes;
        if (from.columnBytes == int64_t(kSampleBytes)) {
            std::memcpy(target, source, size_t(span.columns) * kSampleBytes);
            continue;
        }
        for (int32_t column = 0; column < span.columns; ++column)
            std::memcpy(target + size_t(column) * kSampleBytes, source + column * from.columnBytes, kSampleBytes);
    }
}

template <size_t kSampleBytes>
void CopyPlaneOut(const uint8_t* plane, int32_t width, const TileSpan& span, const HostLayout& to)
{
    for (int32_t row = 0; row < span.rows; ++row) {
        const uint8_t* source = plane + (span.firstIndex + size_t(row) * size_t(width)) * kSampleBytes;
        uint8_t* target = to.data + row * to.rowBytes;
        if (to.columnBytes == int64_t(kSampleBytes)) {
            std::memcpy(target, source, size_t(span.columns) * kSampleBytes);
            continue;
        }
        for (int32_t column = 0; column < span.columns; ++column)
            std::memcpy(target + column * to.columnBytes, source + size_t(column) * kSampleBytes, kSampleBytes);
    }
}

void CopyIn(const HostLayout& from, const ImageBuffer* buffer, int32_t plane, const TileSpan& span)
{
    uint8_t* target = static_cast<uint8_t*>(buffer->planes[plane]);
    switch (buffer->bytesPerSample) {
    case 4: CopyPlaneIn<4>(from, target, buffer->width, span); break;
    case 2: CopyPlaneIn<2>(from, target, buffer->width, span); break;
    default: CopyPlaneIn<1>(from, target, buffer->width, span); break;
    }
}

void CopyOut(const ImageBuffer* buffer, int32_t plane, const TileSpan& span, const HostLayout& to)
{
    const uint8_t* source = static_cast<const uint8_t*>(buffer->planes[plane]);
    switch (buffer->bytesPerSample) {
    case 4: CopyPlaneOut<4>(source, buffer->width, span, to); break;
    case 2: CopyPlaneOut<2>(source, buffer->width, span, to); break;
    default: CopyPlaneOut<1>(source, buffer->width, span, to); break;
    }
}

void FailReading(OSErr code)
{
    SetResultCode(code);
    ReportError(USER_SITE, kStyleError, kCaptionExiting, "Could not read input image.");
}

void FailWriting(OSErr code)
{
    SetResultCode(code);
    if (code != userCanceledErr)
        ReportError(USER_SITE, kStyleError, kCaptionExiting, "Could not write results back to editor.");
}

// Asks the host for one tile of planes `firstPlane`..`lastPlane` (with the selection when asked) and
// copies what it delivers into the input image.
bool ReadTile(FilterRecord* record, const ImageRect& tile, int16 firstPlane, int16 lastPlane, bool withMask)
{
    ImageBuffer* input = &gInputImage;
    record->inLoPlane = firstPlane;
    record->inHiPlane = lastPlane;
    SetOutRect(record, kNoRect);
    SetInRect(record, tile);
    SetMaskRect(record, withMask ? tile : kNoRect);
    const OSErr error = record->advanceState();
    if (error != noErr) {
        FailReading(error);
        return false;
    }

    const TileSpan span = SpanOf(input, tile);
    const int32_t planeCount = lastPlane - firstPlane + 1;
    const int32_t pixelBytes = planeCount * input->bytesPerSample;
    HostLayout image{static_cast<uint8_t*>(record->inData), record->inRowBytes,
                     planeCount == 1 || record->inColumnBytes == 0 ? pixelBytes : record->inColumnBytes};
    HostLayout mask{static_cast<uint8_t*>(record->maskData), record->maskRowBytes, 1};
    if (!HostLayoutHolds(image, span, pixelBytes) || (withMask && !HostLayoutHolds(mask, span, 1))) {
        FailReading(errPlugInHostInsufficient);
        return false;
    }

    for (int32_t p = 0; p < planeCount; ++p) {
        CopyIn(image, input, firstPlane + p, span);
        image.data += input->bytesPerSample;
    }
    if (withMask) {
        const uint8_t* source = mask.data;
        uint8_t* target = static_cast<uint8_t*>(input->mask.data) + span.firstIndex;
        for (int32_t row = 0; row < span.rows; ++row)
            std::memcpy(target + size_t(row) * size_t(input->width), source + row * mask.rowBytes,
                        size_t(span.columns));
    }
    return true;
}

struct TileGrid
{
    int64_t width;
    int64_t height;
};

TileGrid InputTileGrid(const FilterRecord* record)
{
    if (record->inTileWidth > 0 && record->inTileHeight > 0)
        return TileGrid{record->inTileWidth, record->inTileHeight};
    return TileGrid{kDefaultTileSize, kDefaultTileSize};
}

ImageRect TileAt(const ImageRect& area, const TileGrid& grid, int64_t left, int64_t top)
{
    return ImageRect{int32_t(left), int32_t(top), int32_t(std::min<int64_t>(left + grid.width, area.right)),
                     int32_t(std::min<int64_t>(top + grid.height, area.bottom))};
}

// Reads planes `firstPlane`..`lastPlane` of every tile; the selection comes with the tiles of plane 0.
bool ReadTiles(FilterRecord* record, int16 firstPlane, int16 lastPlane)
{
    const ImageRect& area = gInputImage.rect;
    const TileGrid grid = InputTileGrid(record);
    const bool withMask = firstPlane == 0 && record->haveMask;
    for (int64_t top = area.top; top < area.bottom; top += grid.height)
        for (int64_t left = area.left; left < area.right; left += grid.width)
            if (!ReadTile(record, TileAt(area, grid, left, top), firstPlane, lastPlane, withMask))
                return false;
    return true;
}

// Colour in a 32-bit image is linear light from 0 to 1; anything else the host holds (over-range
// values, negatives, NaN) would overflow the conversion to the module's integer scale.
void ClampFloatColour(ImageBuffer* buffer)
{
    for (int32_t p = 0; p < buffer->layerPlanes; ++p) {
        float* samples = static_cast<float*>(buffer->planes[p]);
        for (int32_t i = 0; i < buffer->pixelCount; ++i) {
            const float f = samples[i];
            samples[i] = f > 0.0f ? (f < 1.0f ? f : 1.0f) : 0.0f;
        }
    }
}

uint32_t DiagonalOf(const ImageRect& r)
{
    // Squares summed in 64 bits: equal to the 32-bit sum for every size a host offers, without the
    // wrap-around of larger 32-bit coordinates.
    const uint64_t width = uint64_t(int64_t(r.right) - r.left);
    const uint64_t height = uint64_t(int64_t(r.bottom) - r.top);
    return uint32_t(std::sqrt(float(width * width + height * height))) + 1;
}

} // namespace

void ReadInputImage()
{
    FilterRecord* record = gPlugin.filterRecord;
    if (record == nullptr) {
        SetResultCode(filterBadParameters);
        return;
    }
    const ImageRect rect = GetFilterRect(record);
    if (IsEmptyRect(rect)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Filter rectangle is empty.");
        SetResultCode(filterBadParameters);
        return;
    }
    if (record->advanceState == nullptr) {
        FailReading(errPlugInHostInsufficient);
        return;
    }

    const bool grey = record->imageMode == 1 || record->imageMode == 10 || record->imageMode == 17;
    PlaneCounts counts{};
    counts.layerPlanes = record->inLayerPlanes != 0 ? record->inLayerPlanes : (grey ? 1 : 3);
    counts.transparencyPlanes = record->inTransparencyMask;
    gImageDiagonal = DiagonalOf(rect);
    if (!AllocateImageBuffer(&gInputImage, rect, record->imageMode, counts, true))
        return;

    record->inputRate = kUnitRate;
    record->maskRate = kUnitRate;
    record->inputPadding = kWhitePadding;
    record->maskPadding = kWhitePadding;

    const int16 planes = int16(gInputImage.layerPlanes + gInputImage.transparencyPlanes);
    if (TransfersOnePlaneAtATime(record)) {
        for (int16 p = 0; p < planes; ++p)
            if (!ReadTiles(record, p, p))
                return;
    } else if (!ReadTiles(record, 0, int16(planes - 1))) {
        return;
    }

    if (!record->haveMask)
        std::memset(gInputImage.mask.data, 255, size_t(gInputImage.pixelCount));
    if (gInputImage.bytesPerSample == 4)
        ClampFloatColour(&gInputImage);
}

bool WriteOutputTile(const ImageBuffer* tile)
{
    FilterRecord* record = gPlugin.filterRecord;
    if (record == nullptr || record->advanceState == nullptr) {
        FailWriting(errPlugInHostInsufficient);
        return false;
    }
    if (IsEmptyRect(tile->rect))
        return true;

    SetInRect(record, kNoRect);
    SetMaskRect(record, kNoRect);
    SetOutRect(record, tile->rect);
    const TileSpan span = SpanOf(tile, tile->rect);
    const bool onePlane = TransfersOnePlaneAtATime(record);
    const int32_t requests = onePlane ? tile->layerPlanes : 1;
    const int32_t planesPerRequest = onePlane ? 1 : tile->layerPlanes;
    const int32_t pixelBytes = planesPerRequest * tile->bytesPerSample;

    for (int32_t request = 0; request < requests; ++request) {
        const int16 firstPlane = int16(onePlane ? request : 0);
        record->outLoPlane = firstPlane;
        record->outHiPlane = int16(firstPlane + planesPerRequest - 1);
        const OSErr error = record->advanceState();
        if (error != noErr) {
            FailWriting(error);
            return false;
        }
        HostLayout layout{static_cast<uint8_t*>(record->outData), record->outRowBytes,
                          onePlane || record->outColumnBytes == 0 ? pixelBytes : record->outColumnBytes};
        if (!HostLayoutHolds(layout, span, pixelBytes)) {
            FailWriting(errPlugInHostInsufficient);
            return false;
        }
        for (int32_t p = 0; p < planesPerRequest; ++p) {
            CopyOut(tile, firstPlane + p, span, layout);
            layout.data += tile->bytesPerSample;
        }
    }
    return true;
}

void FinishImageTransfer()
{
    FilterRecord* record = gPlugin.filterRecord;
    if (ResultCode() == noErr && record != nullptr && record->advanceState != nullptr) {
        SetInRect(record, kNoRect);
        SetOutRect(record, kNoRect);
        SetMaskRect(record, kNoRect);
        const OSErr error = record->advanceState();
        if (error != noErr)
            SetResultCode(error);
    }
    FreeImageBuffer(&gInputImage);
}
