// The Settings list and its menu in the built module's dialog: the sets of the user's Parameters folder,
// choosing them, and loading, saving and deleting through the menu and the common file dialogs.
#include <windows.h>

#include <dlgs.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "common/TestDataRoots.h"
#include "engine/FilterParameters.h"
#include "host/LastParameters.h"
#include "presets/ParameterBlock.h"
#include "resources/ResourceIds.h"
#include "tools/harness/Harness.h"
#include "tools/harness/ProcessDialogs_win.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kLoadCaption = "Load Corvane Pro Parameter File";
constexpr const char* kSaveCaption = "Save Corvane Pro Parameter File";
constexpr const char* kDeleteCaption = "Delete Corvane Pro Parameter File";
constexpr const char* kConversionCaption = "Parameter Set Conversion";
// A stored set with a recognisable intensity and angle, of any version.
std::vector<uint8_t> SetBytes(int16_t intensity, int16_t angle = 0, uint16_t build = 4)
{
    FilterParameters parameters = kFactoryParameters;
    parameters.intensity = intensity;
    parameters.angle = angle;
    void* block = ParameterBlockProc(kBlockCurrent, nullptr, &parameters);
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(block), static_cast<uint8_t*>(block) + kParameterBlockSize);
    FreeParameterBlock(block);
    bytes[6] = uint8_t(build);
    return bytes;
}

int16_t Field(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes.size() < offset + 2 ? -1 : int16_t(bytes[offset] | (bytes[offset + 1] << 8));
}

// Every file the module writes is a whole block of the current version.
void ExpectWholeCurrentBlock(const fs::path& path, int16_t intensity)
{
    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), kParameterBlockSize) << path;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 4, 0}));
    EXPECT_EQ(Field(bytes, 8), intensity) << path;
}

// The first visible top-level window of this process that passes `test`, waited for; null when none came.
HWND WaitForWindow(const std::function<bool(HWND)>& test)
{
    struct Search
    {
        const std::function<bool(HWND)>* test;
        HWND found;
    } search{&test, nullptr};
    WaitUntil([&] {
        EnumWindows(
            [](HWND window, LPARAM context) {
                Search& search = *reinterpret_cast<Search*>(context);
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process != GetCurrentProcessId() || !IsWindowVisible(window) || !(*search.test)(window))
                    return TRUE;
                search.found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

// Presses `button` in the message box with `caption` once it shows and it has closed; its text.
std::string AnswerMessageBox(const char* caption, int button)
{
    // A message box shows its text in the static 0xFFFF; a file dialog of the same caption has none.
    HWND box = WaitForWindow(
        [&](HWND window) { return IsProcessDialog(window, caption) && GetDlgItem(window, 0xFFFF) != nullptr; });
    if (box == nullptr) {
        ADD_FAILURE() << "no message box " << caption;
        return "";
    }
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    PostMessageA(box, WM_COMMAND, WPARAM(button), 0);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
}

std::vector<std::string> Items(DialogDriver& dialog)
{
    dialog.Settle();
    HWND list = dialog.Item(IDC_SETTINGS_LIST);
    std::vector<std::string> items;
    for (LRESULT index = 0; index < SendMessageA(list, CB_GETCOUNT, 0, 0); ++index) {
        char text[300] = {};
        SendMessageA(list, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int Selected(DialogDriver& dialog)
{
    dialog.Settle();
    return int(SendMessageA(dialog.Item(IDC_SETTINGS_LIST), CB_GETCURSEL, 0, 0));
}

// Opens the Settings menu with a click on its icon; whether each of its items is grayed.
std::map<std::string, bool> OpenSettingsMenu(DialogDriver& dialog)
{
    HWND popup = dialog.OpenMenuWithClick(dialog.Item(IDC_SETTINGS_MENU));
    std::map<std::string, bool> grayed;
    HMENU menu = popup != nullptr ? reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)) : nullptr;
    for (int position = 0; menu != nullptr && position < GetMenuItemCount(menu); ++position) {
        char text[64] = {};
        GetMenuStringA(menu, UINT(position), text, sizeof text, MF_BYPOSITION);
        grayed[text] = (GetMenuState(menu, UINT(position), MF_BYPOSITION) & MF_GRAYED) != 0;
    }
    return grayed;
}

const std::map<std::string, bool> kDeleteGrayed = {
    {"Load Settings", false}, {"Save Settings", false}, {"Delete Settings", true}};
const std::map<std::string, bool> kNoneGrayed = {
    {"Load Settings", false}, {"Save Settings", false}, {"Delete Settings", false}};

// In the open menu: 0 Load, 1 Save, 2 Delete.
void ChooseMenuItem(DialogDriver& dialog, int position)
{
    for (int step = 0; step <= position; ++step)
        dialog.Press(VK_DOWN);
    dialog.Press(VK_RETURN);
}

// Through the menu's Load (0) or Save (1): the name typed into the file dialog and its OK button pressed,
// and the question whether to replace a file answered with `replace` if it comes.
void UseFile(DialogDriver& dialog, int menuPosition, const std::string& name, int replace = 0)
{
    OpenSettingsMenu(dialog);
    ChooseMenuItem(dialog, menuPosition);
    const char* caption = menuPosition == 0 ? kLoadCaption : kSaveCaption;
    HWND fileDialog = WaitForDialog(caption, kPatience);
    ASSERT_NE(fileDialog, nullptr) << caption;
    ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(fileDialog, cmb13) != nullptr; }));
    SetDlgItemTextA(fileDialog, cmb13, name.c_str());
    PostMessageA(fileDialog, WM_COMMAND, IDOK, 0);
    if (replace != 0) {
        EXPECT_NE(AnswerMessageBox(caption, replace).find("already exists"), std::string::npos);
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(fileDialog); })) << caption << " stayed open";
    dialog.Settle();
}

// Drops the list down and moves through it with the arrow keys to `index`, each item applied on the way.
void ChooseWithArrows(DialogDriver& dialog, int index)
{
    dialog.Press('T');
    dialog.Press(VK_HOME);
    for (int step = 0; step < index; ++step)
        dialog.Press(VK_DOWN);
    dialog.Settle();
}

void Close(DialogDriver& dialog)
{
    PostMessageA(dialog.Dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void EmptyFolder(const fs::path& folder)
{
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        fs::remove_all(entry.path(), ignored);
}

class SettingsList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char local[MAX_PATH] = {};
        ASSERT_EQ(
            SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local),
            S_OK);
        folder_ = fs::path(local) / "Quillmark" / "Corvane" / "Parameters";
        outside_ = fs::temp_directory_path() / "corvane-sets-elsewhere";
        // The folders themselves stay: a file dialog may still be watching one of them.
        for (const fs::path& path : {folder_, outside_}) {
            fs::create_directories(path);
            EmptyFolder(path);
        }
        ASSERT_TRUE(LoadModule(DefaultModulePath(), &module_)) << module_.error;
        HostOptions options;
        options.dialogAnswer = DialogAnswer::None;
        host_ = std::make_unique<Host>(module_.entry, options);
        HostDocument document(24, 16, plugInModeRGBColor);
        document.Fill([](int32_t, int32_t x, int32_t y) { return x == 8 && y == 8 ? 255.0 : 6.0; });
        ASSERT_TRUE(host_->SetDocument(document));
    }
    void TearDown() override
    {
        host_.reset();
        UnloadModule(&module_);
        EmptyFolder(folder_);
        EmptyFolder(outside_);
    }

    void Remember(const FilterParameters& parameters)
    {
        std::vector<uint8_t> block(kParameterBlockSize, 0);
        std::memcpy(block.data(), &parameters, sizeof parameters);
        host_->RegisterData(kRegistryKey, kParameterBlockKey, block.data(), int32_t(block.size()), true);
    }
    FilterParameters Live(DialogDriver& dialog) const
    {
        dialog.Settle();
        return *reinterpret_cast<FilterParameters*>(*host_->Record()->parameters);
    }

    fs::path folder_;
    fs::path outside_;
    LoadedModule module_;
    std::unique_ptr<Host> host_;
};

TEST_F(SettingsList, ListsTheFolderChoosesWithArrowsAndSavesInOrder)
{
    WriteBytes(folder_ / "b.cvp", SetBytes(20));
    WriteBytes(folder_ / "A.cvp", SetBytes(30));
    WriteBytes(folder_ / "c.CVP", SetBytes(40));
    WriteBytes(folder_ / "short.cvp", std::vector<uint8_t>(10, 0));
    FilterParameters opened = kFactoryParameters;
    opened.intensity = 11;
    Remember(opened);
    const std::map<std::string, int16_t> intensityOf = {
        {"Factory Settings", kFactoryParameters.intensity}, {"Initial Settings", 11}, {"b", 20}, {"A", 30}, {"c", 40}};

    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        std::vector<std::string> items = Items(dialog);
        ASSERT_EQ(items.size(), 5u);
        EXPECT_EQ(std::vector<std::string>(items.begin(), items.begin() + 2),
                  (std::vector<std::string>{"Factory Settings", "Initial Settings"}));
        EXPECT_EQ(std::set<std::string>(items.begin() + 2, items.end()), (std::set<std::string>{"b", "A", "c"}));
        EXPECT_EQ(Selected(dialog), 1);
        EXPECT_EQ(OpenSettingsMenu(dialog), kDeleteGrayed);
        dialog.Press(VK_ESCAPE);

        // Each arrow key applies the item it reaches, and the list keeps the focus throughout.
        dialog.Press('T');
        dialog.Press(VK_HOME);
        for (size_t index = 0; index < items.size(); ++index) {
            if (index > 0)
                dialog.Press(VK_DOWN);
            EXPECT_EQ(Live(dialog).intensity, intensityOf.at(items[index])) << items[index];
            EXPECT_EQ(Selected(dialog), int(index));
            EXPECT_EQ(dialog.Focus(), dialog.Item(IDC_SETTINGS_LIST));
            if (index == 0 || index == 2) {
                EXPECT_EQ(OpenSettingsMenu(dialog), index == 0 ? kDeleteGrayed : kNoneGrayed);
                dialog.Press(VK_ESCAPE);
            }
        }
        const int16_t last = intensityOf.at(items.back());

        // Named only, the set goes to the Parameters folder with the set extension.
        UseFile(dialog, 1, "Bb");
        ExpectWholeCurrentBlock(folder_ / "Bb.cvp", last);
        items = Items(dialog);
        ASSERT_EQ(items.size(), 6u);
        const int at = int(std::find(items.begin(), items.end(), "Bb") - items.begin());
        ASSERT_LT(at, 6);
        EXPECT_EQ(Selected(dialog), at);
        for (int index = 2; index < at; ++index)
            EXPECT_LT(lstrcmpiA(items[index].c_str(), "Bb"), 0) << items[index];
        if (at + 1 < 6) {
            EXPECT_GT(lstrcmpiA(items[at + 1].c_str(), "Bb"), 0) << items[at + 1];
        }

        // The same name in other letters replaces the set, after the file dialog asked.
        UseFile(dialog, 1, "B", IDYES);
        ExpectWholeCurrentBlock(folder_ / "b.cvp", last);
        EXPECT_EQ(Items(dialog), items);
        const int b = int(std::find(items.begin(), items.end(), "b") - items.begin());
        EXPECT_EQ(Selected(dialog), b);
        ChooseWithArrows(dialog, 0);
        EXPECT_EQ(Live(dialog).intensity, kFactoryParameters.intensity);
        ChooseWithArrows(dialog, b);
        EXPECT_EQ(Live(dialog).intensity, last);
        Close(dialog);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(SettingsList, ASliderMoveClearsTheChoiceAndInitialSettingsRestoresTheOpeningValues)
{
    WriteBytes(folder_ / "b.cvp", SetBytes(80, 300));
    FilterParameters opened = kFactoryParameters;
    opened.intensity = 33;
    opened.angle = -455;
    opened.outputSpikesOnly = 1;
    Remember(opened);

    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        ChooseWithArrows(dialog, 2);
        EXPECT_EQ(Live(dialog).intensity, 80);
        EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), "30.0");

        dialog.Press(VK_TAB); // out of the list, where letters pick items
        dialog.Press('I');
        dialog.Type("81");
        EXPECT_EQ(Selected(dialog), -1);
        EXPECT_EQ(dialog.Text(IDC_SETTINGS_LIST), "");
        dialog.Press('L');
        dialog.Press('I');
        dialog.Type("80");
        EXPECT_EQ(Selected(dialog), 2);
        EXPECT_EQ(dialog.Text(IDC_SETTINGS_LIST), "b");

        dialog.Press('O');
        EXPECT_EQ(Live(dialog).outputSpikesOnly, 1);
        ChooseWithArrows(dialog, 1);
        const FilterParameters restored = Live(dialog);
        EXPECT_EQ(restored.intensity, 33);
        EXPECT_EQ(restored.angle, -455);
        EXPECT_EQ(restored.outputSpikesOnly, 0) << "the dialog opened with Output Spikes Only off";
        EXPECT_FALSE(dialog.Checked(IDC_OUTPUT_SPIKES_ONLY));
        Close(dialog);
    });
    EXPECT_EQ(result, userCanceledErr);
}

// Files elsewhere are the user's own: they are used or written, never listed, converted on disk or deleted.
TEST_F(SettingsList, SetsOutsideTheFolderAreUsedButNeitherListedNorChanged)
{
    const fs::path old = outside_ / "old.cvp", saved = outside_ / "saved.cvp";
    WriteBytes(old, SetBytes(61, 45, 3));

    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        UseFile(dialog, 0, old.string());
        EXPECT_EQ(AnswerMessageBox(kConversionCaption, IDOK),
                  "Your Parameter Set file '" + old.string() +
                      "' was saved in an older format and has been converted.\r\n\r\nThe original file is left "
                      "unchanged.");
        EXPECT_EQ(Live(dialog).intensity, 61);
        EXPECT_EQ(Live(dialog).angle, 450);
        EXPECT_EQ(Items(dialog).size(), 2u);
        EXPECT_EQ(Selected(dialog), -1);
        EXPECT_EQ(ReadBytes(old), SetBytes(61, 45, 3));

        UseFile(dialog, 1, saved.string());
        ExpectWholeCurrentBlock(saved, 61);
        EXPECT_EQ(Items(dialog).size(), 2u);
        EXPECT_TRUE(fs::is_empty(folder_));
        Close(dialog);
    });
    EXPECT_EQ(result, userCanceledErr);
}

// Two files listed under one name: Delete removes exactly the file of the chosen item, after asking.
TEST_F(SettingsList, DeleteAsksAndRemovesOnlyTheChosenSetsFile)
{
    WriteBytes(folder_ / "Orion.cvp", SetBytes(10));
    WriteBytes(folder_ / "Orion.wide.cvp", SetBytes(90));

    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        const std::vector<std::string> items = Items(dialog);
        EXPECT_EQ(items, (std::vector<std::string>{"Factory Settings", "Initial Settings", "Orion", "Orion"}));
        ChooseWithArrows(dialog, 2);
        const int wide = Live(dialog).intensity == 90 ? 2 : 3;
        ChooseWithArrows(dialog, wide);
        ASSERT_EQ(Live(dialog).intensity, 90);

        for (int answer : {IDCANCEL, IDOK}) {
            EXPECT_EQ(OpenSettingsMenu(dialog), kNoneGrayed);
            ChooseMenuItem(dialog, 2);
            EXPECT_EQ(AnswerMessageBox(kDeleteCaption, answer),
                      "The Corvane Pro saved parameter file 'Orion.wide.cvp' will be deleted.");
            dialog.Settle();
            if (answer == IDCANCEL) {
                EXPECT_EQ(Items(dialog), items);
                EXPECT_EQ(Selected(dialog), wide);
                EXPECT_TRUE(fs::exists(folder_ / "Orion.wide.cvp"));
            }
        }
        EXPECT_FALSE(fs::exists(folder_ / "Orion.wide.cvp"));
        EXPECT_TRUE(fs::exists(folder_ / "Orion.cvp"));
        EXPECT_EQ(Items(dialog), (std::vector<std::string>{"Factory Settings", "Initial Settings", "Orion"}));
        EXPECT_EQ(Selected(dialog), -1);
        EXPECT_EQ(Live(dialog).intensity, 90);
        EXPECT_EQ(OpenSettingsMenu(dialog), kDeleteGrayed);
        dialog.Press(VK_ESCAPE);
        Close(dialog);
    });
    EXPECT_EQ(result, userCanceledErr);
}

} // namespace
