// Rendering of the effect over a large synthetic starfield at factory settings, the way the filter run
// does it (final quality, 2048 x 2048 tiles). Prints the time of each pass and the stamped points per
// second; not a test.
//
//   render_bench [width height stars]
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bench/TiledRender.h"
#include "engine/EngineState.h"
#include "engine/FixedPoint.h"
#include "engine/RenderEffect.h"
#include "engine/RenderShapes.h"
#include "engine/Shape.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "host/FilterRun.h"
#include "image/ToneTables.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

// The points a pass blends: those of every star above the pass's threshold that land in the rectangle
// and pass the visibility test (the same arithmetic as the stamp, counted instead of drawn).
uint64_t CountStampedPoints(Shape* shape, int32_t level, const ImageRect& rect)
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

} // namespace

int main(int argc, char** argv)
{
    const int32_t width = argc > 3 ? std::atoi(argv[1]) : 6000;
    const int32_t height = argc > 3 ? std::atoi(argv[2]) : 4000;
    const int32_t starCount = argc > 3 ? std::atoi(argv[3]) : 3000;

    HeapHostMemory memory;
    BuildToneTables();
    StarfieldOptions options;
    options.width = width;
    options.height = height;
    options.seed = 20261206;
    options.starCount = starCount;
    const PlaneCounts counts{3, 0, 0, 0, 0};
    ImageBuffer input{};
    if (AllocateImageBuffer(&input, ImageRect{0, 0, width, height}, plugInModeRGB48, counts, true) != noErr)
        return 1;
    WriteToImageBuffer(RenderStarfield(options, GenerateStars(options)), &input);

    BenchClock::time_point start = BenchClock::now();
    ResetEngine();
    while (FindStars(input) == WorkStatus::Interrupted) {
    }
    std::printf("%d x %d 16-bit RGB, %u stars detected in %.2f s\n", width, height, gStarList.starCount,
                SecondsSince(start));

    FilterParameters parameters = kFactoryParameters;
    const RenderInputs inputs = FinalRenderInputs(input, parameters);
    gQuality = inputs.quality;
    RefreshRenderShapes(parameters, inputs.quality, inputs.imageWidth, inputs.imageHeight);
    Shape& spikeShape = gRenderShapes.spike;
    Shape& flareShape = gRenderShapes.flare;
    start = BenchClock::now();
    uint64_t spikePoints = 0;
    uint64_t flarePoints = 0;
    for (int32_t phase = 0; phase < 16; ++phase) {
        EnsureSubShape(&spikeShape, phase / 4, phase % 4);
        EnsureSubShape(&flareShape, phase / 4, phase % 4);
        spikePoints += spikeShape.entries[phase].pointCount;
        flarePoints += flareShape.entries[phase].pointCount;
    }
    std::printf("shapes of 16 phases built in %.2f s: %.0f spike and %.0f flare points per phase\n",
                SecondsSince(start), spikePoints / 16.0, flarePoints / 16.0);

    const uint64_t spikeStamped = CountStampedPoints(&spikeShape, parameters.intensity, input.rect);
    const uint64_t flareStamped = CountStampedPoints(&flareShape, parameters.softFlareBrightness, input.rect);

    ImageBuffer result{};
    parameters.intensity = 0;
    parameters.softFlareBrightness = 0;
    const double copySeconds = RenderAllTiles(input, parameters, &result);
    parameters.intensity = kFactoryParameters.intensity;
    const double spikeSeconds = RenderAllTiles(input, parameters, &result) - copySeconds;
    parameters.intensity = 0;
    parameters.softFlareBrightness = kFactoryParameters.softFlareBrightness;
    const double flareSeconds = RenderAllTiles(input, parameters, &result) - copySeconds;
    parameters = kFactoryParameters;
    const double totalSeconds = RenderAllTiles(input, parameters, &result);

    std::printf("copy only:   %.3f s\n", copySeconds);
    std::printf("spike pass:  %.3f s, %" PRIu64 " points stamped, %.1f M points/s\n", spikeSeconds, spikeStamped,
                spikeStamped / spikeSeconds / 1e6);
    std::printf("flare pass:  %.3f s, %" PRIu64 " points stamped, %.1f M points/s\n", flareSeconds, flareStamped,
                flareStamped / flareSeconds / 1e6);
    std::printf("whole render at factory settings: %.3f s\n", totalSeconds);

    FreeImageBuffer(&result);
    ResetEngine();
    FreeImageBuffer(&input);
    return 0;
}
