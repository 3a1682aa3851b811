// The preview's tools in the real dialog of the built module, driven with SendInput: zooming by click,
// rectangle and keys, the cursors, the band's scrolling, and the delete tool, whose switched stars the
// applied image must show exactly.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "PreviewWatch.h"
#include "engine/EffectTables.h"
#include "engine/EngineState.h"
#include "engine/RenderEffect.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "host/FilterRun.h"
#include "host/LastParameters.h"
#include "image/ToneTables.h"
#include "presets/ParameterBlock.h"
#include "resources/ResourceIds.h"
#include "tools/harness/Harness.h"
#include "tools/harness/HeapHostMemory.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
// Five stars far apart; the centre one stays in view at every zoom about the image's centre, and the
// last has a transparent centre pixel, so that it is found without spikes.
constexpr POINT kStarA{200, 150};
constexpr POINT kStarB{560, 170};
constexpr POINT kCentre{400, 300};
constexpr POINT kStarE{250, 470};
constexpr POINT kNoSpikes{620, 440};

HostDocument ToolField()
{
    StarfieldOptions options{kWidth, kHeight, 1, 0};
    std::vector<StarfieldStar> stars;
    for (POINT p : {kStarA, kStarB, kCentre, kStarE, kNoSpikes})
        stars.push_back(StarfieldStar{double(p.x), double(p.y), 2.2, 1.6, 1.0, 0.95, 0.9});
    const LinearImage field = RenderStarfield(options, stars);
    HostDocument document(kWidth, kHeight, plugInModeRGBColor, true);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            for (int32_t p = 0; p < 3; ++p)
                document.SetSample(p, x, y, double(field.rgb[(size_t(y) * kWidth + size_t(x)) * 3 + p]) * 255.0);
            const bool hole = x == kNoSpikes.x && y == kNoSpikes.y;
            document.SetSample(3, x, y, hole ? 0.0 : 255.0);
        }
    return document;
}

// The module's engine, linked into this program: the stars it finds in `document`, and what the filter
// run makes of the document when some of them are switched.
class ReferenceEngine
{
public:
    explicit ReferenceEngine(const HostDocument& document) : document_(document)
    {
        BuildToneTables();
        InitEffectTables();
        ResetEngine();
        EXPECT_EQ(AllocateImageBuffer(&input_, Rect(), plugInModeRGBColor, kCounts, false), noErr);
        for (int32_t p = 0; p < 4; ++p)
            std::memcpy(input_.planes[p], document.SampleAddress(p, 0, 0), size_t(input_.pixelCount));
        while (FindStars(input_) == WorkStatus::Interrupted) {
        }
    }
    ~ReferenceEngine()
    {
        FreeImageBuffer(&input_);
        ResetEngine();
    }

    const StarRecord& Star(POINT p) const { return StarRecords()[Nearest(p)]; }

    HostDocument Render(const std::vector<POINT>& off, const std::vector<POINT>& on)
    {
        const std::vector<StarRecord> found(StarRecords(), StarRecords() + gStarList.starCount);
        for (POINT p : off)
            SetStarSpikesEnabled(Nearest(p), false);
        for (POINT p : on)
            SetStarSpikesEnabled(Nearest(p), true);
        HostDocument result = document_;
        const RenderInputs inputs{kFactoryParameters, FinalQuality(8), input_.width, input_.height};
        const TileGrid grid = FilterTileGrid(Rect());
        ImageBuffer tile{};
        for (int64_t index = 0; index < TileCount(grid); ++index) {
            EXPECT_EQ(AllocateImageBuffer(&tile, TileAt(grid, index), plugInModeRGBColor, kCounts, false), noErr);
            while (RenderEffect(inputs, &input_, tile.rect, &tile, tile.rect) == WorkStatus::Interrupted) {
            }
            for (int32_t y = tile.rect.top; y < tile.rect.bottom; ++y)
                for (int32_t x = tile.rect.left; x < tile.rect.right; ++x)
                    for (int32_t p = 0; p < 3; ++p)
                        *result.SampleAddress(p, x, y) =
                            static_cast<const uint8_t*>(tile.planes[p])[size_t(y - tile.rect.top) * size_t(tile.width) +
                                                                        size_t(x - tile.rect.left)];
        }
        FreeImageBuffer(&tile);
        std::copy(found.begin(), found.end(), StarRecords()); // as detected, for the next render
        return result;
    }

private:
    static constexpr PlaneCounts kCounts{3, 1, 0, 0, 0};
    ImageRect Rect() const { return ImageRect{0, 0, document_.Width(), document_.Height()}; }
    uint32_t Nearest(POINT p) const
    {
        uint32_t best = 0;
        int64_t bestD2 = INT64_MAX;
        for (uint32_t i = 0; i < gStarList.starCount; ++i) {
            const int64_t dx = StarRecords()[i].x - p.x, dy = StarRecords()[i].y - p.y;
            if (dx * dx + dy * dy < bestD2) {
                bestD2 = dx * dx + dy * dy;
                best = i;
            }
        }
        return best;
    }

    HeapHostMemory memory_;
    const HostDocument& document_;
    ImageBuffer input_{};
};

// The delete tool's reach, from a star's quarter-pixel position: the farthest screen offset right of
// the star's pixel (and half a block down) that a click at `zoom` still reaches, and the nearest it does
// not. Clicks go to the middle of the block of screen pixels that shows one image pixel.
struct Reach
{
    int in;
    int out;
};

Reach ReachOffsets(const StarRecord& star, double zoom, int64_t quarterPixels)
{
    const double f = zoom / 100.0;
    const int block = std::max(1, int(f));
    const LONG baseX = LONG(star.x * f), baseY = LONG(star.y * f) + block / 2;
    const int64_t dy = (int64_t(baseY / f) - star.y) * 4 - star.yPhase;
    Reach reach{0, 0};
    for (int step = 0; reach.out == 0; ++step) {
        const int offset = step * block + block / 2;
        const int64_t dx = (int64_t((baseX + offset) / f) - star.x) * 4 - star.xPhase;
        if (dx * dx + dy * dy < quarterPixels * quarterPixels)
            reach.in = offset;
        else
            reach.out = offset;
    }
    return reach;
}

POINT PixelOf(const StarRecord& star)
{
    return POINT{star.x, star.y};
}

class PreviewTools : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadModule(DefaultModulePath(), &module_)) << module_.error;
        HostOptions options;
        options.dialogAnswer = DialogAnswer::None;
        host_ = std::make_unique<Host>(module_.entry, options);
        ASSERT_TRUE(host_->SetDocument(document_));
        std::vector<uint8_t> block(kParameterBlockSize, 0);
        std::memcpy(block.data(), &kFactoryParameters, sizeof kFactoryParameters);
        host_->RegisterData(kRegistryKey, kParameterBlockKey, block.data(), int32_t(block.size()), true);
    }
    void TearDown() override
    {
        host_.reset();
        UnloadModule(&module_);
    }

    HCURSOR ModuleCursor(int id) const
    {
        return static_cast<HCURSOR>(LoadImageA(static_cast<HMODULE>(module_.library), MAKEINTRESOURCEA(id),
                                               IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    }

    const HostDocument document_ = ToolField();
    LoadedModule module_;
    std::unique_ptr<Host> host_;
    const PreviewWatch watch_; // on this thread, which runs the dialogs
};

RECT InnerRect(DialogDriver& dialog)
{
    RECT inner;
    GetClientRect(dialog.Item(IDC_PREVIEW), &inner);
    InflateRect(&inner, -1, -1);
    return inner;
}

// Where an image point shows while the view is centred on the image's centre.
POINT ClientAt(DialogDriver& dialog, double zoom, POINT image, int dx = 0, int dy = 0)
{
    const RECT inner = InnerRect(dialog);
    const double f = zoom / 100.0;
    const LONG viewLeft = LONG(kWidth * f / 2) - (inner.right - inner.left) / 2;
    const LONG viewTop = LONG(kHeight * f / 2) - (inner.bottom - inner.top) / 2;
    return POINT{inner.left + LONG(image.x * f) - viewLeft + dx, inner.top + LONG(image.y * f) - viewTop + dy};
}

POINT CentreOf(DialogDriver& dialog)
{
    const RECT inner = InnerRect(dialog);
    return POINT{(inner.left + inner.right) / 2, (inner.top + inner.bottom) / 2};
}

// Under Xvfb the pointer's own motion events carry the X server's modifier state, which knows nothing of
// an Alt sent before, and Wine then lets go of Alt. So the pointer goes to the point first, and Alt is
// pressed once it rests there; the caller lets go of Alt.
void RestAt(DialogDriver& dialog, HWND control, POINT at)
{
    dialog.MoveMouse(control, at);
    Sleep(150); // the motion's echo from the X server arrives in this time
    dialog.Settle();
}

void AltClick(DialogDriver& dialog, HWND control, POINT at)
{
    RestAt(dialog, control, at);
    dialog.Hold(VK_MENU, true);
    dialog.ClickAt(control, at);
}

std::string Readout(double zoom)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%%", zoom);
    return text;
}

TEST_F(PreviewTools, ZoomToolClicksRectanglesAndLimits)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        WaitForPreview(dialog);
        HWND display = dialog.Item(IDC_PREVIEW);
        dialog.Press('Z');
        dialog.Press(VK_ADD, true); // 60.38 % -> 66.67 -> 100 %
        dialog.Press(VK_ADD, true);
        ASSERT_EQ(dialog.Text(IDC_ZOOM_READOUT), "100.00%");

        // A drag shorter than the system's threshold is a click: one step in.
        const POINT centre = CentreOf(dialog);
        dialog.Drag(display, centre, POINT{centre.x + GetSystemMetrics(SM_CXDRAG) - 1, centre.y});
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "200.00%");
        AltClick(dialog, display, centre); // out again
        dialog.Hold(VK_MENU, false);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "100.00%");

        // A rectangle of 100 by 50 fills the view: the zoom is the smaller of the two ratios.
        const RECT inner = InnerRect(dialog);
        dialog.Drag(display, POINT{centre.x - 50, centre.y - 25}, POINT{centre.x + 50, centre.y + 25});
        const double expected =
            std::min((inner.right - inner.left) * 100.0 / 100, (inner.bottom - inner.top) * 100.0 / 50);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), Readout(std::min(expected, 1600.0)));

        // At the last level the button is disabled, the cursor says so, and a click changes nothing.
        for (int i = 0; i < 8; ++i)
            dialog.Press(VK_ADD, true);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "1600.00%");
        EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_ZOOM_IN)));
        EXPECT_EQ(HCURSOR(GetClassLongPtrA(display, GCLP_HCURSOR)), ModuleCursor(IDR_CURSOR_ZOOM_LIMIT));
        dialog.ClickAt(display, centre);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "1600.00%");
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(PreviewTools, CursorsFollowTheKeysAndALostCaptureDoesNothing)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        WaitForPreview(dialog);
        HWND display = dialog.Item(IDC_PREVIEW);
        auto classCursor = [&] {
            dialog.Settle();
            return HCURSOR(GetClassLongPtrA(display, GCLP_HCURSOR));
        };
        dialog.Press('H');
        EXPECT_EQ(classCursor(), ModuleCursor(IDR_CURSOR_OPEN_HAND));
        dialog.Hold(VK_CONTROL, true); // without moving the mouse
        EXPECT_EQ(classCursor(), ModuleCursor(IDR_CURSOR_ZOOM_IN));
        dialog.Hold(VK_CONTROL, false);
        EXPECT_EQ(classCursor(), ModuleCursor(IDR_CURSOR_OPEN_HAND));
        dialog.Press('X');
        dialog.Hold(VK_MENU, true);
        EXPECT_EQ(classCursor(), ModuleCursor(IDR_CURSOR_RESTORE));
        dialog.Hold(VK_MENU, false);

        // A band abandoned when another window takes the mouse zooms nothing.
        dialog.Press('Z');
        const std::string before = dialog.Text(IDC_ZOOM_READOUT);
        const POINT centre = CentreOf(dialog);
        dialog.ButtonDown(display, centre);
        dialog.MoveMouse(display, POINT{centre.x + 80, centre.y + 60});
        SendMessageA(display, WM_CANCELMODE, 0, 0);
        dialog.ButtonUp(display, POINT{centre.x + 80, centre.y + 60});
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), before);
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(PreviewTools, ABandBeyondTheEdgeAndTheKeysScrollTheView)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        WaitForPreview(dialog);
        HWND display = dialog.Item(IDC_PREVIEW);
        dialog.Press('Z');
        dialog.Press(VK_ADD, true);
        dialog.Press(VK_ADD, true); // 100 %: wider than the view
        auto position = [&] {
            dialog.Settle();
            return GetScrollPos(dialog.Item(IDC_HORIZONTAL_SCROLL), SB_CTL);
        };
        const int start = position();
        const RECT inner = InnerRect(dialog);
        dialog.ButtonDown(display, CentreOf(dialog));
        dialog.MoveMouse(display, POINT{inner.right + 20, CentreOf(dialog).y + 60});
        Sleep(450); // four ticks of the band's timer, 20 pixels each
        const int scrolled = position() - start;
        EXPECT_GE(scrolled, 60);
        EXPECT_EQ(scrolled % 20, 0) << "each tick scrolls by the overshoot";
        EXPECT_TRUE(dialog.SaveScreenshot(ScreenshotPath("preview-band-scrolling.png")));
        dialog.ButtonUp(display, POINT{inner.right + 20, CentreOf(dialog).y + 60});

        // Keys scroll the preview that has the focus: End to the bottom-right corner, Home back.
        dialog.Press('D');
        dialog.Press(VK_END);
        const int end = position();
        SCROLLINFO bar{};
        bar.cbSize = sizeof bar;
        bar.fMask = SIF_ALL;
        GetScrollInfo(dialog.Item(IDC_HORIZONTAL_SCROLL), SB_CTL, &bar);
        EXPECT_EQ(end, bar.nMax - int(bar.nPage) + 1);
        dialog.Press(VK_HOME);
        EXPECT_EQ(position(), bar.nMin);
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

// A click reaches 6 image pixels at 50 % and 3 at 400 %, to the quarter pixel; the applied image has
// exactly the reached stars without spikes.
TEST_F(PreviewTools, TheDeleteToolReachesByZoomAndOkAppliesTheSwitchedStars)
{
    ReferenceEngine engine(document_);
    const StarRecord a = engine.Star(kStarA), b = engine.Star(kStarB), centre = engine.Star(kCentre);
    const Reach halfA = ReachOffsets(a, 50, 24);
    const Reach halfB = ReachOffsets(b, 50, 24);
    const Reach fourfold = ReachOffsets(centre, 400, 12);
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        WaitForPreview(dialog);
        HWND display = dialog.Item(IDC_PREVIEW);
        dialog.Press('X');
        dialog.Press(VK_SUBTRACT, true);
        ASSERT_EQ(dialog.Text(IDC_ZOOM_READOUT), "50.00%");
        WaitForPreview(dialog);
        dialog.ClickAt(display, ClientAt(dialog, 50, PixelOf(a), halfA.in));
        dialog.ClickAt(display, ClientAt(dialog, 50, PixelOf(b), halfB.out));
        for (int i = 0; i < 5; ++i)
            dialog.Press(VK_ADD, true);
        ASSERT_EQ(dialog.Text(IDC_ZOOM_READOUT), "400.00%");
        WaitForPreview(dialog);
        // In the middle of a block of 4 by 4 screen pixels: the view's centre may be a pixel off.
        dialog.ClickAt(display, ClientAt(dialog, 400, PixelOf(centre), fourfold.out, 2));
        dialog.ClickAt(display, ClientAt(dialog, 400, PixelOf(centre), fourfold.in, 2));
        WaitForPreview(dialog);
        EXPECT_TRUE(dialog.SaveScreenshot(ScreenshotPath("preview-delete-400.png")));
        dialog.Press(VK_RETURN);
    });
    ASSERT_EQ(result, noErr);
    const HostDocument expected = engine.Render({kStarA, kCentre}, {});
    EXPECT_EQ(CompareDocuments(host_->Document(), expected).count, 0)
        << DescribeDifference(CompareDocuments(host_->Document(), expected));
    EXPECT_GT(CompareDocuments(expected, engine.Render({}, {})).count, 0);
}

TEST_F(PreviewTools, AltSwitchesStarsBackOnAndOnesThatNeverHadSpikes)
{
    ReferenceEngine engine(document_);
    ASSERT_FALSE(engine.Star(kNoSpikes).spikesEnabled) << "a star with a transparent centre gets no spikes";
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        WaitForPreview(dialog);
        HWND display = dialog.Item(IDC_PREVIEW);
        dialog.Press('X');
        dialog.Press(VK_SUBTRACT, true);
        WaitForPreview(dialog);
        dialog.ClickAt(display, ClientAt(dialog, 50, kStarE));
        WaitForPreview(dialog);
        AltClick(dialog, display, ClientAt(dialog, 50, kStarE));
        // Alt again, once the pointer rests at the band's start (see AltClick).
        const POINT from = ClientAt(dialog, 50, kNoSpikes, -12, -12), to = ClientAt(dialog, 50, kNoSpikes, 12, 12);
        RestAt(dialog, display, from);
        dialog.Hold(VK_MENU, true);
        dialog.Drag(display, from, to);
        dialog.Hold(VK_MENU, false);
        WaitForPreview(dialog);
        dialog.Press(VK_RETURN);
    });
    ASSERT_EQ(result, noErr);
    const HostDocument expected = engine.Render({}, {kNoSpikes});
    EXPECT_EQ(CompareDocuments(host_->Document(), expected).count, 0)
        << DescribeDifference(CompareDocuments(host_->Document(), expected));
}

} // namespace
