// Timing helpers shared by the benchmarks.
#pragma once

#include <chrono>

#include "engine/RenderEffect.h"
#include "host/FilterRun.h"
#include "host/ImageTransfer.h"
#include "host/PluginGlobals.h"

using BenchClock = std::chrono::steady_clock;

inline double SecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

// Renders every tile of the input image into `tile` the way the filter run does (same tiles, same order,
// same retry of an interrupted tile); returns the seconds taken, or -1 when the render fails.
inline double RenderAllTiles(ImageBuffer* tile)
{
    const ImageRect& rect = gInputImage.rect;
    const PlaneCounts counts{gInputImage.layerPlanes, 0, 0, 0, 0};
    const BenchClock::time_point start = BenchClock::now();
    for (int32_t index = 0; index < TileCount(rect); ++index) {
        const ImageRect tileRect = TileAt(rect, index);
        if (!AllocateImageBuffer(tile, tileRect, gInputImage.mode, counts, false))
            return -1.0;
        while (!RenderEffect(&gInputImage, tileRect, tile, tileRect))
            if (ResultCode() != noErr)
                return -1.0;
    }
    return SecondsSince(start);
}
