// The live preview of the real dialog, driven as a person drives it: the zoom buttons, the zoom menu and
// its keys, the scroll bars, the Preview check box. What the preview control shows is read back through
// WM_PRINT, which paints from its display bitmap; screenshots go to build/windows/screenshots/.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "PreviewWatch.h"
#include "preview/DialogMessages.h"
#include "preview/ZoomLevels.h"
#include "resources/ResourceIds.h"
#include "tools/starfield/StarfieldGenerator.h"

namespace {

// The read-out at each zoom level.
const char* const kLevelTexts[kZoomLevelCount] = {
    "0.30%",   "0.50%",   "1.00%",   "2.50%",   "6.25%",   "12.50%",  "25.00%",   "33.33%",   "50.00%",  "66.67%",
    "100.00%", "200.00%", "300.00%", "400.00%", "600.00%", "800.00%", "1000.00%", "1200.00%", "1600.00%"};

void Screenshot(DialogDriver& dialog, const char* name)
{
    EXPECT_TRUE(dialog.SaveScreenshot(ScreenshotPath(name))) << name;
}

// The preview control's client area, 0xRRGGBB row by row, `width` pixels to a row.
std::vector<uint32_t> CaptureDisplay(DialogDriver& dialog, int* width)
{
    dialog.Settle();
    RECT client;
    GetClientRect(dialog.Item(IDC_PREVIEW), &client);
    *width = client.right;
    BITMAPINFO info{};
    info.bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    SendMessageA(dialog.Item(IDC_PREVIEW), WM_PRINT, WPARAM(dc), PRF_CLIENT);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + client.right * client.bottom);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return pixels;
}

void ClickOn(DialogDriver& dialog, int id)
{
    RECT bounds;
    GetClientRect(dialog.Item(id), &bounds);
    dialog.ClickAt(dialog.Item(id), POINT{bounds.right / 2, bounds.bottom / 2});
}

// The zoom menu's item `steps` down from its top ("6%" is one), chosen with the keys.
void ChooseFromZoomMenu(DialogDriver& dialog, int steps)
{
    ASSERT_NE(dialog.OpenMenuWithClick(dialog.Item(IDC_ZOOM_ARROW)), nullptr);
    for (int step = 0; step < steps; ++step)
        dialog.Press(VK_DOWN);
    dialog.Press(VK_RETURN);
}

// The sample starfield of `corvane demo`, in display encoding and the host's scale for `mode`.
HostDocument SampleStarfield(int16 mode, double scale)
{
    const StarfieldOptions options = SampleStarfieldOptions();
    const LinearImage field = RenderStarfield(options, GenerateStars(options));
    HostDocument document(field.width, field.height, mode);
    document.Fill([&](int32_t plane, int32_t x, int32_t y) {
        const double v = field.rgb[(size_t(y) * size_t(field.width) + size_t(x)) * 3 + size_t(plane)];
        return std::round((v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055) * scale);
    });
    return document;
}

class LivePreview : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(LoadModule(DefaultModulePath(), &module_)) << module_.error; }
    void TearDown() override
    {
        host_.reset();
        UnloadModule(&module_);
    }
    OSErr Run(const HostDocument& document, const std::function<void(DialogDriver&)>& script)
    {
        HostOptions options;
        options.dialogAnswer = DialogAnswer::None;
        host_ = std::make_unique<Host>(module_.entry, options);
        EXPECT_TRUE(host_->SetDocument(document));
        const PreviewWatch watch;
        return RunWithDialog(host_.get(), script);
    }

    LoadedModule module_;
    std::unique_ptr<Host> host_;
};

TEST_F(LivePreview, OpensFittedAndZoomsThroughEveryLevelWithButtonsMenuAndKeys)
{
    const OSErr result = Run(SampleStarfield(plugInModeRGB48, 32768), [](DialogDriver& dialog) {
        WaitForPreview(dialog);
        RECT client;
        GetClientRect(dialog.Item(IDC_PREVIEW), &client);
        const double fit = std::min((client.right - 2) / 10.24, (client.bottom - 2) / 7.68);
        char fitText[32];
        std::snprintf(fitText, sizeof(fitText), "%.2f%%", fit);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), fitText);
        int level = kZoomLevelCount - 1;
        while (kZoomLevels[level] >= fit)
            --level;
        for (; level >= 0; --level) {
            ClickOn(dialog, IDC_ZOOM_OUT);
            EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), kLevelTexts[level]);
        }
        EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_ZOOM_OUT)));
        EXPECT_TRUE(IsWindowEnabled(dialog.Item(IDC_ZOOM_IN)));
        for (level = 1; level < kZoomLevelCount; ++level) {
            ClickOn(dialog, IDC_ZOOM_IN);
            EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), kLevelTexts[level]);
        }
        EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_ZOOM_IN)));
        EXPECT_TRUE(IsWindowEnabled(dialog.Item(IDC_ZOOM_OUT)));

        ChooseFromZoomMenu(dialog, 1); // "6%"
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "6.25%");
        dialog.Press(VK_OEM_PLUS, true);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "12.50%");
        dialog.Press(VK_OEM_MINUS, true);
        dialog.Press(VK_SUBTRACT, true);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "2.50%");
        dialog.Press('O', true); // Fit in View
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), fitText);
        WaitForPreview(dialog);
        // The dialog is active, but Wine without a window manager can leave its caption drawn inactive
        // after the menu; the README's picture shows it as the user sees it on Windows.
        SendMessageA(dialog.Dialog(), WM_NCACTIVATE, TRUE, 0);
        Screenshot(dialog, "preview-fit.png");
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(LivePreview, ScrollsToTheBottomRightCornerAndShowsTheImageWithPreviewOff)
{
    const HostDocument document = SampleStarfield(plugInModeRGBColor, 255);
    const OSErr result = Run(document, [&](DialogDriver& dialog) {
        WaitForPreview(dialog);
        ChooseFromZoomMenu(dialog, 10); // "400%", past two separators
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "400.00%");
        WaitForPreview(dialog);
        Screenshot(dialog, "preview-zoom-400.png");

        PostMessageA(dialog.Dialog(), WM_VSCROLL, SB_BOTTOM, LPARAM(dialog.Item(IDC_VERTICAL_SCROLL)));
        PostMessageA(dialog.Dialog(), WM_HSCROLL, SB_RIGHT, LPARAM(dialog.Item(IDC_HORIZONTAL_SCROLL)));
        WaitForPreview(dialog);
        for (int id : {IDC_HORIZONTAL_SCROLL, IDC_VERTICAL_SCROLL}) {
            SCROLLINFO bar{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
            GetScrollInfo(dialog.Item(id), SB_CTL, &bar);
            EXPECT_TRUE(IsWindowEnabled(dialog.Item(id)));
            EXPECT_EQ(bar.nPos, bar.nMax - int(bar.nPage) + 1) << "bar " << id;
        }
        Screenshot(dialog, "preview-bottom-right.png");

        dialog.Press('P');
        WaitForPreview(dialog);
        EXPECT_FALSE(dialog.Checked(IDC_PREVIEW_CHECK));
        Screenshot(dialog, "preview-off.png");
        // The image unchanged in blocks of four by four, its last row and column at the inner edges.
        int width = 0;
        const std::vector<uint32_t> shown = CaptureDisplay(dialog, &width);
        const int right = width - 2, bottom = int(shown.size()) / width - 2; // the inner rectangle's last pixels
        int wrong = 0;
        for (int y = 1; y <= bottom; ++y)
            for (int x = 1; x <= right; ++x) {
                uint32_t expected = 0;
                for (int plane = 0; plane < 3; ++plane)
                    expected = expected << 8 |
                               uint32_t(document.Sample(plane, 1023 - (right - x) / 4, 767 - (bottom - y) / 4));
                wrong += shown[size_t(y) * size_t(width) + size_t(x)] != expected ? 1 : 0;
            }
        EXPECT_EQ(wrong, 0) << "pixels unlike the image";
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(LivePreview, CentresASmallImageOverTheShadowAndShowsTransparencyAsACheckerboard)
{
    // 360 by 300 opens at 100 %: the top-left quarter transparent, two stars in the bottom-right one.
    HostDocument document(360, 300, plugInModeRGBColor, true);
    document.Fill([](int32_t plane, int32_t x, int32_t y) {
        if (plane == 3)
            return x < 180 && y < 150 ? 0.0 : 255.0;
        const bool star = (std::abs(x - 270) < 2 && std::abs(y - 225) < 2) || (x == 320 && y == 260);
        return star ? 255.0 : plane == 2 ? 40.0 : 12.0;
    });
    const OSErr result = Run(document, [](DialogDriver& dialog) {
        WaitForPreview(dialog);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "100.00%");
        for (int id : {IDC_HORIZONTAL_SCROLL, IDC_VERTICAL_SCROLL})
            EXPECT_FALSE(IsWindowEnabled(dialog.Item(id))) << "bar " << id;
        Screenshot(dialog, "preview-small-centred.png");
        int width = 0;
        const std::vector<uint32_t> shown = CaptureDisplay(dialog, &width);
        const int height = int(shown.size()) / width;
        const COLORREF c = GetSysColor(COLOR_BTNSHADOW);
        const uint32_t shadow = uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
        // The image's corner: where the shadow colour ends in the middle row and column.
        int left = 1, top = 1;
        while (left < width / 2 && shown[size_t(height / 2) * size_t(width) + size_t(left)] == shadow)
            ++left;
        while (top < height / 2 && shown[size_t(top) * size_t(width) + size_t(width / 2)] == shadow)
            ++top;
        EXPECT_LE(std::abs((left - 1) - (width - 1 - (left + 360))), 1) << "centred across";
        EXPECT_LE(std::abs((top - 1) - (height - 1 - (top + 300))), 1) << "centred down";

        // The transparent quarter: squares of 8 from the image's corner, grey 207 and white, times 255 / 256.
        EXPECT_EQ(shown[size_t(top) * size_t(width) + size_t(left)], 206 * 0x010101u);
        EXPECT_EQ(shown[size_t(top) * size_t(width) + size_t(left + 15)], 254 * 0x010101u);

        dialog.Press(VK_ADD, true);
        dialog.Press(VK_ADD, true);
        WaitForPreview(dialog);
        EXPECT_EQ(dialog.Text(IDC_ZOOM_READOUT), "300.00%");
        Screenshot(dialog, "preview-checkerboard.png");
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

} // namespace
