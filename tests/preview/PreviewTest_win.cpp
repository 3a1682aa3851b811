// The preview in-process, as the dialog drives it: a preview control in a window, a seeded 16-bit
// starfield, jobs worked off slice by slice. What a change makes the preview compute again is read from
// its statistics; what it shows, from the effect layer and the display bitmap.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "common/CapturedMessages.h"
#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "engine/StarEffectRect.h"
#include "engine/UserInput.h"
#include "host/FilterRun.h"
#include "image/ToneTables.h"
#include "preview/DisplayBitmap.h"
#include "preview/PreviewLayers.h"
#include "preview/PreviewPipeline.h"
#include "preview/PreviewStatistics.h"
#include "preview/PreviewView.h"
#include "preview/ProxyDisplay.h"
#include "preview/ScaleRect.h"
#include "resources/ResourceIds.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/starfield/StarfieldGenerator.h"
#include "ui/ZoomControls.h"

namespace {

constexpr int32_t kWidth = 1400;
constexpr int32_t kHeight = 1100;
constexpr uint64_t kArea = uint64_t(kWidth) * kHeight;
constexpr int kViewWidth = 483; // inside the dialog template's preview control of 485 by 569 pixels

// The user's input as the engine and the slices see it: pending on every n-th poll, never for n = 0.
int gPendingEvery = 0;
int gPolls = 0;
bool PendingNow()
{
    return gPendingEvery > 0 && ++gPolls % gPendingEvery == 0;
}

// An image of the test's size; a seeded 16-bit starfield (made anew for every detection, which marks in
// its image what it has probed) when `stars` is set.
struct Image
{
    explicit Image(int16 mode, bool stars = false)
    {
        EXPECT_EQ(
            AllocateImageBuffer(&buffer, ImageRect{0, 0, kWidth, kHeight}, mode, PlaneCounts{3, 0, 0, 0, 0}, false),
            noErr);
        StarfieldOptions options;
        options.width = kWidth;
        options.height = kHeight;
        options.seed = 20261206;
        options.starCount = 300;
        if (stars)
            WriteToImageBuffer(RenderStarfield(options, GenerateStars(options)), &buffer);
    }
    ~Image() { FreeImageBuffer(&buffer); }
    ImageBuffer buffer{};
};

// The three colour planes one after another.
std::vector<uint8_t> Planes(const ImageBuffer& image)
{
    std::vector<uint8_t> bytes;
    for (int plane = 0; plane < 3; ++plane) {
        const auto* first = static_cast<const uint8_t*>(image.planes[plane]);
        bytes.insert(bytes.end(), first, first + image.pixelCount);
    }
    return bytes;
}

// What the display bitmap holds, 0xRRGGBB row by row over the scaled rectangle it covers.
std::vector<uint32_t> DisplayPixels()
{
    const RECT& covered = gDisplayBitmap.scaledProxyRect;
    const int width = covered.right - covered.left, height = covered.bottom - covered.top;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(gDisplayBitmap.displayDC);
    HBITMAP copy = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, copy);
    BitBlt(dc, 0, 0, width, height, gDisplayBitmap.displayDC, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + width * height);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return pixels;
}

// The display bitmap as it must be at 200 %: every pixel of the effect layer a block of two by two.
std::vector<uint32_t> LayerAt200()
{
    const RECT& covered = gDisplayBitmap.scaledProxyRect;
    const auto* r = static_cast<const uint8_t*>(gLayers.effectLayer.planes[0]);
    const auto* g = static_cast<const uint8_t*>(gLayers.effectLayer.planes[1]);
    const auto* b = static_cast<const uint8_t*>(gLayers.effectLayer.planes[2]);
    std::vector<uint32_t> pixels;
    for (LONG y = covered.top; y < covered.bottom; ++y)
        for (LONG x = covered.left; x < covered.right; ++x) {
            const size_t i = size_t(y / 2) * kWidth + size_t(x / 2);
            pixels.push_back(uint32_t(r[i]) << 16 | uint32_t(g[i]) << 8 | b[i]);
        }
    return pixels;
}

// A stand-in for the main dialog: a window holding the preview control (`width` by `height` client
// pixels), the two scroll bars and the zoom read-out under the dialog's ids, where the preview looks.
struct PreviewWindow
{
    PreviewWindow(int width, int height)
    {
        RegisterProxyDisplay(GetModuleHandleA(nullptr));
        dialog = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, width + 20, height + 40, nullptr,
                                 nullptr, nullptr, nullptr);
        auto child = [&](const char* type, DWORD style, int x, int y, int w, int h, int id) {
            return CreateWindowExA(0, type, "", WS_CHILD | style, x, y, w, h, dialog, HMENU(INT_PTR(id)),
                                   GetModuleHandleA(nullptr), nullptr);
        };
        display = child("ProxyDisplay", WS_VISIBLE, 0, 0, width, height, IDC_PREVIEW);
        child("ScrollBar", SBS_HORZ, 0, height, width, 16, IDC_HORIZONTAL_SCROLL);
        child("ScrollBar", SBS_VERT, width, 0, 16, height, IDC_VERTICAL_SCROLL);
        child("Static", 0, 0, height + 16, 80, 16, IDC_ZOOM_READOUT);
    }
    ~PreviewWindow()
    {
        DestroyWindow(dialog);
        UnregisterProxyDisplay(GetModuleHandleA(nullptr));
    }

    // Handles what the preview posted to the dialog and the control (restarts, repaints).
    static void Pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }

    HWND dialog;
    HWND display;
};

// The starfield's preview in a control of the given size, at 100 % about the image's top-left corner.
struct RunningPreview
{
    RunningPreview(int width = kViewWidth + 2, int height = 569) : window(width, height)
    {
        EXPECT_EQ(InitProxyDisplay(window.dialog, window.display, PreviewSource{&field.buffer, nullptr}), noErr);
    }
    void Zoom(double zoom, const ScaledPoint* anchor = nullptr) { ApplyZoom(window.dialog, anchor, zoom); }

    // One job run to its end, slice after slice, as the dialog's timer runs them.
    PreviewStatistics RunJob(const FilterParameters& parameters, bool preview = true)
    {
        gPreviewStats = PreviewStatistics{};
        StartPreviewJob(parameters, preview);
        int slices = 0;
        while (RunPreviewSlice() && ++slices < 100000)
            PreviewWindow::Pump();
        EXPECT_LT(slices, 100000) << "the job does not end";
        PreviewWindow::Pump();
        return gPreviewStats;
    }

    Image field{plugInModeRGB48, true}; // outlives the window, whose end releases the pipeline
    PreviewWindow window;
};

class PreviewPipeline : public testing::Test
{
protected:
    void SetUp() override
    {
        BuildToneTables();
        ResetEngine();
        gPendingEvery = 0;
        SetUserInputPendingHook(PendingNow);
    }
    void TearDown() override
    {
        SetUserInputPendingHook(nullptr);
        ResetEngine();
        EXPECT_TRUE(CapturedMessages::All().empty()) << CapturedMessages::Texts().front();
    }

    HeapHostMemory memory_;
    CapturedMessages messages_;
};

TEST_F(PreviewPipeline, AChangedEffectIsComputedAnewWhileAZoomOnlyDrawsTheLayerAgain)
{
    RunningPreview preview;
    FilterParameters parameters = kFactoryParameters;
    EXPECT_EQ(preview.RunJob(parameters).effectPixels, kArea) << "the first job computes every pixel once";
    const PreviewStatistics unchanged = preview.RunJob(parameters);
    EXPECT_EQ(unchanged.effectRenders + unchanged.tilesDrawn, 0u);
    EXPECT_EQ(unchanged.slices, 1u);

    // Each of the eleven parameters is part of the effect (each stays in its range).
    for (int field = 0; field < kJobParameterCount; ++field) {
        char* at = reinterpret_cast<char*>(&parameters) + offsetof(FilterParameters, intensity) + 2 * field;
        *at ^= 1; // the low byte: little-endian
        EXPECT_EQ(preview.RunJob(parameters).effectPixels, kArea) << "parameter " << field;
    }
    // So is the Preview setting; without it the preview shows the image.
    EXPECT_EQ(preview.RunJob(parameters, false).effectPixels, kArea);
    EXPECT_TRUE(Planes(gLayers.effectLayer) == Planes(gLayers.hostProxy));
    EXPECT_EQ(preview.RunJob(parameters, true).effectPixels, kArea);

    preview.Zoom(50);
    const PreviewStatistics zoomed = preview.RunJob(parameters);
    EXPECT_EQ(zoomed.effectRenders, 0u);
    EXPECT_EQ(zoomed.bitmapsMade, 1u);
    EXPECT_GT(zoomed.tilesDrawn, 0u);
}

TEST_F(PreviewPipeline, ScrollingKeepsTheDisplayBitmapWithinItsMarginAndMovesItsContentBeyond)
{
    RunningPreview preview;
    // At 200 % the bitmap of three by three views lies inside the image, here and after each move.
    const ScaledPoint anchor{500, 550};
    preview.Zoom(200, &anchor);
    preview.RunJob(kFactoryParameters);
    ASSERT_TRUE(DisplayPixels() == LayerAt200()) << "blocks of two by two image pixels";

    const RECT before = gDisplayBitmap.scaledProxyRect;
    ScrollViewBy(kViewWidth / 3, 0);
    const PreviewStatistics third = preview.RunJob(kFactoryParameters);
    EXPECT_EQ(third.tilesDrawn + third.effectRenders + third.bitmapsMade, 0u);
    EXPECT_TRUE(EqualRect(&before, &gDisplayBitmap.scaledProxyRect));

    // A mark in the bitmap where the view is about to go: moved along with the content, never drawn over.
    const RECT mark{1500, 1000, 1540, 1040}; // scaled coordinates
    RECT inBitmap = mark;
    OffsetRect(&inBitmap, -before.left, -before.top);
    FillRect(gDisplayBitmap.displayDC, &inBitmap, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ScrollViewBy(kViewWidth, 0);
    const PreviewStatistics whole = preview.RunJob(kFactoryParameters);
    EXPECT_EQ(whole.effectRenders + whole.bitmapsMade, 0u) << "moved in place";
    EXPECT_GT(whole.tilesDrawn, 0u);
    const RECT& after = gDisplayBitmap.scaledProxyRect;
    EXPECT_EQ(after.left, before.left + kViewWidth / 3 + kViewWidth);
    std::vector<uint32_t> expected = LayerAt200();
    for (LONG y = mark.top; y < mark.bottom; ++y)
        for (LONG x = mark.left; x < mark.right; ++x)
            expected[size_t(y - after.top) * size_t(after.right - after.left) + size_t(x - after.left)] = 0xFFFFFF;
    EXPECT_TRUE(DisplayPixels() == expected);
}

TEST_F(PreviewPipeline, SwitchingOneStarOffRedoesOnlyTheTilesItsRectangleMeets)
{
    // At 50 % the whole image is in view, cut by tiles of 512 scaled pixels into four.
    RunningPreview preview(kWidth / 2 + 2, kHeight / 2 + 2);
    preview.Zoom(50);
    preview.RunJob(kFactoryParameters);
    uint32_t star = 0;
    ImageRect effect{};
    for (; star < gStarList.starCount; ++star) { // the brightest star whose effect stays in the top-left tile
        effect = IntersectRect(StarEffectRect(StarRecords()[star]), ImageRect{0, 0, kWidth, kHeight});
        if (!IsEmptyRect(effect) && effect.right <= 1024 && effect.bottom <= 1024)
            break;
    }
    ASSERT_LT(star, gStarList.starCount);
    const std::vector<uint8_t> before = Planes(gLayers.effectLayer);

    SetStarSpikesEnabled(star, false);
    SetFilterEffectsInvalidInRect(RECT{effect.left, effect.top, effect.right, effect.bottom});
    const PreviewStatistics redone = preview.RunJob(kFactoryParameters);
    EXPECT_EQ(redone.tilesDrawn, 1u);
    EXPECT_EQ(redone.effectPixels, uint64_t(effect.right - effect.left) * uint64_t(effect.bottom - effect.top));
    const std::vector<uint8_t> partly = Planes(gLayers.effectLayer);
    EXPECT_FALSE(partly == before) << "the star's spikes are gone";

    const std::vector<uint32_t> shown = DisplayPixels();

    // The same as the whole layer computed and drawn without the star: no scaled pixel that straddles the
    // star's rectangle keeps its old picture.
    FilterParameters other = kFactoryParameters;
    other.intensity += 1;
    preview.RunJob(other);
    preview.RunJob(kFactoryParameters);
    EXPECT_TRUE(Planes(gLayers.effectLayer) == partly);
    EXPECT_TRUE(DisplayPixels() == shown);
}

TEST_F(PreviewPipeline, AnInterruptedPreviewEndsAsAnUninterruptedOne)
{
    // The effect layer and the display bitmap at the end, and the slices it took.
    auto run = [](int pendingEvery) {
        ResetEngine();
        gPendingEvery = pendingEvery;
        RunningPreview preview;
        preview.Zoom(50);
        FilterParameters parameters = kFactoryParameters;
        uint32_t slices = preview.RunJob(parameters).slices; // detection and the whole layer
        parameters.length = 70;
        slices += preview.RunJob(parameters).slices;
        const std::vector<uint32_t> display = DisplayPixels();
        std::vector<uint8_t> end = Planes(gLayers.effectLayer);
        end.insert(end.end(), reinterpret_cast<const uint8_t*>(display.data()),
                   reinterpret_cast<const uint8_t*>(display.data() + display.size()));
        return std::make_pair(end, slices);
    };
    const auto straight = run(0);
    const auto interrupted = run(3);
    EXPECT_GT(interrupted.second, straight.second + 20) << "the input stopped slices";
    EXPECT_TRUE(interrupted.first == straight.first);
}

TEST_F(PreviewPipeline, At100PercentThePreviewIsTheFilterRunsResultIn8Bits)
{
    RunningPreview preview;
    preview.RunJob(kFactoryParameters);
    const std::vector<uint8_t> previewed = Planes(gLayers.effectLayer);
    // The filter run's tiles rendered from `source` at `quality`, as 8-bit samples.
    auto render = [](const ImageBuffer& source, const QualityMode& quality) {
        Image result(int16(source.mode)), converted(plugInModeRGBColor);
        const RenderInputs inputs{kFactoryParameters, quality, kWidth, kHeight};
        const TileGrid grid = FilterTileGrid(source.rect);
        for (int64_t index = 0; index < TileCount(grid); ++index) {
            const ImageRect tile = TileAt(grid, index);
            EXPECT_EQ(RenderEffect(inputs, &source, tile, &result.buffer, tile), WorkStatus::Done);
        }
        CopyImageBuffer(&result.buffer, &converted.buffer);
        return Planes(converted.buffer);
    };
    EXPECT_TRUE(previewed == render(gLayers.hostProxy, PreviewQuality())) << "the engine's render in 8 bits";

    // The filter run: its own detection, then the 16-bit image rendered at final quality.
    ResetEngine();
    Image field(plugInModeRGB48, true);
    while (FindStars(field.buffer) == WorkStatus::Interrupted) {
    }
    const std::vector<uint8_t> final = render(field.buffer, FinalQuality(16));
    int largest = 0;
    size_t differing = 0;
    for (size_t i = 0; i < final.size(); ++i) {
        const int difference = std::abs(int(previewed[i]) - int(final[i]));
        largest = std::max(largest, difference);
        differing += difference != 0 ? 1 : 0;
    }
    std::printf("[ preview  ] against the filter run in 8 bits: %zu of %zu samples differ, by %d at most\n", differing,
                final.size(), largest);
    // Preview quality ends spikes and flare where their light falls below a higher cut-off: the faint
    // tails that the filter run adds to the dark sky around each star (32 levels at most at this seed, in
    // 59 % of the samples) are missing. Compositing in 8 bits rounds after each stamped point, which moves
    // a pixel under many faint points by up to 10 levels more.
    EXPECT_LE(largest, 34);
    EXPECT_LE(differing, final.size() * 6 / 10);
}

TEST(PreviewView, FitsScrollsToTheEndAndCentresAnImageSmallerThanTheView)
{
    PreviewWindow window(484, 784); // an inner area of 482 by 782
    InitPreviewView(window.dialog, window.display, RECT{0, 0, 4000, 3000});
    FitInView(window.dialog);
    EXPECT_NEAR(gView.zoom, 12.05, 1e-9);
    char readout[32] = {};
    GetDlgItemTextA(window.dialog, IDC_ZOOM_READOUT, readout, sizeof(readout));
    EXPECT_STREQ(readout, "12.05%");
    // Rectangles scale outward: left and top truncated, right and bottom rounded up unless exact.
    const RECT a = ScaleRect(RECT{1, 3, 10, 7}, 4.0), b = ScaleRect(RECT{4, 8, 8, 12}, 4.0);
    EXPECT_TRUE(a.left == 0 && a.top == 0 && a.right == 3 && a.bottom == 2);
    EXPECT_TRUE(b.left == 1 && b.top == 2 && b.right == 2 && b.bottom == 3);

    ApplyZoom(window.dialog, nullptr, 33.33); // 1333.2 by 999.9 scaled pixels, shown as 1334 by 1000
    const ScrollPositions end = KeyboardScroll(kScrollToBottomRight, 0);
    EXPECT_EQ(end.horizontal, 1334 - 482);
    EXPECT_EQ(end.vertical, 1000 - 782);
    EXPECT_EQ(gView.viewRect.bottom, 1000) << "the last, partly covered row is in view";
    EXPECT_TRUE(gView.imageRect.right == gView.inner.right && gView.imageRect.bottom == gView.inner.bottom);

    ApplyZoom(window.dialog, nullptr, 6.25); // 250 by 188, centred in 482 by 782
    EXPECT_TRUE(gView.imageRect.left == 1 + 116 && gView.imageRect.right == 1 + 116 + 250);
    EXPECT_TRUE(gView.imageRect.top == 1 + 297 && gView.imageRect.bottom == 1 + 297 + 188);
    EXPECT_FALSE(gView.horizontalActive || gView.verticalActive);
    PreviewWindow::Pump();
}

// A 40 by 40 image at (100, 50) with distinct values in every pixel and plane, drawn in part into a DIB
// of 40 by 40 pixels that start as 0xDEADBEEF.
struct DrawnTile
{
    DrawnTile(int16 mode, const PlaneCounts& counts, const RECT& rect)
    {
        EXPECT_EQ(AllocateImageBuffer(&image, ImageRect{100, 50, 140, 90}, mode, counts, false), noErr);
        for (int plane = 0; plane < counts.layerPlanes + counts.transparencyPlanes; ++plane)
            for (int i = 0; i < image.pixelCount; ++i)
                static_cast<uint8_t*>(image.planes[plane])[i] = uint8_t(i * (plane + 3) + plane * 50);
        BITMAPV5HEADER header{};
        header.bV5Width = header.bV5Height = 40;
        EXPECT_TRUE(DrawTileIntoConversionDIB(&header, bits.data(), &image, rect));
    }
    ~DrawnTile() { FreeImageBuffer(&image); }
    uint32_t At(int plane, LONG x, LONG y) const
    {
        return static_cast<const uint8_t*>(image.planes[plane])[(y - 50) * 40 + (x - 100)];
    }

    HeapHostMemory memory;
    ImageBuffer image{};
    std::vector<uint32_t> bits = std::vector<uint32_t>(40 * 40, 0xDEADBEEF);
};

TEST(PreviewView, TilesFillTheDibsBottomLeftWithTransparencyOverACheckerboardFromTheirCorner)
{
    const RECT rect{105, 53, 135, 74}; // 30 by 21: squares of 8 cut on both sides
    const DrawnTile rgba(plugInModeRGBColor, PlaneCounts{3, 1, 0, 0, 0}, rect);
    for (int row = 0; row < 40; ++row)
        for (int x = 0; x < 40; ++x) {
            const int y = 20 - row; // bottom-up: the tile's top row is the DIB's row 20
            uint32_t expected = 0xDEADBEEF;
            if (y >= 0 && x < 30) {
                const uint32_t board = (x / 8 + y / 8) % 2 == 0 ? 207 : 255,
                               a = rgba.At(3, rect.left + x, rect.top + y);
                for (int plane = 0; plane < 3; ++plane)
                    expected =
                        expected << 8 | (rgba.At(plane, rect.left + x, rect.top + y) * a + (255 - a) * board) / 256;
                expected &= 0xFFFFFF;
            }
            ASSERT_EQ(rgba.bits[size_t(row) * 40 + size_t(x)], expected) << "DIB pixel " << x << ", row " << row;
        }

    const DrawnTile grey(plugInModeGrayScale, PlaneCounts{1, 0, 0, 0, 0}, RECT{100, 50, 140, 90});
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(grey.bits[size_t(39 - y) * 40 + size_t(x)], grey.At(0, 100 + x, 50 + y) * 0x010101u);
}

} // namespace
