// Star detection on a large synthetic starfield, and the flood fill of the largest possible flat region.
// Prints timings and a checksum of the star list (equal checksums: the same list, bit for bit); not a test.
//
//   find_stars_bench [width height stars] [--dense] [--full-scan] [--fill]
//
// --dense is a 100-megapixel field crowded with 50000 stars, where the cost of the zone tests shows;
// --full-scan drops the zone index as soon as the scan starts, so the zone tests look at every star.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/TiledRender.h"
#include "engine/EngineState.h"
#include "engine/FloodFill.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "engine/StarZoneIndex.h"
#include "engine/UserInput.h"
#include "image/ToneTables.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

bool InterruptAtOnce()
{
    return true;
}

void BenchFindStars(int32_t width, int32_t height, int32_t starCount, bool fullScan)
{
    StarfieldOptions options;
    options.width = width;
    options.height = height;
    options.seed = 20261206;
    options.starCount = starCount;
    BenchClock::time_point start = BenchClock::now();
    const LinearImage picture = RenderStarfield(options, GenerateStars(options));
    const PlaneCounts counts{3, 0, 0, 0, 0};
    ImageBuffer input{};
    if (AllocateImageBuffer(&input, ImageRect{0, 0, width, height}, plugInModeRGB48, counts, true) != noErr) {
        std::printf("could not allocate the image\n");
        return;
    }
    WriteToImageBuffer(picture, &input);
    std::printf("starfield %d x %d, %d stars generated in %.2f s\n", width, height, starCount, SecondsSince(start));

    ResetEngine();
    start = BenchClock::now();
    if (fullScan) {
        SetUserInputPendingHook(InterruptAtOnce);
        FindStars(input);
        SetUserInputPendingHook(nullptr);
        ReleaseStarZoneIndex();
    }
    while (FindStars(input) == WorkStatus::Interrupted) {
    }
    const double seconds = SecondsSince(start);
    uint32_t enabled = 0;
    for (uint32_t i = 0; i < gStarList.starCount; ++i)
        enabled += StarRecords()[i].spikesEnabled != 0 ? 1 : 0;
    uint64_t checksum = 14695981039346656037ull; // FNV-1a over the records
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(StarRecords());
    for (size_t i = 0; i < size_t(gStarList.starCount) * sizeof(StarRecord); ++i)
        checksum = (checksum ^ bytes[i]) * 1099511628211ull;
    std::printf("FindStars%s: %.3f s, %" PRIu32 " stars (%" PRIu32 " with spikes), %.1f Mpixel/s, peak host memory "
                "%.1f MB, list checksum %016" PRIx64 "\n",
                fullScan ? " (full scan)" : "", seconds, gStarList.starCount, enabled,
                double(width) * height / seconds / 1e6, double(PeakBufferUsage()) / 1e6, checksum);
    ResetEngine();
    FreeImageBuffer(&input);
}

// A virtual 32767 x 32767 image of one colour whose mask lives in a bit array, so that the fill of the
// largest flat region the host can hand over runs without 2 GB of pixels.
struct VirtualImage
{
    std::vector<uint64_t> maskBits;
    int32_t width;
};
VirtualImage gVirtual;

PixelSample VirtualGet(const ImageBuffer* buffer, int32_t x, int32_t y)
{
    const uint64_t index = uint64_t(y - buffer->rect.top) * uint64_t(gVirtual.width) + uint64_t(x - buffer->rect.left);
    const bool selected = (gVirtual.maskBits[index >> 6] >> (index & 63)) & 1;
    return PixelSample{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFFFE, selected ? 0xFFFFFFFEu : 0u};
}

void VirtualPut(ImageBuffer* buffer, const PixelSample& sample, int32_t x, int32_t y)
{
    if (sample.mask == kKeepSample)
        return;
    const uint64_t index = uint64_t(y - buffer->rect.top) * uint64_t(gVirtual.width) + uint64_t(x - buffer->rect.left);
    if (sample.mask == 0)
        gVirtual.maskBits[index >> 6] &= ~(uint64_t(1) << (index & 63));
}

void BenchLargestFill()
{
    constexpr int32_t kSide = 32767;
    gVirtual.width = kSide;
    const uint64_t pixels = uint64_t(kSide) * kSide;
    gVirtual.maskBits.assign((pixels + 63) / 64, ~uint64_t(0));
    gVirtual.maskBits.back() = ~uint64_t(0) >> (64 - (pixels - 1) % 64 - 1); // no bits past the last pixel
    ImageBuffer image{};
    image.getPixel = VirtualGet;
    image.putPixel = VirtualPut;
    image.rect = ImageRect{0, 0, kSide, kSide};
    static uint8_t maskPresent;
    image.mask.data = &maskPresent; // marks go to the bit array
    gDetection.image = &image;
    ResetBufferUsage();
    const BenchClock::time_point start = BenchClock::now();
    FloodFillMark(kSide / 2, kSide / 2, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF);
    const double seconds = SecondsSince(start);
    uint64_t left = 0;
    for (uint64_t word : gVirtual.maskBits)
        left += uint64_t(__builtin_popcountll(word));
    std::printf("FloodFillMark %d x %d: %.2f s, %" PRIu64 " pixels left unmarked, fill stack peak %.1f kB\n", kSide,
                kSide, seconds, left, double(PeakBufferUsage()) / 1e3);
    gDetection.image = nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    HeapHostMemory memory;
    BuildToneTables();
    int32_t width = 6000, height = 4000, stars = 3000;
    bool fill = false, dense = false, fullScan = false;
    std::vector<const char*> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fill") == 0)
            fill = true;
        else if (std::strcmp(argv[i], "--dense") == 0)
            dense = true;
        else if (std::strcmp(argv[i], "--full-scan") == 0)
            fullScan = true;
        else
            numbers.push_back(argv[i]);
    }
    if (dense) {
        width = 10000;
        height = 10000;
        stars = 50000;
    } else if (numbers.size() == 3) {
        width = std::atoi(numbers[0]);
        height = std::atoi(numbers[1]);
        stars = std::atoi(numbers[2]);
    }
    BenchFindStars(width, height, stars, fullScan);
    if (fill)
        BenchLargestFill();
    return 0;
}
