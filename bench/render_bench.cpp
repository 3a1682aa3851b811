// Rendering of the effect over a large synthetic starfield at factory settings, the way the filter run
// does it (final quality, 2048 x 2048 tiles). Prints the time of each pass and the stamped points per
// second; not a test.
//
//   render_bench [rgb16 | rgb8 | grey32] [width height stars]
//
// The field is 16-bit RGB unless a mode is named first.
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

int main(int argc, char** argv)
{
    BenchField field;
    if (!ParseBenchField(argc, argv, &field, "render_bench"))
        return 1;
    const BenchMode* mode = field.mode;
    const int32_t width = field.width;
    const int32_t height = field.height;
    const int32_t starCount = field.stars;

    HeapHostMemory memory;
    BuildToneTables();
    StarfieldOptions options;
    options.width = width;
    options.height = height;
    options.seed = 20261206;
    options.starCount = starCount;
    const PlaneCounts counts{IsGreyMode(mode->mode) ? 1 : 3, 0, 0, 0, 0};
    ImageBuffer input{};
    if (AllocateImageBuffer(&input, ImageRect{0, 0, width, height}, mode->mode, counts, true) != noErr)
        return 1;
    WriteToImageBuffer(RenderStarfield(options, GenerateStars(options)), &input);

    BenchClock::time_point start = BenchClock::now();
    ResetEngine();
    while (FindStars(input) == WorkStatus::Interrupted) {
    }
    std::printf("%d x %d %s, %u stars detected in %.2f s\n", width, height, mode->title, gStarList.starCount,
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
