// The resizable main dialog and the UI settings that carry its place, tool and Preview setting from one
// dialog to the next, through the built module and its UISettings.bin in this Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "common/TestDataRoots.h"
#include "e2e/E2eSupport.h"
#include "resources/ResourceIds.h"
#include "ui/PreviewTools.h"
#include "ui/UISettings.h"

namespace fs = std::filesystem;

namespace {

std::vector<LONG> Edges(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

RECT Moved(RECT r, int dx, int dy, int dRight, int dBottom)
{
    return RECT{r.left + dx, r.top + dy, r.right + dRight, r.bottom + dBottom};
}

RECT WindowRect(DialogDriver& dialog)
{
    dialog.Settle();
    RECT r;
    GetWindowRect(dialog.Dialog(), &r);
    return r;
}

// A control's rectangle in the dialog's client coordinates.
RECT ItemRect(DialogDriver& dialog, int id)
{
    dialog.Settle();
    RECT r;
    GetWindowRect(dialog.Item(id), &r);
    MapWindowPoints(nullptr, dialog.Dialog(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<uint8_t> SettingsBytes(RECT dialogRect, uint32_t tool, uint32_t preview, uint16_t build = 9)
{
    const UISettings settings{{0, 0, 0, build},
                              {dialogRect.left, dialogRect.top, dialogRect.right, dialogRect.bottom},
                              tool,
                              preview,
                              {1, 2, 3, 4},
                              3};
    const auto* bytes = reinterpret_cast<const uint8_t*>(&settings);
    return std::vector<uint8_t>(bytes, bytes + sizeof settings);
}

UISettings Stored(const std::vector<uint8_t>& bytes)
{
    UISettings settings{};
    EXPECT_EQ(bytes.size(), sizeof settings);
    std::memcpy(&settings, bytes.data(), std::min(bytes.size(), sizeof settings));
    return settings;
}

class DialogLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadModule(DefaultModulePath(), &module_)) << module_.error;
        HostOptions options;
        options.dialogAnswer = DialogAnswer::None;
        host_ = std::make_unique<Host>(module_.entry, options);
        ASSERT_TRUE(host_->SetDocument(StarfieldDocument({480, 360, plugInModeRGBColor, false, false})));
    }
    void TearDown() override
    {
        host_.reset();
        UnloadModule(&module_);
    }

    const fs::path settingsFile_ = ModuleUserFolder("Settings") / "UISettings.bin";
    LoadedModule module_;
    std::unique_ptr<Host> host_;
};

TEST_F(DialogLayout, ControlsFollowTheirAnchorsAndTheGripStopsAtTheTemplateSize)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        const RECT window = WindowRect(dialog);
        const std::vector<int> ids = {IDOK,          IDC_HORIZONTAL_SCROLL, IDC_PREVIEW,       IDC_HAND_TOOL,
                                      IDC_ZOOM_TOOL, IDC_DELETE_TOOL,       IDC_PREVIEW_CHECK, IDC_SETTINGS_GROUP};
        std::map<int, RECT> before;
        for (int id : ids)
            before[id] = ItemRect(dialog, id);

        SetWindowPos(dialog.Dialog(), nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 50,
                     SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(Edges(ItemRect(dialog, IDOK)), Edges(Moved(before[IDOK], 100, 0, 100, 0)));
        EXPECT_EQ(Edges(ItemRect(dialog, IDC_SETTINGS_GROUP)),
                  Edges(Moved(before[IDC_SETTINGS_GROUP], 100, 0, 100, 0)));
        EXPECT_EQ(Edges(ItemRect(dialog, IDC_HORIZONTAL_SCROLL)),
                  Edges(Moved(before[IDC_HORIZONTAL_SCROLL], 0, 50, 100, 50)));
        EXPECT_EQ(Edges(ItemRect(dialog, IDC_PREVIEW)), Edges(Moved(before[IDC_PREVIEW], 0, 0, 100, 50)));
        EXPECT_EQ(Edges(ItemRect(dialog, IDC_PREVIEW_CHECK)),
                  Edges(Moved(before[IDC_PREVIEW_CHECK], 100, 50, 100, 50)));
        for (int id : {IDC_HAND_TOOL, IDC_ZOOM_TOOL, IDC_DELETE_TOOL})
            EXPECT_EQ(Edges(ItemRect(dialog, id)), Edges(before[id])) << "tool button " << id;
        Sleep(500); // the preview's slices
        const fs::path screenshots = fs::path(CORVANE_BINARY_DIR) / "screenshots";
        fs::create_directories(BuildOutputPath(screenshots.string()));
        EXPECT_TRUE(dialog.SaveScreenshot(BuildOutputPath((screenshots / "dialog-enlarged.png").string())));

        // Dragging the grip far up and left: the dialog stops at the template's size, every control back
        // at its first place.
        const RECT grip = ItemRect(dialog, IDC_SIZE_GRIP);
        const POINT middle{(grip.right - grip.left) / 2, (grip.bottom - grip.top) / 2};
        dialog.Drag(dialog.Item(IDC_SIZE_GRIP), middle, POINT{middle.x - 400, middle.y - 300});
        const RECT shrunk = WindowRect(dialog);
        EXPECT_EQ(shrunk.right - shrunk.left, window.right - window.left);
        EXPECT_EQ(shrunk.bottom - shrunk.top, window.bottom - window.top);
        for (int id : ids)
            EXPECT_EQ(Edges(ItemRect(dialog, id)), Edges(before[id])) << "control " << id;
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(DialogLayout, OkStoresWhereTheDialogIsAndCancelLeavesTheFile)
{
    RECT moved{};
    OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        SetWindowPos(dialog.Dialog(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        moved = WindowRect(dialog);
        dialog.Press(VK_RETURN);
    });
    EXPECT_EQ(result, noErr);
    const std::vector<uint8_t> written = ReadBytes(settingsFile_);
    ASSERT_EQ(written.size(), 52u);
    EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.begin() + 8),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 9, 0}));
    const UISettings stored = Stored(written);
    EXPECT_EQ(Edges({stored.dialogRect.left, stored.dialogRect.top, stored.dialogRect.right, stored.dialogRect.bottom}),
              Edges(moved));
    EXPECT_EQ(stored.tool, kZoomTool);
    EXPECT_EQ(stored.preview, 1u);

    result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        EXPECT_EQ(Edges(WindowRect(dialog)), Edges(moved)) << "the dialog opens where OK left it";
        SetWindowPos(dialog.Dialog(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
    EXPECT_EQ(ReadBytes(settingsFile_), written) << "Cancel wrote the settings";
}

TEST_F(DialogLayout, APlaceOffTheScreenOrFromAnotherVersionIsNotRestored)
{
    const LONG screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const LONG screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    SIZE templateSize{};
    struct Case
    {
        const char* what;
        RECT saved;
        uint16_t build;
        bool keepsSize; // false: the template's size
    };
    const Case cases[] = {
        {"another version", {10, 10, 1010, 810}, 8, false},
        {"a negative left edge", {-100, 50, 800, 810}, 9, true},
        {"beyond the right edge", {screenWidth - 300, 50, screenWidth + 600, 810}, 9, true},
        {"larger than the screen", {0, 0, screenWidth + 200, screenHeight}, 9, false},
        {"damaged", {INT_MIN, 0, INT_MAX, 100}, 9, false},
    };
    for (const Case& c : cases) {
        WriteBytes(settingsFile_, SettingsBytes(c.saved, kHandTool, 1, c.build));
        const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
            const RECT r = WindowRect(dialog);
            if (templateSize.cx == 0)
                templateSize = SIZE{r.right - r.left, r.bottom - r.top};
            EXPECT_NE(r.left, c.saved.left) << c.what;
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= screenWidth && r.bottom <= screenHeight) << c.what;
            const SIZE expected =
                c.keepsSize ? SIZE{c.saved.right - c.saved.left, c.saved.bottom - c.saved.top} : templateSize;
            EXPECT_EQ(r.right - r.left, expected.cx) << c.what;
            EXPECT_EQ(r.bottom - r.top, expected.cy) << c.what;
            dialog.Press(VK_ESCAPE);
        });
        EXPECT_EQ(result, userCanceledErr);
    }
}

TEST_F(DialogLayout, ASavedDeleteToolOpensAsZoomAndThePreviewIsAlwaysOn)
{
    WriteBytes(settingsFile_, SettingsBytes({0, 0, 0, 0}, kDeleteTool, 0));
    // Shared icons: the module's own handles, which its tool buttons show.
    const auto icon = [&](int id) {
        return LoadImageA(static_cast<HINSTANCE>(module_.library), MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0,
                          LR_DEFAULTSIZE | LR_SHARED);
    };
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        EXPECT_TRUE(dialog.Checked(IDC_PREVIEW_CHECK));
        const auto shown = [&](int id) {
            return reinterpret_cast<HANDLE>(SendMessageA(dialog.Item(id), STM_GETICON, 0, 0));
        };
        // The saved tool is chosen once the preview first shows.
        const DWORD start = GetTickCount();
        while (shown(IDC_ZOOM_TOOL) != icon(IDI_ZOOM_TOOL_SELECTED) && GetTickCount() - start < 5000)
            Sleep(20);
        EXPECT_EQ(shown(IDC_ZOOM_TOOL), icon(IDI_ZOOM_TOOL_SELECTED));
        EXPECT_EQ(shown(IDC_DELETE_TOOL), icon(IDI_DELETE_TOOL));
        dialog.Press(VK_RETURN);
    });
    EXPECT_EQ(result, noErr);
    const UISettings stored = Stored(ReadBytes(settingsFile_));
    EXPECT_EQ(stored.tool, kZoomTool);
    EXPECT_EQ(stored.preview, 1u);
    EXPECT_EQ(std::vector<int32_t>(
                  {stored.debugImageRect.left, stored.debugImageRect.bottom, int32_t(stored.debugImageZoom)}),
              (std::vector<int32_t>{1, 4, 3}))
        << "the debug image display's fields are carried through";
}

} // namespace
