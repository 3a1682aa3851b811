// The whole filter run on a large starfield, as a host sees it and split into its parts.
// Not a test; build it in a release configuration.
//
//   filter_bench [rgb16 | rgb8 | grey32] [width height stars]
//
// The field is 16-bit RGB unless a mode is named first.
// Whole-run figures come from the host harness driving the linked entry point, so they include the
// host's own transfer work. The passthrough (intensity 0, no flare) is the floor of any filter that
// reads and writes the image; it still runs the star detection, which is timed on its own below. The
// split of the effect calls the engine directly, tile by tile as the run does.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/TiledRender.h"
#include "engine/EngineState.h"
#include "engine/FixedPoint.h"
#include "engine/RenderEffect.h"
#include "engine/RenderShapes.h"
#include "engine/Shape.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "host/FilterRun.h"
#include "host/PluginGlobals.h"
#include "host/PluginMain.h"
#include "image/BufferRecord.h"
#include "image/ToneTables.h"
#include "presets/UserFolders.h"
#include "tools/harness/Harness.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/harness/ParameterDescriptor.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

double PeakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

double CurrentResidentMegabytes()
{
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return 0.0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The seeded starfield as a host holds it: linear light taken as host values of `mode` (grey is the
// mean of the three channels).
HostDocument MakeDocument(const BenchMode& mode, int32_t width, int32_t height, int32_t starCount)
{
    StarfieldOptions options;
    options.width = width;
    options.height = height;
    options.seed = 20261206;
    options.starCount = starCount;
    const LinearImage field = RenderStarfield(options, GenerateStars(options));
    HostDocument document(width, height, mode.mode);
    const double full = document.BytesPerSample() == 1 ? 255.0 : document.BytesPerSample() == 2 ? 32768.0 : 1.0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const float* rgb = &field.rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            if (document.ColorPlanes() == 1)
                document.SetSample(0, x, y, (double(rgb[0]) + rgb[1] + rgb[2]) / 3.0 * full);
            else
                for (int32_t p = 0; p < 3; ++p)
                    document.SetSample(p, x, y, double(rgb[p]) * full);
        }
    return document;
}

// The document's samples as the module's input image, as reading it from the host leaves them.
bool LoadInputImage(const HostDocument& document, ImageBuffer* input)
{
    const ImageRect rect{0, 0, document.Width(), document.Height()};
    if (AllocateImageBuffer(input, rect, document.Mode(), PlaneCounts{document.ColorPlanes(), 0, 0, 0, 0}, true) !=
        noErr)
        return false;
    const size_t planeBytes = size_t(document.Width()) * size_t(document.Height()) * size_t(document.BytesPerSample());
    for (int32_t p = 0; p < document.ColorPlanes(); ++p)
        std::memcpy(input->planes[p], document.SampleAddress(p, 0, 0), planeBytes);
    std::memset(input->mask.data, 255, size_t(input->pixelCount));
    return true;
}

Descriptor Parameters(int32_t intensity, int32_t softFlareBrightness)
{
    FilterParameters parameters = kFactoryParameters;
    parameters.intensity = int16_t(intensity);
    parameters.softFlareBrightness = int16_t(softFlareBrightness);
    return DescriptorOfParameters(parameters);
}

// One silent run through the harness; returns its time, or a negative value when it failed.
double TimeHostRun(const HostDocument& document, const Descriptor& parameters, uint64_t* peakModuleBytes)
{
    ResetPluginGlobals();
    ResetBufferUsage();
    Host host(PluginMain);
    if (!host.SetDocument(document))
        return -1.0;
    host.SetDescriptor(parameters);
    const BenchClock::time_point start = BenchClock::now();
    const OSErr result = host.RunScripted(plugInDialogSilent);
    const double seconds = SecondsSince(start);
    *peakModuleBytes = PeakBufferUsage();
    if (result != noErr) {
        std::printf("the run failed with %d\n", result);
        return -1.0;
    }
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    BenchField field;
    if (!ParseBenchField(argc, argv, &field, "filter_bench"))
        return 1;
    const BenchMode* mode = field.mode;
    const int32_t width = field.width;
    const int32_t height = field.height;
    const int32_t starCount = field.stars;

    // The module's settings and log go to a folder of its own, not the user's.
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "corvane-filter-bench";
    std::filesystem::create_directories(root);
    OverrideApplicationDataRoots(root.string().c_str(), root.string().c_str());

    BenchClock::time_point start = BenchClock::now();
    const HostDocument document = MakeDocument(*mode, width, height, starCount);
    std::printf("%d x %d %s starfield, %d stars generated, %.2f s\n", width, height, mode->title, starCount,
                SecondsSince(start));
    const double residentBefore = CurrentResidentMegabytes();
    const double peakBefore = PeakResidentMegabytes();

    uint64_t passthroughPeak = 0, runPeak = 0;
    const double passthrough = TimeHostRun(document, Parameters(0, 0), &passthroughPeak);
    const double whole = TimeHostRun(
        document, Parameters(kFactoryParameters.intensity, kFactoryParameters.softFlareBrightness), &runPeak);
    const double residentAfterRuns = PeakResidentMegabytes();

    // The parts, on the engine alone.
    double detection = -1.0, copy = -1.0, spikes = -1.0, flare = -1.0;
    uint32_t stars = 0;
    uint64_t spikePoints = 0, flarePoints = 0;
    {
        HeapHostMemory memory;
        BuildToneTables();
        ImageBuffer input{};
        if (!LoadInputImage(document, &input))
            return 1;
        FilterParameters parameters = kFactoryParameters;

        start = BenchClock::now();
        ResetEngine();
        while (FindStars(input) == WorkStatus::Interrupted) {
        }
        detection = SecondsSince(start);
        stars = gStarList.starCount;

        ImageBuffer tile{};
        parameters.intensity = 0;
        parameters.softFlareBrightness = 0;
        copy = RenderAllTiles(input, parameters, &tile);
        parameters.intensity = kFactoryParameters.intensity; // shapes are built in the first pass that needs them
        spikes = RenderAllTiles(input, parameters, &tile) - copy;
        parameters.intensity = 0;
        parameters.softFlareBrightness = kFactoryParameters.softFlareBrightness;
        flare = RenderAllTiles(input, parameters, &tile) - copy;
        FreeImageBuffer(&tile);
        spikePoints = CountStampedPoints(&gRenderShapes.spike, kFactoryParameters.intensity, input.rect);
        flarePoints = CountStampedPoints(&gRenderShapes.flare, kFactoryParameters.softFlareBrightness, input.rect);
        ResetEngine();
        FreeImageBuffer(&input);
    }

    std::printf("stars detected:                   %u\n", stars);
    std::printf("passthrough run (intensity 0, no flare): %.3f s, of which detection about %.3f s\n", passthrough,
                detection);
    std::printf("detection (engine alone):         %.3f s\n", detection);
    std::printf("tile copies (engine alone):       %.3f s\n", copy);
    std::printf("spike pass (engine, over copies): %.3f s, %.1f M points/s\n", spikes, spikePoints / spikes / 1e6);
    std::printf("flare pass (engine, over copies): %.3f s, %.1f M points/s\n", flare, flarePoints / flare / 1e6);
    std::printf("whole filter run, factory:        %.3f s, %.2f x the passthrough\n", whole, whole / passthrough);
    std::printf("peak module memory in the run:    %.1f MB (passthrough %.1f MB)\n", double(runPeak) / 1e6,
                double(passthroughPeak) / 1e6);
    std::printf("resident set:                     %.1f MB before the host runs (peak so far %.1f MB), "
                "peak %.1f MB after them\n",
                residentBefore, peakBefore, residentAfterRuns);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return 0;
}
