#include "host/ImageTransfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "diag/ErrorReport.h"
#include "host/HostRects.h"
#include "image/TileGrid.h"

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
                    size_t(tile.top - buffer->rect.top) * size_t(buffer->width) +
                        size_t(tile.left - buffer->rect.left)};
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

OSErr FailReading(OSErr code)
{
    ReportError(USER_SITE, kStyleError, kCaptionExiting, "Could not read input image.");
    return code;
}

OSErr FailWriting(OSErr code)
{
    if (code != userCanceledErr)
        ReportError(USER_SITE, kStyleError, kCaptionExiting, "Could not write results back to editor.");
    return code;
}

// Asks the host for one tile of planes `firstPlane`..`lastPlane` (with the selection when asked) and
// copies what it delivers into the input image.
OSErr ReadTile(FilterRecord* record, ImageBuffer* input, const ImageRect& tile, int16 firstPlane, int16 lastPlane,
               bool withMask)
{
    record->inLoPlane = firstPlane;
    record->inHiPlane = lastPlane;
    SetOutRect(record, kNoRect);
    SetInRect(record, tile);
    SetMaskRect(record, withMask ? tile : kNoRect);
    const OSErr error = record->advanceState();
    if (error != noErr)
        return FailReading(error);

    const TileSpan span = SpanOf(input, tile);
    const int32_t planeCount = lastPlane - firstPlane + 1;
    const int32_t pixelBytes = planeCount * input->bytesPerSample;
    HostLayout image{static_cast<uint8_t*>(record->inData), record->inRowBytes,
                     planeCount == 1 || record->inColumnBytes == 0 ? pixelBytes : record->inColumnBytes};
    HostLayout mask{static_cast<uint8_t*>(record->maskData), record->maskRowBytes, 1};
    if (!HostLayoutHolds(image, span, pixelBytes) || (withMask && !HostLayoutHolds(mask, span, 1)))
        return FailReading(errPlugInHostInsufficient);

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
    return noErr;
}

// The host's own tiles when it names them, so that each request is served from one of its blocks.
TileGrid InputTileGrid(const FilterRecord* record, const ImageRect& area)
{
    if (record->inTileWidth > 0 && record->inTileHeight > 0)
        return TileGrid{area, record->inTileWidth, record->inTileHeight};
    return TileGrid{area, kDefaultTileSize, kDefaultTileSize};
}

// Reads planes `firstPlane`..`lastPlane` of every tile; the selection comes with the tiles of plane 0.
OSErr ReadTiles(FilterRecord* record, ImageBuffer* input, int16 firstPlane, int16 lastPlane)
{
    const TileGrid grid = InputTileGrid(record, input->rect);
    const bool withMask = firstPlane == 0 && record->haveMask;
    const int64_t count = TileCount(grid);
    for (int64_t index = 0; index < count; ++index) {
        const OSErr error = ReadTile(record, input, TileAt(grid, index), firstPlane, lastPlane, withMask);
        if (error != noErr)
            return error;
    }
    return noErr;
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

} // namespace

OSErr ReadInputImage(FilterRecord* record, ImageBuffer* image)
{
    if (record == nullptr)
        return filterBadParameters;
    const ImageRect rect = GetFilterRect(record);
    if (IsEmptyRect(rect)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Filter rectangle is empty.");
        return filterBadParameters;
    }
    if (record->advanceState == nullptr)
        return FailReading(errPlugInHostInsufficient);

    PlaneCounts counts{};
    counts.layerPlanes = record->inLayerPlanes != 0 ? record->inLayerPlanes : (IsGreyMode(record->imageMode) ? 1 : 3);
    counts.transparencyPlanes = record->inTransparencyMask;
    OSErr error = AllocateImageBuffer(image, rect, record->imageMode, counts, true);
    if (error != noErr)
        return error;

    record->inputRate = kUnitRate;
    record->maskRate = kUnitRate;
    record->inputPadding = kWhitePadding;
    record->maskPadding = kWhitePadding;

    const int16 planes = int16(image->layerPlanes + image->transparencyPlanes);
    if (TransfersOnePlaneAtATime(record)) {
        for (int16 p = 0; p < planes && error == noErr; ++p)
            error = ReadTiles(record, image, p, p);
    } else {
        error = ReadTiles(record, image, 0, int16(planes - 1));
    }
    if (error != noErr)
        return error;

    if (!record->haveMask)
        std::memset(image->mask.data, 255, size_t(image->pixelCount));
    if (image->bytesPerSample == 4)
        ClampFloatColour(image);
    return noErr;
}

OSErr WriteOutputTile(FilterRecord* record, const ImageBuffer* tile)
{
    if (record == nullptr || record->advanceState == nullptr)
        return FailWriting(errPlugInHostInsufficient);
    if (IsEmptyRect(tile->rect))
        return noErr;

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
        if (error != noErr)
            return FailWriting(error);
        HostLayout layout{static_cast<uint8_t*>(record->outData), record->outRowBytes,
                          onePlane || record->outColumnBytes == 0 ? pixelBytes : record->outColumnBytes};
        if (!HostLayoutHolds(layout, span, pixelBytes))
            return FailWriting(errPlugInHostInsufficient);
        for (int32_t p = 0; p < planesPerRequest; ++p) {
            CopyOut(tile, firstPlane + p, span, layout);
            layout.data += tile->bytesPerSample;
        }
    }
    return noErr;
}

OSErr FinishImageTransfer(FilterRecord* record)
{
    if (record == nullptr || record->advanceState == nullptr)
        return noErr;
    SetInRect(record, kNoRect);
    SetOutRect(record, kNoRect);
    SetMaskRect(record, kNoRect);
    return record->advanceState();
}
