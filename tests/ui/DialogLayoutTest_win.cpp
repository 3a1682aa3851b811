// The resizable main dialog and the UI settings that carry its place, tool and Preview setting from one
// dialog to the next, through the built module and its UISettings.bin in this Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <climits>
#include <map>

#include "DialogDriver.h"
#include "common/TestDataRoots.h"
#include "e2e/E2eSupport.h"
#include "resources/ResourceIds.h"
#include "ui/PreviewTools.h"
#include "ui/UISettings.h"

namespace {

// The edges of the dialog's window (id 0) or of a control in client coordinates, printable on failure;
// the deltas move them.
std::vector<LONG> Edges(DialogDriver& dialog, int id = 0, std::vector<LONG> deltas = {0, 0, 0, 0})
{
    dialog.Settle();
    RECT r;
    GetWindowRect(id == 0 ? dialog.Dialog() : dialog.Item(id), &r);
    if (id != 0)
        MapWindowPoints(nullptr, dialog.Dialog(), reinterpret_cast<POINT*>(&r), 2);
    return {r.left + deltas[0], r.top + deltas[1], r.right + deltas[2], r.bottom + deltas[3]};
}

// Drags the size grip (id IDC_SIZE_GRIP) or the caption (id 0) by (dx, dy), as a person does: a window
// of another thread is not reliably moved by SetWindowPos under Wine.
void DragBy(DialogDriver& dialog, int id, LONG dx, LONG dy)
{
    const std::vector<LONG> r = Edges(dialog, id);
    const POINT from = id == 0 ? POINT{(r[2] - r[0]) / 2, -GetSystemMetrics(SM_CYCAPTION) / 2}
                               : POINT{(r[2] - r[0]) / 2, (r[3] - r[1]) / 2};
    dialog.Drag(id == 0 ? dialog.Dialog() : dialog.Item(id), from, POINT{from.x + dx, from.y + dy});
}

std::vector<uint8_t> SettingsBytes(StoredRect rect, uint32_t tool, uint32_t preview, uint16_t build = 9)
{
    const UISettings settings{{0, 0, 0, build}, rect, tool, preview, {1, 2, 3, 4}, 3};
    const auto* bytes = reinterpret_cast<const uint8_t*>(&settings);
    return std::vector<uint8_t>(bytes, bytes + sizeof settings);
}

class DialogLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char local[MAX_PATH] = {};
        SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
        file_ = std::filesystem::path(local) / "Quillmark" / "Corvane" / "Settings" / kUISettingsFileName;
        logs_ = std::filesystem::path(local) / "Quillmark" / "Corvane" / "Logs";
        std::filesystem::remove(file_); // a first run; later tests find none of ours either
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
        std::filesystem::remove(file_);
    }

    std::filesystem::path file_;
    std::filesystem::path logs_;
    LoadedModule module_;
    std::unique_ptr<Host> host_;
};

TEST_F(DialogLayout, ControlsFollowTheirAnchorsAndTheGripStopsAtTheTemplateSize)
{
    RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        const std::vector<LONG> window = Edges(dialog);
        std::map<int, std::vector<LONG>> before;
        for (int id : {IDOK, IDC_HORIZONTAL_SCROLL, IDC_PREVIEW, IDC_PREVIEW_CHECK, IDC_HAND_TOOL, IDC_DELETE_TOOL})
            before[id] = Edges(dialog, id);

        DragBy(dialog, IDC_SIZE_GRIP, 100, 50);
        EXPECT_EQ(Edges(dialog, 0, {0, 0, -100, -50}), window);
        EXPECT_EQ(Edges(dialog, IDOK, {-100, 0, -100, 0}), before[IDOK]);
        EXPECT_EQ(Edges(dialog, IDC_HORIZONTAL_SCROLL, {0, -50, -100, -50}), before[IDC_HORIZONTAL_SCROLL]);
        EXPECT_EQ(Edges(dialog, IDC_PREVIEW, {0, 0, -100, -50}), before[IDC_PREVIEW]);
        EXPECT_EQ(Edges(dialog, IDC_PREVIEW_CHECK, {-100, -50, -100, -50}), before[IDC_PREVIEW_CHECK]);
        EXPECT_EQ(Edges(dialog, IDC_HAND_TOOL), before[IDC_HAND_TOOL]);
        EXPECT_EQ(Edges(dialog, IDC_DELETE_TOOL), before[IDC_DELETE_TOOL]);
        Sleep(500); // the preview's slices
        EXPECT_TRUE(dialog.SaveScreenshot(ScreenshotPath("dialog-enlarged.png")));

        DragBy(dialog, IDC_SIZE_GRIP, -400, -300);
        EXPECT_EQ(Edges(dialog), window);
        for (const auto& [id, edges] : before)
            EXPECT_EQ(Edges(dialog, id), edges) << "control " << id;
        dialog.Press(VK_ESCAPE);
    });
}

// The first dialog starts from a file that ended with the Delete tool and the preview off.
TEST_F(DialogLayout, OkStoresThePlaceAndToolAndCancelLeavesTheFile)
{
    WriteBytes(file_, SettingsBytes({0, 0, 0, 0}, kDeleteTool, 0));
    HANDLE zoomSelected = LoadImageA(static_cast<HINSTANCE>(module_.library), MAKEINTRESOURCEA(IDI_ZOOM_TOOL_SELECTED),
                                     IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED); // the handle the module shows
    std::vector<LONG> moved;
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        EXPECT_TRUE(dialog.Checked(IDC_PREVIEW_CHECK));
        // The saved tool is chosen once the preview first shows.
        const auto zoomIcon = [&] { return HANDLE(SendMessageA(dialog.Item(IDC_ZOOM_TOOL), STM_GETICON, 0, 0)); };
        for (int wait = 0; wait < 250 && zoomIcon() != zoomSelected; ++wait)
            Sleep(20);
        EXPECT_EQ(zoomIcon(), zoomSelected);
        const std::vector<LONG> opened = Edges(dialog);
        DragBy(dialog, 0, 40 - opened[0], 30 - opened[1]);
        moved = Edges(dialog);
        EXPECT_EQ(std::vector<LONG>(moved.begin(), moved.begin() + 2), (std::vector<LONG>{40, 30}));
        dialog.Press(VK_RETURN);
    });
    EXPECT_EQ(result, noErr);
    const std::vector<uint8_t> written = ReadBytes(file_);
    EXPECT_EQ(written, SettingsBytes({moved[0], moved[1], moved[2], moved[3]}, kZoomTool, 1));

    RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        EXPECT_EQ(Edges(dialog), moved) << "the dialog opens where OK left it";
        DragBy(dialog, 0, 160, 120);
        EXPECT_EQ(Edges(dialog, 0, {-160, -120, -160, -120}), moved);
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(ReadBytes(file_), written) << "Cancel wrote the settings";
}

TEST_F(DialogLayout, APlaceOffTheScreenOrFromAnotherVersionIsNotRestored)
{
    const LONG width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    struct Case
    {
        const char* what;
        StoredRect saved;
        uint16_t build;
        size_t cut;     // bytes missing at the file's end
        bool keepsSize; // false: the template's size, which the first case shows
    } const cases[] = {
        {"another version", {10, 10, 1010, 810}, 8, 0, false},
        {"a truncated file", {10, 10, 1010, 810}, 9, 1, false},
        {"a negative left edge", {-100, 50, 800, 810}, 9, 0, true},
        {"beyond the right edge", {width - 300, 50, width + 600, 810}, 9, 0, true},
        {"larger than the screen", {0, 0, width + 200, height}, 9, 0, false},
        {"damaged", {INT_MIN, 0, INT_MAX, 100}, 9, 0, false},
    };
    LONG templateWidth = 0, templateHeight = 0;
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = SettingsBytes(c.saved, kHandTool, 1, c.build);
        bytes.resize(bytes.size() - c.cut);
        WriteBytes(file_, bytes);
        RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
            const std::vector<LONG> r = Edges(dialog);
            if (templateWidth == 0)
                templateWidth = r[2] - r[0], templateHeight = r[3] - r[1];
            EXPECT_NE(r[0], c.saved.left) << c.what;
            EXPECT_TRUE(r[0] >= 0 && r[1] >= 0 && r[2] <= width && r[3] <= height) << c.what;
            EXPECT_EQ(r[2] - r[0], c.keepsSize ? c.saved.right - c.saved.left : templateWidth) << c.what;
            EXPECT_EQ(r[3] - r[1], c.keepsSize ? c.saved.bottom - c.saved.top : templateHeight) << c.what;
            dialog.Press(VK_ESCAPE);
        });
        // The module logs only the first run after it was loaded.
        if (&c == &cases[0]) {
            const std::string log = ReadLogText(logs_ / "Corvane Pro_00.log");
            EXPECT_NE(log.find("User Setting File version mismatch. File Version = '0','0','0','8'"),
                      std::string::npos);
        }
    }
}

} // namespace
