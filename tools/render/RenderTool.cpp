// corvane-render: applies the effect to an image through the engine alone (no host, no dialog), so that
// a person can look at what the engine draws.
//
//   corvane-render --starfield 1200x800 --stars 300 --depth 16 --out field.ppm --source-out plain.ppm
//   corvane-render --in photo.ppm --points 6 --sharpness 100 --rainbow 100 --out spikes.ppm
//
// Reads and writes binary PPM/PGM (8 or 16 bits); every parameter defaults to the factory setting.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/EngineState.h"
#include "engine/FilterParameters.h"
#include "engine/FixedPoint.h"
#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "host/FilterRun.h"
#include "image/ToneTables.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/render/PortableAnymap.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

constexpr uint32_t kHost16Full = 32768;

struct Options
{
    std::string in;
    std::string out;
    std::string sourceOut;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stars = 200;
    uint64_t seed = 1;
    int32_t depth = 16;
    bool grey = false;
    bool preview = false;
    FilterParameters parameters = kFactoryParameters;
};

void PrintUsage()
{
    std::fprintf(stderr, "usage: corvane-render --out FILE (--in FILE | --starfield WxH [--stars N] [--seed N])\n"
                         "         [--depth 8|16] [--grey] [--preview] [--source-out FILE]\n"
                         "         [--intensity N] [--length N] [--angle TENTHS] [--points N] [--sharpness N]\n"
                         "         [--saturation N] [--rainbow N] [--frequency N] [--secondary N] [--flare N]\n"
                         "         [--spikes-only]\n");
}

bool ParseInt(const char* text, int32_t low, int32_t high, int32_t* value)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high)
        return false;
    *value = int32_t(v);
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    struct Numeric
    {
        const char* name;
        int16_t* field;
        int32_t low;
        int32_t high;
    };
    FilterParameters& p = options->parameters;
    const Numeric numerics[] = {
        {"--intensity", &p.intensity, 0, 100},
        {"--length", &p.length, 0, 100},
        {"--angle", &p.angle, -900, 900},
        {"--points", &p.numberOfPoints, 1, 32},
        {"--sharpness", &p.spikeSharpness, 0, 100},
        {"--saturation", &p.saturation, -100, 100},
        {"--rainbow", &p.rainbowIntensity, 0, 100},
        {"--frequency", &p.rainbowFrequency, 0, 100},
        {"--secondary", &p.secondarySpikeIntensity, 0, 100},
        {"--flare", &p.softFlareBrightness, 0, 100},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        bool matched = false;
        for (const Numeric& n : numerics) {
            if (arg != n.name)
                continue;
            int32_t v = 0;
            if (next == nullptr || !ParseInt(next, n.low, n.high, &v)) {
                std::fprintf(stderr, "%s needs a number from %d to %d\n", n.name, n.low, n.high);
                return false;
            }
            *n.field = int16_t(v);
            ++i;
            matched = true;
        }
        if (matched)
            continue;
        if (arg == "--spikes-only")
            p.outputSpikesOnly = 1;
        else if (arg == "--grey")
            options->grey = true;
        else if (arg == "--preview")
            options->preview = true;
        else if ((arg == "--in" || arg == "--out" || arg == "--source-out") && next != nullptr) {
            (arg == "--in" ? options->in : arg == "--out" ? options->out : options->sourceOut) = next;
            ++i;
        } else if (arg == "--starfield" && next != nullptr &&
                   std::sscanf(next, "%dx%d", &options->width, &options->height) == 2 && options->width > 0 &&
                   options->height > 0 && options->width <= 32767 && options->height <= 32767)
            ++i;
        else if (arg == "--stars" && next != nullptr && ParseInt(next, 0, 1000000, &options->stars))
            ++i;
        else if (arg == "--seed" && next != nullptr) {
            options->seed = std::strtoull(next, nullptr, 10);
            ++i;
        } else if (arg == "--depth" && next != nullptr && ParseInt(next, 8, 16, &options->depth) &&
                   (options->depth == 8 || options->depth == 16))
            ++i;
        else {
            std::fprintf(stderr, "unknown or incomplete option %s\n", arg.c_str());
            return false;
        }
    }
    if (options->out.empty() || (options->in.empty() == (options->width == 0)))
        return false;
    return true;
}

int32_t ModeFor(bool grey, int32_t depth)
{
    if (depth == 16)
        return grey ? 10 : 11;
    return grey ? 1 : 3;
}

// Host samples: 8-bit 0..255, 16-bit 0..32768.
uint32_t ToHost(uint32_t v, uint32_t maxValue, int32_t depth)
{
    const uint32_t full = depth == 16 ? kHost16Full : 255;
    return uint32_t((uint64_t(v) * full * 2 + maxValue) / (uint64_t(maxValue) * 2));
}

uint32_t FromHost(uint32_t v, int32_t depth)
{
    if (depth == 8)
        return v;
    return uint32_t((uint64_t(v) * 65535 * 2 + kHost16Full) / (uint64_t(kHost16Full) * 2));
}

uint32_t SampleAt(const ImageBuffer& image, int32_t plane, size_t index)
{
    if (image.bytesPerSample == 2)
        return static_cast<const uint16_t*>(image.planes[plane])[index];
    return static_cast<const uint8_t*>(image.planes[plane])[index];
}

void SetSample(ImageBuffer* image, int32_t plane, size_t index, uint32_t v)
{
    if (image->bytesPerSample == 2)
        static_cast<uint16_t*>(image->planes[plane])[index] = uint16_t(v);
    else
        static_cast<uint8_t*>(image->planes[plane])[index] = uint8_t(v);
}

void StoreAnymap(const AnymapImage& file, int32_t depth, ImageBuffer* image)
{
    const size_t pixels = size_t(image->pixelCount);
    for (size_t i = 0; i < pixels; ++i) {
        const uint16_t* px = &file.samples[i * size_t(file.channels)];
        if (image->layerPlanes == 1) {
            const uint32_t grey = file.channels == 3 ? (uint32_t(px[0]) + px[1] + px[2]) / 3 : px[0];
            SetSample(image, 0, i, ToHost(grey, uint32_t(file.maxValue), depth));
        } else {
            for (int32_t p = 0; p < 3; ++p)
                SetSample(image, p, i, ToHost(px[file.channels == 3 ? p : 0], uint32_t(file.maxValue), depth));
        }
    }
}

AnymapImage ToAnymap(const ImageBuffer& image, int32_t depth)
{
    AnymapImage file;
    file.width = image.width;
    file.height = image.height;
    file.channels = image.layerPlanes;
    file.maxValue = depth == 16 ? 65535 : 255;
    file.samples.resize(size_t(image.pixelCount) * size_t(file.channels));
    for (size_t i = 0; i < size_t(image.pixelCount); ++i)
        for (int32_t p = 0; p < file.channels; ++p)
            file.samples[i * size_t(file.channels) + size_t(p)] = uint16_t(FromHost(SampleAt(image, p, i), depth));
    return file;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The image the stars are found in and rendered from; freed by main.
ImageBuffer gSource;

bool Run(Options& options)
{
    std::string error;
    AnymapImage file;
    if (!options.in.empty()) {
        if (!ReadAnymap(options.in, &file, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
        options.width = file.width;
        options.height = file.height;
        if (file.channels == 1)
            options.grey = true;
    }

    const ImageRect rect{0, 0, options.width, options.height};
    const int32_t mode = ModeFor(options.grey, options.depth);
    const PlaneCounts counts{options.grey ? 1 : 3, 0, 0, 0, 0};
    if (AllocateImageBuffer(&gSource, rect, mode, counts, true) != noErr) {
        std::fprintf(stderr, "cannot allocate the input image\n");
        return false;
    }
    // As from a host without a selection: everything is selected.
    std::memset(gSource.mask.data, 255, size_t(gSource.pixelCount));
    if (!options.in.empty()) {
        StoreAnymap(file, options.depth, &gSource);
    } else {
        StarfieldOptions starfield;
        starfield.width = options.width;
        starfield.height = options.height;
        starfield.seed = options.seed;
        starfield.starCount = options.stars;
        starfield.coloured = !options.grey;
        WriteToImageBuffer(RenderStarfield(starfield, GenerateStars(starfield)), &gSource);
    }
    if (!options.sourceOut.empty() && !WriteAnymap(options.sourceOut, ToAnymap(gSource, options.depth), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }

    auto start = std::chrono::steady_clock::now();
    ResetEngine();
    while (FindStars(gSource) == WorkStatus::Interrupted) {
    }
    uint32_t enabled = 0;
    for (uint32_t i = 0; i < gStarList.starCount; ++i)
        enabled += StarRecords()[i].spikesEnabled != 0 ? 1 : 0;
    std::printf("%u stars (%u with spikes) found in %.2f s\n", gStarList.starCount, enabled, SecondsSince(start));

    const RenderInputs inputs{options.parameters,
                              options.preview ? PreviewQuality() : FinalQuality(gSource.bitsPerSample), gSource.width,
                              gSource.height};
    ImageBuffer result{};
    if (AllocateImageBuffer(&result, rect, mode, counts, false) != noErr) {
        std::fprintf(stderr, "cannot allocate the result image\n");
        return false;
    }
    start = std::chrono::steady_clock::now();
    const TileGrid grid = FilterTileGrid(rect);
    for (int64_t index = 0; index < TileCount(grid); ++index) {
        const ImageRect tile = TileAt(grid, index);
        WorkStatus status;
        while ((status = RenderEffect(inputs, &gSource, tile, &result, tile)) == WorkStatus::Interrupted) {
        }
        if (status == WorkStatus::Failed) {
            std::fprintf(stderr, "rendering failed with result code %d\n", EngineFailure());
            FreeImageBuffer(&result);
            return false;
        }
    }
    std::printf("rendered in %.2f s\n", SecondsSince(start));

    const bool written = WriteAnymap(options.out, ToAnymap(result, options.depth), &error);
    if (!written)
        std::fprintf(stderr, "%s\n", error.c_str());
    FreeImageBuffer(&result);
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        PrintUsage();
        return 2;
    }
    HeapHostMemory memory;
    BuildToneTables();
    const bool ok = Run(options);
    ResetEngine();
    FreeImageBuffer(&gSource);
    return ok ? 0 : 1;
}
