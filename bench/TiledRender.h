// Timing helpers shared by the benchmarks.
#pragma once

#include <chrono>

#include "engine/RenderEffect.h"
#include "host/FilterRun.h"

using BenchClock = std::chrono::steady_clock;

inline double SecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

// The inputs the filter run renders `image` with.
inline RenderInputs FinalRenderInputs(const ImageBuffer& image, const FilterParameters& parameters)
{
    return RenderInputs{parameters, FinalQuality(image.bitsPerSample), image.width, image.height};
}

// Renders every tile of `image` into `tile` the way the filter run does (same tiles, same order, same
// retry of an interrupted tile); returns the seconds taken, or -1 when the render fails.
inline double RenderAllTiles(const ImageBuffer& image, const FilterParameters& parameters, ImageBuffer* tile)
{
    const TileGrid grid = FilterTileGrid(image.rect);
    const PlaneCounts counts{image.layerPlanes, 0, 0, 0, 0};
    const RenderInputs inputs = FinalRenderInputs(image, parameters);
    const BenchClock::time_point start = BenchClock::now();
    for (int64_t index = 0; index < TileCount(grid); ++index) {
        const ImageRect tileRect = TileAt(grid, index);
        if (AllocateImageBuffer(tile, tileRect, image.mode, counts, false) != noErr)
            return -1.0;
        WorkStatus status;
        while ((status = RenderEffect(inputs, &image, tileRect, tile, tileRect)) == WorkStatus::Interrupted) {
        }
        if (status == WorkStatus::Failed)
            return -1.0;
    }
    return SecondsSince(start);
}
