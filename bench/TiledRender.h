// Timing helpers shared by the benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/RenderEffect.h"
#include "engine/Shape.h"
#include "engine/StarList.h"
#include "host/FilterRun.h"

using BenchClock = std::chrono::steady_clock;

inline double SecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

// The fields the benchmarks run on, named on their command lines; the first is the default.
struct BenchMode
{
    const char* name;
    const char* title;
    int16 mode;
};

constexpr BenchMode kBenchModes[] = {
    {"rgb16", "16-bit RGB", plugInModeRGB48},
    {"rgb8", "8-bit RGB", plugInModeRGBColor},
    {"grey32", "32-bit grey", plugInModeGray32},
};

inline const BenchMode* FindBenchMode(const char* name)
{
    for (const BenchMode& mode : kBenchModes)
        if (std::strcmp(mode.name, name) == 0)
            return &mode;
    return nullptr;
}

// The field of a benchmark's command line, `[mode] [width height stars]`: the mode may be left out (a
// width is never a mode's name), and so may the size. An unknown mode prints the usage of benchmark
// `name`, whose own options are `more`, and gives false.
struct BenchField
{
    const BenchMode* mode = &kBenchModes[0];
    int32_t width = 6000;
    int32_t height = 4000;
    int32_t stars = 3000;
};

inline bool ParseBenchField(int argc, char** argv, BenchField* field, const char* name, const char* more = "")
{
    int first = 1;
    if (argc > 1 && (argv[1][0] < '0' || argv[1][0] > '9')) {
        field->mode = FindBenchMode(argv[1]);
        first = 2;
    }
    if (argc > first + 2) {
        field->width = std::atoi(argv[first]);
        field->height = std::atoi(argv[first + 1]);
        field->stars = std::atoi(argv[first + 2]);
    }
    if (field->mode == nullptr)
        std::fprintf(stderr, "usage: %s [rgb16 | rgb8 | grey32] [width height stars]%s\n", name, more);
    return field->mode != nullptr;
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

// The points a pass blends: those of every star above the pass's threshold that land in the rectangle
// and pass the visibility test (the same arithmetic as the stamp, counted instead of drawn).
inline uint64_t CountStampedPoints(Shape* shape, int32_t level, const ImageRect& rect)
{
    if (level < 1)
        return 0;
    const uint32_t threshold = uint32_t(100 - level) * 10737418u;
    const uint32_t visible = gQuality.visibilityCutoff / 2;
    uint64_t count = 0;
    for (uint32_t i = 0; i < gStarList.starCount; ++i) {
        const StarRecord& star = StarRecords()[i];
        if (star.brightness <= threshold)
            break;
        EnsureSubShape(shape, star.xPhase, star.yPhase);
        const SubShapeEntry& entry = EntryFor(*shape, star.xPhase, star.yPhase);
        for (uint32_t k = 0; k < entry.pointCount; ++k) {
            const ShapePoint& p = PointsOf(entry)[k];
            const int32_t x = star.x + p.dx;
            const int32_t y = star.y + p.dy;
            if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom)
                continue;
            const uint32_t m = std::max({MulFraction<PreciseArithmetic>(star.red, p.red),
                                         MulFraction<PreciseArithmetic>(star.green, p.green),
                                         MulFraction<PreciseArithmetic>(star.blue, p.blue)});
            count += MulFraction<PreciseArithmetic>(m, p.weight) >= visible ? 1 : 0;
        }
    }
    return count;
}
