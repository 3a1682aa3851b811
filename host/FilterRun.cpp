#include "host/FilterRun.h"

#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "host/ImageTransfer.h"

namespace {

struct FilterProgress
{
    const FilterRecord* record;
    int32_t done;
    int32_t total;

    void Report() const
    {
        if (record->progressProc != nullptr)
            record->progressProc(done, total);
    }

    bool HostAborted() const { return record->abortProc != nullptr && record->abortProc(); }
};

// Detection and rendering return early whenever user input is waiting; the run simply asks again.
OSErr DetectStars(ImageBuffer& image, FilterProgress* progress)
{
    for (;;) {
        const WorkStatus status = FindStars(image);
        if (status == WorkStatus::Failed)
            return EngineFailure();
        if (status == WorkStatus::Done)
            break;
        progress->Report();
    }
    progress->done = 1;
    progress->Report();
    return noErr;
}

OSErr RenderTile(const RenderInputs& inputs, const ImageBuffer& source, ImageBuffer* tile,
                 const FilterProgress& progress)
{
    for (;;) {
        const WorkStatus status = RenderEffect(inputs, &source, tile->rect, tile, tile->rect);
        progress.Report();
        if (status == WorkStatus::Done)
            return noErr;
        if (status == WorkStatus::Failed)
            return EngineFailure();
        if (progress.HostAborted())
            return userCanceledErr;
    }
}

} // namespace

OSErr RunFilter(FilterRecord* record, ImageBuffer& image, const FilterParameters& parameters)
{
    const TileGrid grid = FilterTileGrid(image.rect);
    const int32_t tileCount = int32_t(TileCount(grid));
    FilterProgress progress{record, 0, tileCount + 1};
    progress.Report();
    OSErr error = DetectStars(image, &progress);

    const RenderInputs inputs{parameters, FinalQuality(image.bitsPerSample), image.width, image.height};
    const PlaneCounts counts{image.layerPlanes, image.transparencyPlanes, 0, 0, 0};
    ImageBuffer tile{};
    for (int32_t index = 0; index < tileCount && error == noErr; ++index) {
        error = AllocateImageBuffer(&tile, TileAt(grid, index), image.mode, counts, false);
        if (error == noErr)
            error = RenderTile(inputs, image, &tile, progress);
        if (error == noErr)
            error = WriteOutputTile(record, &tile);
        if (error == noErr) {
            ++progress.done;
            progress.Report();
            if (progress.HostAborted())
                error = userCanceledErr;
        }
    }
    FreeImageBuffer(&tile);
    return error;
}
