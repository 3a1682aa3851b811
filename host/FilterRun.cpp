#include "host/FilterRun.h"

#include "diag/ErrorReport.h"
#include "engine/FixedPoint.h"
#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "host/ImageTransfer.h"
#include "host/PluginGlobals.h"

namespace {

struct FilterProgress
{
    int32_t done;
    int32_t total;
};

FilterProgress gProgress;

void ReportProgress()
{
    const FilterRecord* record = gPlugin.filterRecord;
    if (record != nullptr && record->progressProc != nullptr)
        record->progressProc(gProgress.done, gProgress.total);
}

bool HostAborted()
{
    const FilterRecord* record = gPlugin.filterRecord;
    return record != nullptr && record->abortProc != nullptr && record->abortProc();
}

int32_t TilesAcross(const ImageRect& r)
{
    return (r.right - r.left + kFilterTileSize - 1) / kFilterTileSize;
}

int32_t TilesDown(const ImageRect& r)
{
    return (r.bottom - r.top + kFilterTileSize - 1) / kFilterTileSize;
}

void DetectStars()
{
    while (!FindStars())
        ReportProgress();
    gProgress.done = 1;
    ReportProgress();
}

// Renders one tile to completion. RenderEffect returns early when user input is waiting (the caller just
// asks again) or when a step failed. A failure normally sets the result code; one that does not would
// otherwise be retried forever, so it ends the run here.
bool RenderTile(const ImageBuffer* source, ImageBuffer* tile, const ImageRect& tileRect)
{
    for (;;) {
        const bool complete = RenderEffect(source, tileRect, tile, tileRect);
        ReportProgress();
        if (complete)
            return true;
        if (ResultCode() != noErr)
            return false;
        if (!gRenderResume.resumable) {
            ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "RenderEffect() failed without a result code.");
            SetResultCode(paramErr);
            return false;
        }
        if (HostAborted()) {
            SetResultCode(userCanceledErr);
            return false;
        }
    }
}

} // namespace

int32_t TileCount(const ImageRect& filterRect)
{
    if (IsEmptyRect(filterRect))
        return 0;
    return TilesAcross(filterRect) * TilesDown(filterRect);
}

ImageRect TileAt(const ImageRect& filterRect, int32_t index)
{
    const int32_t across = TilesAcross(filterRect);
    const int32_t left = filterRect.left + (index % across) * kFilterTileSize;
    const int32_t top = filterRect.top + (index / across) * kFilterTileSize;
    return ImageRect{left, top, left + kFilterTileSize < filterRect.right ? left + kFilterTileSize : filterRect.right,
                     top + kFilterTileSize < filterRect.bottom ? top + kFilterTileSize : filterRect.bottom};
}

void DoFilter()
{
    SetFinalQuality();
    const ImageBuffer source = gInputImage; // shares the input's pixel blocks; never freed by itself
    const ImageRect filterRect = source.rect;
    const int32_t tileCount = TileCount(filterRect);

    gProgress = FilterProgress{0, tileCount + 1};
    ReportProgress();
    DetectStars();

    ImageBuffer tile{};
    const PlaneCounts counts{source.layerPlanes, source.transparencyPlanes, 0, 0, 0};
    for (int32_t index = 0; index < tileCount && ResultCode() == noErr; ++index) {
        const ImageRect tileRect = TileAt(filterRect, index);
        if (!AllocateImageBuffer(&tile, tileRect, source.mode, counts, false))
            break;
        if (!RenderTile(&source, &tile, tileRect))
            break;
        if (!WriteOutputTile(&tile))
            break;
        ++gProgress.done;
        ReportProgress();
        if (HostAborted())
            SetResultCode(userCanceledErr);
    }
    ReleaseBuffer(&tile.image);
    ReleaseBuffer(&tile.mask);
}
