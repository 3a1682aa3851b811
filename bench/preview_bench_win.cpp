// The live preview on a large starfield, as the dialog drives it: a preview control of the dialog
// template's size, jobs started by a slider change, slices run back to back. Not a test; run it under
// Wine (or Windows) from a release build.
//
//   preview_bench [rgb16 | rgb8 | grey32] [width height stars] [--png FILE]
//
// Prints, for a slider change at fit-in-view and at 100 %: the time until every visible tile is drawn
// and until the first tiles are handed to the display, the slices taken; the longest slice while input is
// waiting the whole time; and the memory of the preview's layers. --png writes what the control shows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/TiledRender.h"
#include "engine/EngineState.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "engine/UserInput.h"
#include "image/BufferRecord.h"
#include "image/ToneTables.h"
#include "preview/DisplayBitmap.h"
#include "preview/PreviewLayers.h"
#include "preview/PreviewPipeline.h"
#include "preview/PreviewStatistics.h"
#include "preview/PreviewView.h"
#include "preview/ProxyDisplay.h"
#include "preview/ZoomLevels.h"
#include "resources/ResourceIds.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/harness/PngWriter.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

// The preview control of the main dialog template, in pixels under the default GUI font.
constexpr int kDisplayWidth = 485;
constexpr int kDisplayHeight = 569;

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

struct JobFigures
{
    double visibleMs;
    double firstShownMs;
    double wholeMs;
    uint32_t slices;
};

// Runs the job for `parameters` to its end, slices back to back with the window's messages (the
// paints) handled between them, as the dialog's timer would run them without its 10 ms waits.
JobFigures RunJob(const FilterParameters& parameters)
{
    gPreviewStats = PreviewStatistics{};
    StartPreviewJob(parameters, true);
    const uint64_t start = PreviewMicroseconds();
    while (RunPreviewSlice())
        PumpMessages();
    PumpMessages();
    return JobFigures{gPreviewStats.visibleCompleteMicros / 1000.0, gPreviewStats.firstShownMicros / 1000.0,
                      (PreviewMicroseconds() - start) / 1000.0, gPreviewStats.slices};
}

void PrintJob(const char* what, const JobFigures& f)
{
    std::printf("%-34s visible area %7.1f ms, first tiles shown %7.1f ms, whole image %7.1f ms, %u slices\n", what,
                f.visibleMs, f.firstShownMs, f.wholeMs, f.slices);
}

bool AlwaysPending()
{
    return true;
}

// The longest slice of a job while the user keeps the queue busy the whole time.
double LongestSliceWithInputPending(const FilterParameters& parameters)
{
    SetUserInputPendingHook(AlwaysPending);
    gPreviewStats = PreviewStatistics{};
    StartPreviewJob(parameters, true);
    while (RunPreviewSlice()) {
    }
    SetUserInputPendingHook(nullptr);
    return gPreviewStats.longestSliceMicros / 1000.0;
}

bool SaveDisplay(HWND display, const std::string& path)
{
    RECT client;
    GetClientRect(display, &client);
    const int width = client.right, height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(display, WM_PRINT, WPARAM(dc), PRF_CLIENT);
    GdiFlush();
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i) {
        rgb[i * 3] = uint8_t(pixels[i] >> 16);
        rgb[i * 3 + 1] = uint8_t(pixels[i] >> 8);
        rgb[i * 3 + 2] = uint8_t(pixels[i]);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return WritePng(path, width, height, rgb.data());
}

} // namespace

int main(int argc, char** argv)
{
    std::string png;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc)
            png = argv[++i];
        else
            rest.push_back(argv[i]);
    }
    BenchField field;
    if (!ParseBenchField(int(rest.size()), rest.data(), &field, "preview_bench", " [--png FILE]"))
        return 1;
    HeapHostMemory memory;
    BuildToneTables();
    StarfieldOptions options;
    options.width = field.width;
    options.height = field.height;
    options.seed = 20261206;
    options.starCount = field.stars;
    const PlaneCounts counts{IsGreyMode(field.mode->mode) ? 1 : 3, 0, 0, 0, 0};
    ImageBuffer input{};
    if (AllocateImageBuffer(&input, ImageRect{0, 0, field.width, field.height}, field.mode->mode, counts, false) !=
        noErr)
        return 1;
    WriteToImageBuffer(RenderStarfield(options, GenerateStars(options)), &input);
    const uint64_t inputBytes = CurrentBufferUsage();
    {
        // The first slice converts the whole input to 8 bits in one step that no input interrupts.
        ImageBuffer proxy{};
        if (AllocateImageBuffer(&proxy, input.rect, BaseModeOf(input.mode), counts, false) != noErr)
            return 1;
        const uint64_t started = PreviewMicroseconds();
        CopyImageBuffer(&input, &proxy);
        std::printf("conversion of the input to 8 bits: %.1f ms\n", (PreviewMicroseconds() - started) / 1000.0);
        FreeImageBuffer(&proxy);
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterProxyDisplay(instance))
        return 1;
    HWND dialog = CreateWindowExA(0, "Static", "preview_bench", WS_POPUP | WS_VISIBLE, 0, 0, kDisplayWidth + 20,
                                  kDisplayHeight + 20, nullptr, nullptr, instance, nullptr);
    HWND display = CreateWindowExA(0, "ProxyDisplay", "", WS_CHILD | WS_VISIBLE, 10, 10, kDisplayWidth, kDisplayHeight,
                                   dialog, reinterpret_cast<HMENU>(IDC_PREVIEW), instance, nullptr);
    ResetEngine();
    if (InitProxyDisplay(dialog, display, PreviewSource{&input, nullptr}) != noErr)
        return 1;
    std::printf("%d x %d %s, %d stars; preview control %d x %d\n", field.width, field.height, field.mode->title,
                field.stars, kDisplayWidth, kDisplayHeight);

    // The dialog opens fitted to the view; its first job converts the image and finds the stars.
    const RECT inner = DisplayInnerRect();
    const double fit = std::clamp(100.0 * std::min(double(inner.right - inner.left) / field.width,
                                                   double(inner.bottom - inner.top) / field.height),
                                  kMinimumZoom, kMaximumZoom);
    ApplyZoom(dialog, nullptr, fit);
    FilterParameters parameters = kFactoryParameters;
    const JobFigures opening = RunJob(parameters);
    std::printf("%u stars found; ", gStarList.starCount);
    PrintJob("opening (conversion, detection):", opening);

    parameters.intensity = 60;
    PrintJob("intensity changed, fit in view:", RunJob(parameters));
    parameters.length = 60;
    PrintJob("length changed, fit in view:", RunJob(parameters));
    if (!png.empty() && !SaveDisplay(display, png))
        std::fprintf(stderr, "could not write %s\n", png.c_str());

    const ScaledPoint middle{fit / 100.0 * field.width / 2.0, fit / 100.0 * field.height / 2.0};
    ApplyZoom(dialog, &middle, kActualPixels);
    PrintJob("zoomed to 100 %:", RunJob(parameters));
    parameters.intensity = 70;
    PrintJob("intensity changed, 100 %:", RunJob(parameters));
    parameters.length = 70;
    PrintJob("length changed, 100 %:", RunJob(parameters));

    parameters.intensity = 80;
    std::printf("longest slice with input pending, intensity changed, 100 %%: %.1f ms\n",
                LongestSliceWithInputPending(parameters));
    parameters.length = 80;
    std::printf("longest slice with input pending, length changed, 100 %%:    %.1f ms\n",
                LongestSliceWithInputPending(parameters));
    ApplyZoom(dialog, nullptr, fit);
    parameters.intensity = 90;
    std::printf("longest slice with input pending, intensity changed, fit:  %.1f ms\n",
                LongestSliceWithInputPending(parameters));

    constexpr double kMegabyte = 1048576.0;
    const double proxyMegabytes = gLayers.hostProxy.image.size / kMegabyte;
    const double layerMegabytes = (gLayers.hostProxy.image.size + gLayers.effectLayer.image.size) / kMegabyte;
    const RECT& kept = gDisplayBitmap.scaledProxyRect;
    const double bitmapMegabytes = double(kept.right - kept.left) * double(kept.bottom - kept.top) * 4 / kMegabyte;
    std::printf("memory: proxy and effect layer %.1f MB (8-bit proxy %.1f MB), display bitmap %.1f MB, "
                "conversion DIB %.1f MB; goal <= %.1f MB\n",
                layerMegabytes, proxyMegabytes, bitmapMegabytes,
                kConversionDibSize * kConversionDibSize * 4 / kMegabyte, 2 * proxyMegabytes + bitmapMegabytes);
    std::printf("        all host memory of the module at its peak, besides the input: %.1f MB (stars and shapes "
                "included)\n",
                (PeakBufferUsage() - inputBytes) / kMegabyte);

    DestroyWindow(dialog);
    UnregisterProxyDisplay(instance);
    ResetEngine();
    FreeImageBuffer(&input);
    return 0;
}
