#include "preview/PreviewLayers.h"

#include "diag/ErrorReport.h"
#include "engine/Compositing.h"
#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "preview/PreviewStatistics.h"
#include "preview/Rects.h"
#include "preview/Regions.h"

PreviewLayers gLayers;

namespace {

// The whole input is converted the first time any of it is needed, and never again while the dialog is
// open: the conversion is one pass, and the proxy is far smaller than the input at 16 or 32 bits.
void MakeHostProxyValid(const RECT& rect)
{
    PreviewLayers& l = gLayers;
    int left = InvalidPart(l.hostInvalidWork, l.hostTemp, rect, l.validHostProxy, __LINE__,
                           "Could not combine WorkRegion and ValidHostProxyRegion.",
                           "Could not combine InvalidWorkRegion and TempRegion.");
    if (LeftSomething(left)) {
        left = ClipRegionToRect(l.hostInvalidWork, l.hostTemp, ToRect(l.hostProxy.rect), __LINE__,
                                "Could not combine InvalidWorkRegion and TempRegion.");
        if (LeftSomething(left) && l.hostProxy.image.data != nullptr && l.hostProxy.rect == l.input->rect) {
            CopyImageBuffer(l.input, &l.hostProxy);
            SetRegion(l.validHostProxy, ToRect(l.hostProxy.rect), __LINE__,
                      "Could not set rectangle into ValidHostProxyRegion.");
        }
    }
    AddRectToRegion(l.validHostProxy, rect, __LINE__, "Could not set rectangle into ValidHostProxyRegion.",
                    "Could not combine ValidHostProxyRegion with ValidEffectProxyRegion.");
}

void AddValidEffect(const RECT& rect)
{
    AddRectToRegion(gLayers.validEffectProxy, rect, __LINE__, "Could not set rectangle into ValidEffectProxyRegion.",
                    "Could not combine TempRegion and ValidEffectProxyRegion.");
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
    int left = InvalidPart(l.effectInvalidWork, l.effectTemp, rect, l.validEffectProxy, __LINE__,
                           "Could not combine WorkRegion and ValidEffectProxyRegion.",
                           "Could not combine WorkRegion and TempRegion.");
    if (!LeftSomething(left))
        return true;

    MakeHostProxyValid(rect);
    const WorkStatus found = FindStars(*l.input);
    if (found == WorkStatus::Failed)
        return Failed(EngineFailure());
    if (found == WorkStatus::Interrupted)
        return false;

    left = ClipRegionToRect(l.effectInvalidWork, l.effectTemp, ToRect(l.effectLayer.rect), __LINE__,
                            "Could not combine InvalidWorkRegion and TempRegion.");
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
