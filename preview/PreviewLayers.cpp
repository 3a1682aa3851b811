#include "preview/PreviewLayers.h"

#include "diag/ErrorReport.h"
#include "engine/Compositing.h"
#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "preview/PreviewStatistics.h"
#include "preview/Regions.h"

PreviewLayers gLayers;

namespace {

RECT ToRect(const ImageRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

ImageRect ToImageRect(const RECT& r)
{
    return ImageRect{r.left, r.top, r.right, r.bottom};
}

// The whole input is converted the first time any of it is needed, and never again while the dialog is
// open: the conversion is one pass, and the proxy is far smaller than the input at 16 or 32 bits.
void MakeHostProxyValid(const RECT& rect)
{
    PreviewLayers& l = gLayers;
    HRGN r = CreateRectRgnIndirect(&rect);
    int left = InvalidPart(l.hostInvalidWork, l.hostTemp, r, l.validHostProxy, __LINE__,
                           "Could not combine WorkRegion and ValidHostProxyRegion.",
                           "Could not combine InvalidWorkRegion and TempRegion.");
    if (LeftSomething(left)) {
        const RECT proxyBounds = ToRect(l.hostProxy.rect);
        HRGN proxyRect = CreateRectRgnIndirect(&proxyBounds);
        left = CombineRegions(l.hostInvalidWork, l.hostInvalidWork, proxyRect, RGN_AND, __LINE__,
                              "Could not combine InvalidWorkRegion and TempRegion.");
        DeleteRegion(proxyRect);
        if (LeftSomething(left) && l.hostProxy.image.data != nullptr && l.hostProxy.rect == l.input->rect) {
            CopyImageBuffer(l.input, &l.hostProxy);
            SetRegion(l.validHostProxy, ToRect(l.hostProxy.rect), __LINE__,
                      "Could not set rectangle into ValidHostProxyRegion.");
        }
    }
    CombineRegions(l.validHostProxy, l.validHostProxy, r, RGN_OR, __LINE__,
                   "Could not combine ValidHostProxyRegion with ValidEffectProxyRegion.");
    DeleteRegion(r);
}

void AddValidEffect(const RECT& rect)
{
    HRGN r = CreateRectRgnIndirect(&rect);
    if (r == nullptr)
        ReportSystemFailure(__LINE__, "Could not set rectangle into ValidEffectProxyRegion.");
    CombineRegions(gLayers.validEffectProxy, gLayers.validEffectProxy, r, RGN_OR, __LINE__,
                   "Could not combine TempRegion and ValidEffectProxyRegion.");
    DeleteRegion(r);
}

bool Failed(OSErr error)
{
    if (gLayers.failure == noErr)
        gLayers.failure = error != noErr ? error : memFullErr;
    return false;
}

} // namespace

OSErr CreatePreviewLayers(ImageBuffer* input)
{
    PreviewLayers& l = gLayers;
    l = PreviewLayers{};
    l.input = input;
    const PlaneCounts counts{input->layerPlanes, input->transparencyPlanes, 0, 0, 0};
    OSErr error = AllocateImageBuffer(&l.hostProxy, input->rect, BaseModeOf(input->mode), counts, false);
    if (error != noErr)
        return error;
    l.hostProxy.mask = input->mask; // shared, not owned
    l.validHostProxy = NewRegion(__LINE__, "Could not create ValidHostProxyRegion.");
    l.hostInvalidWork = NewRegion(__LINE__, "Could not create InvalidWorkRegion.");
    l.hostTemp = NewRegion(__LINE__, "Could not create TempRegion.");

    error = AllocateImageBuffer(&l.effectLayer, input->rect, l.hostProxy.mode, counts, false);
    if (error != noErr)
        return error;
    l.validEffectProxy = NewRegion(__LINE__, "Could not create ValidEffectProxyRegion.");
    l.effectInvalidWork = NewRegion(__LINE__, "Could not create InvalidWorkRegion.");
    l.effectTemp = NewRegion(__LINE__, "Could not create TempRegion.");
    l.active = true;
    return noErr;
}

void ReleasePreviewLayers()
{
    PreviewLayers& l = gLayers;
    for (HRGN* region :
         {&l.validHostProxy, &l.hostInvalidWork, &l.hostTemp, &l.validEffectProxy, &l.effectInvalidWork, &l.effectTemp})
        DeleteRegion(*region);
    FreeImageBuffer(&l.effectLayer);
    l.hostProxy.mask = BufferRecord{}; // the input's, left alone
    FreeImageBuffer(&l.hostProxy);
    l = PreviewLayers{};
}

void CheckEffectValidity(const PreviewJob& job)
{
    PreviewLayers& l = gLayers;
    if (l.checkedOnce && SameEffect(job, l.checkedJob))
        CombineRegions(l.validEffectProxy, l.validEffectProxy, l.validHostProxy, RGN_AND, __LINE__,
                       "Could not combine ValidHostProxyRegion with ValidEffectProxyRegion.");
    else
        EmptyRegion(l.validEffectProxy);
    l.checkedJob = job;
    l.checkedOnce = true;
}

bool ComputeEffectIn(const RECT& rect, const PreviewJob& job)
{
    PreviewLayers& l = gLayers;
    HRGN r = CreateRectRgnIndirect(&rect);
    int left = InvalidPart(l.effectInvalidWork, l.effectTemp, r, l.validEffectProxy, __LINE__,
                           "Could not combine WorkRegion and ValidEffectProxyRegion.",
                           "Could not combine WorkRegion and TempRegion.");
    DeleteRegion(r);
    if (!LeftSomething(left))
        return true;

    MakeHostProxyValid(rect);
    const WorkStatus found = FindStars(*l.input);
    if (found == WorkStatus::Failed)
        return Failed(EngineFailure());
    if (found == WorkStatus::Interrupted)
        return false;

    const RECT layerBounds = ToRect(l.effectLayer.rect);
    HRGN layerRect = CreateRectRgnIndirect(&layerBounds);
    left = CombineRegions(l.effectInvalidWork, l.effectInvalidWork, layerRect, RGN_AND, __LINE__,
                          "Could not combine InvalidWorkRegion and TempRegion.");
    DeleteRegion(layerRect);
    bool finished = true;
    if (LeftSomething(left)) {
        const RenderInputs inputs{JobParameters(job), PreviewQuality(), l.input->width, l.input->height};
        for (const RECT& piece : RegionRects(l.effectInvalidWork)) {
            const ImageRect part = ToImageRect(piece);
            ++gPreviewStats.effectRenders;
            gPreviewStats.effectPixels += uint64_t(piece.right - piece.left) * uint64_t(piece.bottom - piece.top);
            if (job.preview == 0) {
                // The preview then shows the image unchanged.
                if (!CopyImageRect(&l.hostProxy, part, &l.effectLayer, part))
                    return Failed(EngineFailure());
                continue;
            }
            const WorkStatus rendered = RenderEffect(inputs, &l.hostProxy, part, &l.effectLayer, part);
            if (rendered == WorkStatus::Failed)
                return Failed(EngineFailure());
            if (rendered == WorkStatus::Interrupted) {
                finished = false;
                break;
            }
            // Finished rectangles stay valid even if a later one is interrupted.
            AddValidEffect(piece);
        }
    }
    if (finished)
        AddValidEffect(rect);
    return finished;
}

void SetFilterEffectsInvalidInRect(const RECT& rect)
{
    PreviewLayers& l = gLayers;
    if (!l.active) {
        ReportDebugFailure(__LINE__, "SetFilterEffectsInvalidInRect() called when Filter Effect Layer not active.");
        return;
    }
    if (!SetRegion(l.effectTemp, rect, __LINE__, "Could not set RectToInvalidate into TempRegion."))
        return;
    CombineRegions(l.validEffectProxy, l.validEffectProxy, l.effectTemp, RGN_DIFF, __LINE__,
                   "Could not combine ValidEffectProxyRegion with RegionToInvalidate.");
}
