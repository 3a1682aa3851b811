#include "preview/PreviewPipeline.h"

#include <algorithm>

#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "engine/UserInput.h"
#include "preview/DisplayBitmap.h"
#include "preview/PreviewLayers.h"
#include "preview/PreviewProgress.h"
#include "preview/PreviewStatistics.h"
#include "preview/PreviewView.h"
#include "preview/Rects.h"
#include "preview/Regions.h"
#include "preview/ScaleRect.h"
#include "resources/ResourceIds.h"

PreviewStatistics gPreviewStats;

uint64_t PreviewMicroseconds()
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return uint64_t(now.QuadPart) * 1000000u / uint64_t(frequency.QuadPart);
}

namespace {

constexpr DWORD kDeferInvalidationMs = 400; // a job's first visible tiles are shown together
constexpr double kTilePixelsPerPercent = 10.24;
constexpr LONG kSmallestTile = 32;

// The scaled side: which pixels of the display bitmap hold the current preview, and the job.
struct ScaledSide
{
    bool active;
    HWND display;
    HRGN validScaledProxy;
    HRGN scaledProxy; // the display bitmap's rectangle
    HRGN work;        // the tile being worked on
    HRGN invalidWork;
    HRGN temp;
    HRGN invalidateDisplay; // display coordinates: drawn tiles not yet shown
    RECT currentTile;
    PreviewJob job;
    PreviewJob lastDrawn;
    bool drawnOnce;          // lastDrawn holds a job
    bool deferredInvalidate; // tiles were drawn and not yet shown
    uint64_t jobStartMicros; // for the statistics
};

ScaledSide gSide;

// The job's view in scaled coordinates: the inner rectangle placed about the centre.
RECT ScaledView(const PreviewJob& job)
{
    const LONG left = job.centreX - RectWidth(job.viewRect) / 2;
    const LONG top = job.centreY - RectHeight(job.viewRect) / 2;
    return RECT{left, top, left + RectWidth(job.viewRect), top + RectHeight(job.viewRect)};
}

RECT VisibleArea(const PreviewJob& job, const RECT& bounds)
{
    const RECT view = ScaledView(job);
    RECT visible;
    return IntersectRect(&visible, &view, &bounds) ? visible : RECT{0, 0, 0, 0};
}

// About 1024 image pixels at every zoom from 3.125 % up.
LONG TileSize(double zoom, const RECT& bounds)
{
    LONG t = std::max(static_cast<LONG>(zoom * kTilePixelsPerPercent), kSmallestTile);
    t = std::min({t, RectHeight(bounds), RectWidth(bounds)});
    return std::max<LONG>(t, 1);
}

int32_t TileCount(LONG t, const RECT& bounds)
{
    const int64_t across = (RectWidth(bounds) + t - 1) / t;
    const int64_t down = (RectHeight(bounds) + t - 1) / t;
    return int32_t(std::clamp<int64_t>(across * down, 1, INT32_MAX));
}

uint64_t MicrosIntoJob()
{
    return std::max<uint64_t>(PreviewMicroseconds() - gSide.jobStartMicros, 1);
}

void ShowPendingTiles()
{
    if (gPreviewStats.firstShownMicros == 0 && !IsRegionEmpty(gSide.invalidateDisplay))
        gPreviewStats.firstShownMicros = MicrosIntoJob();
    InvalidateRgn(gSide.display, gSide.invalidateDisplay, FALSE);
    EmptyRegion(gSide.invalidateDisplay);
}

// Which scaled pixels stay valid for this job: none after a zoom change; after a move, none of those the
// moved display bitmap will not hold; and only where the effect itself is still valid.
void UpdateScaledValidity()
{
    ScaledSide& s = gSide;
    const PreviewJob& job = s.job;
    if (!s.drawnOnce || job.zoom != s.lastDrawn.zoom) {
        EmptyRegion(s.validScaledProxy);
    } else if (job.centreX != s.lastDrawn.centreX || job.centreY != s.lastDrawn.centreY ||
               !EqualRect(&job.viewRect, &s.lastDrawn.viewRect)) {
        const RECT proxy = gDisplayBitmap.scaledProxyRect;
        if (!KeepsDisplayMargin(job, proxy)) {
            SetRegion(s.temp, WantedDisplayArea(job).wanted, __LINE__, "Could not set rectangle into TempRegion.");
            SetRegion(s.scaledProxy, proxy, __LINE__, "Could not set rectangle into ScaledProxyRegion.");
            CombineRegions(s.temp, s.temp, s.scaledProxy, RGN_DIFF, __LINE__,
                           "Could not combine TempRegion with ScaledProxyRegion.");
            CombineRegions(s.validScaledProxy, s.validScaledProxy, s.temp, RGN_DIFF, __LINE__,
                           "Could not combine ValidScaledProxyRegion with TempRegion.");
        }
    }
    HRGN scaledEffect = ScaleRegion(gLayers.validEffectProxy, 100.0 / job.zoom);
    CombineRegions(s.validScaledProxy, s.validScaledProxy, scaledEffect, RGN_AND, __LINE__,
                   "Could not combine ValidScaledProxyRegion with ValidScaledEffectProxyRegion.");
    DeleteRegion(scaledEffect);
}

// The first tile of `area` (t by t from its top-left, row by row) that is not wholly valid.
bool FindInvalidTile(const RECT& area, LONG t, RECT* found)
{
    ScaledSide& s = gSide;
    for (LONG y = area.top; y < area.bottom; y += t) {
        for (LONG x = area.left; x < area.right; x += t) {
            const RECT tile{x, y, std::min(x + t, area.right), std::min(y + t, area.bottom)};
            // Unlike the work steps, the search passes over a tile it cannot judge.
            const int left = InvalidPart(s.invalidWork, s.temp, tile, s.validScaledProxy, __LINE__,
                                         "Can't combine WorkRegion and ValidScaledProxyRegion.",
                                         "Can't combine WorkRegion and TempRegion.");
            if (left != ERROR && left != NULLREGION) {
                s.currentTile = tile;
                *found = tile;
                return true;
            }
        }
    }
    return false;
}

// Computes the effect under the current tile and draws it into the display bitmap. False when
// interrupted or failed; nothing is then marked valid.
bool DrawTile()
{
    ScaledSide& s = gSide;
    const PreviewJob& job = s.job;
    SetRegion(s.work, s.currentTile, __LINE__, "Could not set rectangle into WorkRegion.");
    int left = InvalidPart(s.invalidWork, s.temp, s.currentTile, s.validScaledProxy, __LINE__,
                           "Could not combine WorkRegion with ValidScaledProxyRegion.",
                           "Could not combine WorkRegion with TempRegion.");
    if (LeftSomething(left)) {
        if (!ComputeEffectIn(ScaleRect(s.currentTile, job.zoom * 0.01), job))
            return false;
        if (!s.drawnOnce || !SameView(job, s.lastDrawn))
            UpdateDisplayBitmap(job);
        if (gDisplayBitmap.bitmap != nullptr) {
            left = ClipRegionToRect(s.invalidWork, s.scaledProxy, gDisplayBitmap.scaledProxyRect, __LINE__,
                                    "Could not combine InvalidWorkRegion with ScaledProxyRegion.");
            if (LeftSomething(left)) {
                DrawPreviewRegion(s.invalidWork, &gLayers.effectLayer, job.zoom);
                ++gPreviewStats.tilesDrawn;
            }
        }
    }
    CombineRegions(s.validScaledProxy, s.validScaledProxy, s.work, RGN_OR, __LINE__,
                   "Could not combine ValidScaledProxyRegion with TempRegion.");
    s.lastDrawn = job;
    s.drawnOnce = true;
    return true;
}

// A visible tile waits to be shown with the others of the job's first moments.
void CollectForDisplay(const RECT& tile)
{
    const PreviewJob& job = gSide.job;
    const RECT view = ScaledView(job);
    RECT shown = tile;
    OffsetRect(&shown, job.viewRect.left - view.left, job.viewRect.top - view.top);
    AddRectToRegion(gSide.invalidateDisplay, shown, __LINE__, "Could not set rectangle into InvalidateDisplayRegion.",
                    "Could not combine InvalidateDisplayRegion with TempRegion.");
}

bool SliceBody()
{
    ScaledSide& s = gSide;
    PreviewJob& job = s.job;
    CheckEffectValidity(job);
    UpdateScaledValidity();

    const RECT bounds = ScaledImageBounds(job.zoom);
    const RECT visible = VisibleArea(job, bounds);
    const RECT kept = gDisplayBitmap.bitmap != nullptr ? gDisplayBitmap.scaledProxyRect : RECT{0, 0, 0, 0};
    const LONG t = TileSize(job.zoom, bounds);
    const int32_t tileCount = TileCount(t, bounds);

    for (;;) {
        RECT tile;
        if (FindInvalidTile(visible, t, &tile)) {
            if (!DrawTile())
                return gLayers.failure == noErr;
            SetPreviewProgress(int32_t(++job.steps), tileCount);
            CollectForDisplay(tile);
            if (GetTickCount() - job.startTick >= kDeferInvalidationMs) {
                s.deferredInvalidate = false;
                ShowPendingTiles();
                return true;
            }
            s.deferredInvalidate = true;
        } else {
            if (gPreviewStats.visibleCompleteMicros == 0)
                gPreviewStats.visibleCompleteMicros = MicrosIntoJob();
            if (!FindInvalidTile(kept, t, &tile) && !FindInvalidTile(bounds, t, &tile))
                break;
            if (s.deferredInvalidate) {
                // The view is complete: show it before working on what is out of sight.
                s.deferredInvalidate = false;
                ShowPendingTiles();
                return true;
            }
            if (!DrawTile())
                return gLayers.failure == noErr;
            SetPreviewProgress(int32_t(++job.steps), tileCount);
        }
        if (UserInputPending())
            return true;
    }
    if (s.deferredInvalidate) {
        s.deferredInvalidate = false;
        ShowPendingTiles();
    }
    ClearPreviewProgress();
    return false;
}

void ReportDetectionProgress(int32_t rowsDone, int32_t rowsTotal)
{
    SetPreviewProgress(rowsDone, rowsTotal);
}

} // namespace

OSErr InitPreviewPipeline(HWND dialog, HWND display, const PreviewSource& source)
{
    ScaledSide& s = gSide;
    s = ScaledSide{};
    s.display = display;
    const OSErr error = CreatePreviewLayers(source.input);
    if (error != noErr) {
        ReleasePreviewLayers();
        return error;
    }
    s.validScaledProxy = NewRegion(__LINE__, "Could not create ValidScaledProxyRegion.");
    s.scaledProxy = NewRegion(__LINE__, "Could not create ScaledProxyRegion.");
    s.work = NewRegion(__LINE__, "Could not create WorkRegion.");
    s.invalidWork = NewRegion(__LINE__, "Could not create InvalidWorkRegion.");
    s.temp = NewRegion(__LINE__, "Could not create TempRegion.");
    s.invalidateDisplay = NewRegion(__LINE__, "Could not create InvalidateDisplayRegion.");
    SetUpDisplayBitmap(display, source.record, source.input->bitsPerSample);
    SetPreviewProgressBar(GetDlgItem(dialog, IDC_PROGRESS));
    SetDetectionProgressHook(ReportDetectionProgress);
    // The preview's own timer ticks are not the user acting; detection and rendering let one through.
    SetUserInputWindow(dialog);
    s.active = true;
    return noErr;
}

void ReleasePreviewPipeline()
{
    ScaledSide& s = gSide;
    for (HRGN* region : {&s.validScaledProxy, &s.scaledProxy, &s.work, &s.invalidWork, &s.temp, &s.invalidateDisplay})
        DeleteRegion(*region);
    ReleaseDisplayBitmap();
    ReleasePreviewLayers();
    SetDetectionProgressHook(nullptr);
    SetPreviewProgressBar(nullptr);
    SetUserInputWindow(nullptr);
    // A render interrupted in the preview drew into the effect layer, which is gone.
    gRenderResume.resumable = false;
    s = ScaledSide{};
}

bool PreviewPipelineActive()
{
    return gSide.active;
}

void StartPreviewJob(const FilterParameters& parameters, bool preview)
{
    PreviewJob& job = gSide.job;
    job.viewRect = gView.inner;
    job.imageRect = gView.imageRect;
    job.centreX = static_cast<int32_t>(gView.centreX);
    job.centreY = static_cast<int32_t>(gView.centreY);
    job.zoom = gView.zoom;
    job.preview = preview ? 1 : 0;
    SetJobParameters(&job, parameters);
    job.steps = 0;
    job.startTick = GetTickCount();
    gSide.jobStartMicros = PreviewMicroseconds();
    gPreviewStats.visibleCompleteMicros = 0;
    gPreviewStats.firstShownMicros = 0;
}

bool RunPreviewSlice()
{
    if (!gSide.active || gLayers.failure != noErr)
        return false;
    const uint64_t started = PreviewMicroseconds();
    ++gPreviewStats.slices;
    const bool more = SliceBody();
    gPreviewStats.longestSliceMicros = std::max(gPreviewStats.longestSliceMicros, PreviewMicroseconds() - started);
    return more;
}

OSErr PreviewFailure()
{
    return gLayers.failure;
}

const PreviewJob& CurrentPreviewJob()
{
    return gSide.job;
}
