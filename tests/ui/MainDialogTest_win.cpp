// The main dialog of the built module, driven through an interactive run of the host harness: keys and
// clicks as a person gives them, and the parameters, texts and focus that result.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "engine/FilterParameters.h"
#include "host/LastParameters.h"
#include "presets/ParameterBlock.h"
#include "preview/DialogMessages.h"
#include "resources/ResourceIds.h"
#include "tools/harness/Harness.h"

namespace {

// Two stars on a dark 8-bit field: enough for a run to change the image.
HostDocument SmallField()
{
    HostDocument document(48, 32, plugInModeRGBColor);
    document.Fill(
        [](int32_t, int32_t x, int32_t y) { return (x == 12 && y == 10) || (x == 34 && y == 20) ? 255.0 : 6.0; });
    return document;
}

std::vector<uint8_t> BlockOf(const FilterParameters& parameters)
{
    std::vector<uint8_t> block(kParameterBlockSize, 0);
    std::memcpy(block.data(), &parameters, sizeof parameters);
    return block;
}

class MainDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadModule(DefaultModulePath(), &module_)) << module_.error;
        HostOptions options;
        options.dialogAnswer = DialogAnswer::None; // the tests drive the dialog themselves
        host_ = std::make_unique<Host>(module_.entry, options);
        ASSERT_TRUE(host_->SetDocument(SmallField()));
    }
    void TearDown() override
    {
        host_.reset();
        UnloadModule(&module_);
    }

    // The last parameters, as the host keeps them for the module between runs.
    void Remember(const FilterParameters& parameters)
    {
        const std::vector<uint8_t> block = BlockOf(parameters);
        host_->RegisterData(kRegistryKey, kParameterBlockKey, block.data(), int32_t(block.size()), true);
    }
    FilterParameters Remembered() const
    {
        std::vector<uint8_t> block;
        FilterParameters parameters{};
        if (host_->GetRegisteredData(kRegistryKey, kParameterBlockKey, &block) && block.size() >= sizeof parameters)
            std::memcpy(&parameters, block.data(), sizeof parameters);
        return parameters;
    }
    // The record the dialog edits. While the dialog runs, read it only when its thread is idle.
    FilterParameters& Record() const { return *reinterpret_cast<FilterParameters*>(*host_->Record()->parameters); }
    FilterParameters Live(DialogDriver& dialog) const
    {
        dialog.Settle();
        return Record();
    }

    LoadedModule module_;
    std::unique_ptr<Host> host_;
};

FilterParameters With(void (*change)(FilterParameters&))
{
    FilterParameters parameters = kFactoryParameters;
    change(parameters);
    return parameters;
}

size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize; // Wine reports no private usage
}

TEST_F(MainDialog, OpensQuicklyWithOutputSpikesOnlyOffAndTheFocusInIntensity)
{
    Remember(With([](FilterParameters& p) {
        p.outputSpikesOnly = 1;
        p.angle = -455;
        p.length = 77;
    }));
    const size_t before = WorkingSet();
    size_t open = 0;
    const auto started = std::chrono::steady_clock::now();
    double secondsToIdle = 0;
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        secondsToIdle = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        open = WorkingSet();
        EXPECT_EQ(dialog.Focus(), dialog.Item(IDC_INTENSITY_BOX));
        EXPECT_FALSE(dialog.Checked(IDC_OUTPUT_SPIKES_ONLY)) << "every dialog starts with the effect over the image";
        EXPECT_EQ(Live(dialog).outputSpikesOnly, 0);
        EXPECT_TRUE(dialog.Checked(IDC_PREVIEW_CHECK));
        EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), "-45.5");
        EXPECT_EQ(dialog.TrackbarPosition(IDC_ANGLE_TRACKBAR), -455);
        EXPECT_EQ(dialog.Text(IDC_LENGTH_BOX), "77");
        EXPECT_EQ(dialog.Text(IDC_HELP_AND_SUPPORT), "Help and Support");
        EXPECT_TRUE(GetWindowLongA(dialog.Item(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
        EXPECT_TRUE(dialog.SaveScreenshot(ScreenshotPath("main-dialog.png")));
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
    std::printf("[ dialog   ] shown and idle %.0f ms after the run started; working set %+.1f MB while open\n",
                secondsToIdle * 1000, (double(open) - double(before)) / (1024.0 * 1024.0));
    EXPECT_LT(secondsToIdle, 5.0);
}

TEST_F(MainDialog, TypedValuesMoveTheSliderAtOnceAndShowClampedOnlyWhenTheFocusLeaves)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        // The box takes four characters: "45.55" arrives as 45.5, in tenths 455.
        dialog.Press('A');
        dialog.Type("45.55");
        EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), "45.5");
        EXPECT_EQ(dialog.TrackbarPosition(IDC_ANGLE_TRACKBAR), 455);
        EXPECT_EQ(Live(dialog).angle, 455);

        // A lone sign or point reads as 0.
        for (const char* alone : {"-", "."}) {
            dialog.Press('L');
            dialog.Press('A'); // the box selects its text as it takes the focus
            dialog.Type(alone);
            EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), alone);
            EXPECT_EQ(Live(dialog).angle, 0) << alone;
        }

        // Out of range: clamped at once, but the text stays as typed until the focus leaves.
        dialog.Press('I');
        dialog.Type("2000");
        EXPECT_EQ(dialog.Text(IDC_INTENSITY_BOX), "2000");
        EXPECT_EQ(Live(dialog).intensity, 100);
        EXPECT_EQ(dialog.TrackbarPosition(IDC_INTENSITY_TRACKBAR), 100);
        dialog.Press('L');
        EXPECT_EQ(dialog.Text(IDC_INTENSITY_BOX), "100");

        // What cannot be part of a number is refused as it is typed; pasted text counts up to the first
        // character that cannot.
        dialog.Type("7,#");
        EXPECT_EQ(dialog.Text(IDC_LENGTH_BOX), "7");
        EXPECT_EQ(Live(dialog).length, 7);
        SendMessageA(dialog.Item(IDC_LENGTH_BOX), EM_SETSEL, 0, -1);
        SendMessageA(dialog.Item(IDC_LENGTH_BOX), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("12ab"));
        EXPECT_EQ(Live(dialog).length, 12);
        dialog.Press('N');
        EXPECT_EQ(dialog.Text(IDC_LENGTH_BOX), "12");
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(MainDialog, ArrowAndPageKeysStepByTheRowsSteps)
{
    Remember(With([](FilterParameters& p) { p.numberOfPoints = 31; }));
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        dialog.Press('A');
        dialog.Press(VK_PRIOR); // ten degrees
        EXPECT_EQ(Live(dialog).angle, 100);
        dialog.Press(VK_UP, true); // one degree
        EXPECT_EQ(Live(dialog).angle, 110);
        dialog.Press(VK_UP); // a tenth
        EXPECT_EQ(Live(dialog).angle, 111);
        EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), "11.1");
        EXPECT_EQ(dialog.TrackbarPosition(IDC_ANGLE_TRACKBAR), 111);
        dialog.Press(VK_NEXT);
        dialog.Press(VK_NEXT);
        EXPECT_EQ(Live(dialog).angle, -89);
        EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), "-8.9");

        // Number of Points: Ctrl steps by two and stops at the top.
        dialog.Press('N');
        dialog.Press(VK_UP, true);
        EXPECT_EQ(Live(dialog).numberOfPoints, 32);
        dialog.Press(VK_UP, true);
        EXPECT_EQ(Live(dialog).numberOfPoints, 32);
        EXPECT_EQ(dialog.Text(IDC_POINTS_BOX), "32");
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(MainDialog, LettersActInEveryControlButTheSettingsList)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        const std::vector<std::pair<char, int>> rows = {
            {'L', IDC_LENGTH_BOX},
            {'A', IDC_ANGLE_BOX},
            {'N', IDC_POINTS_BOX},
            {'S', IDC_SHARPNESS_BOX},
            {'C', IDC_SATURATION_BOX},
            {'R', IDC_RAINBOW_INTENSITY_BOX},
            {'F', IDC_RAINBOW_FREQUENCY_BOX},
            {'E', IDC_SECONDARY_BOX},
            {'B', IDC_FLARE_BOX},
            {'I', IDC_INTENSITY_BOX},
        };
        for (const auto& [key, box] : rows) {
            const std::string before = dialog.Text(box);
            dialog.Press(WORD(key));
            EXPECT_EQ(dialog.Focus(), dialog.Item(box)) << key;
            EXPECT_EQ(dialog.Text(box), before) << "the letter " << key << " reached the box";
        }

        dialog.Press('O');
        EXPECT_TRUE(dialog.Checked(IDC_OUTPUT_SPIKES_ONLY));
        EXPECT_EQ(Live(dialog).outputSpikesOnly, 1);
        EXPECT_EQ(dialog.Focus(), dialog.Item(IDC_OUTPUT_SPIKES_ONLY));
        dialog.Press('O');
        EXPECT_FALSE(dialog.Checked(IDC_OUTPUT_SPIKES_ONLY));
        EXPECT_EQ(Live(dialog).outputSpikesOnly, 0);
        dialog.Press('P');
        EXPECT_FALSE(dialog.Checked(IDC_PREVIEW_CHECK));

        // In the Settings list letters pick items; they are no keys of the dialog there.
        dialog.Press('T');
        EXPECT_EQ(dialog.Focus(), dialog.Item(IDC_SETTINGS_LIST));
        EXPECT_TRUE(SendMessageA(dialog.Item(IDC_SETTINGS_LIST), CB_GETDROPPEDSTATE, 0, 0));
        dialog.Press(VK_ESCAPE); // closes the list, not the dialog
        dialog.Settle();
        EXPECT_FALSE(SendMessageA(dialog.Item(IDC_SETTINGS_LIST), CB_GETDROPPEDSTATE, 0, 0));
        dialog.Press('L');
        EXPECT_EQ(dialog.Focus(), dialog.Item(IDC_SETTINGS_LIST));
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(MainDialog, CancelLeavesImageAndParametersAloneAndOkAppliesWhatTheDialogShows)
{
    const FilterParameters last = With([](FilterParameters& p) {
        p.length = 77;
        p.outputSpikesOnly = 1;
    });
    Remember(last);
    const HostDocument before = host_->Document();
    OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        dialog.Press('L');
        dialog.Type("12");
        EXPECT_EQ(Live(dialog).length, 12);
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
    EXPECT_EQ(CompareDocuments(before, host_->Document()).count, 0);
    const FilterParameters remembered = Remembered();
    EXPECT_EQ(std::memcmp(&remembered, &last, sizeof last), 0) << "the last parameters changed";
    EXPECT_EQ(Record().length, 77) << "the record is as the dialog found it";
    EXPECT_EQ(Record().outputSpikesOnly, 1);

    // Focus on Cancel, then elsewhere: Enter still means OK.
    result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        PostMessageA(dialog.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.Item(IDCANCEL)), TRUE);
        EXPECT_EQ(dialog.Focus(), dialog.Item(IDCANCEL));
        dialog.Press('L');
        dialog.Type("12");
        dialog.Settle();
        EXPECT_TRUE(GetWindowLongA(dialog.Item(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
        EXPECT_FALSE(GetWindowLongA(dialog.Item(IDCANCEL), GWL_STYLE) & BS_DEFPUSHBUTTON);
        dialog.Press(VK_RETURN);
    });
    EXPECT_EQ(result, noErr);
    EXPECT_GT(CompareDocuments(before, host_->Document()).count, 0) << "OK applies the effect";
    const FilterParameters applied = Remembered();
    EXPECT_EQ(applied.length, 12);
    EXPECT_EQ(applied.outputSpikesOnly, 0);
    EXPECT_EQ(applied.intensity, last.intensity);
}

TEST_F(MainDialog, AClickBesideTheThumbJumpsToThePositionUnderIt)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        HWND trackbar = dialog.Item(IDC_INTENSITY_TRACKBAR);
        RECT channel{}, thumb{};
        SendMessageA(trackbar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        SendMessageA(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        const int thumbWidth = thumb.right - thumb.left;
        const int span = channel.right - channel.left - thumbWidth;
        ASSERT_GT(span, 0);
        // A fifth of the way along: far from the thumb at 50, and no page (10) away from it.
        const int x = channel.left + thumbWidth / 2 + span / 5;
        const int expected = (span / 2 + (x - thumbWidth / 2 - channel.left) * 100) / span;
        dialog.ClickAt(trackbar, POINT{x, (thumb.top + thumb.bottom) / 2});
        EXPECT_EQ(dialog.TrackbarPosition(IDC_INTENSITY_TRACKBAR), expected);
        EXPECT_EQ(Live(dialog).intensity, expected);
        EXPECT_NEAR(expected, 20, 1);
        EXPECT_EQ(dialog.Text(IDC_INTENSITY_BOX), std::to_string(expected));
        EXPECT_EQ(dialog.Focus(), dialog.Item(IDC_INTENSITY_BOX)) << "after the click the box takes the keys";

        // Dragging the thumb to the channel's end: the value follows the thumb, and the box takes the keys.
        HWND length = dialog.Item(IDC_LENGTH_TRACKBAR);
        SendMessageA(length, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        SendMessageA(length, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        const int middle = (thumb.top + thumb.bottom) / 2;
        dialog.Drag(length, POINT{(thumb.left + thumb.right) / 2, middle}, POINT{channel.right + 20, middle});
        EXPECT_EQ(Live(dialog).length, 100);
        EXPECT_EQ(dialog.Text(IDC_LENGTH_BOX), "100");
        EXPECT_EQ(dialog.Focus(), dialog.Item(IDC_LENGTH_BOX));

        // Left of the channel's start: the lowest angle.
        HWND angle = dialog.Item(IDC_ANGLE_TRACKBAR);
        SendMessageA(angle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        dialog.ClickAt(angle, POINT{channel.left, (channel.top + channel.bottom) / 2});
        EXPECT_EQ(Live(dialog).angle, -900);
        EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), "-90.0");
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

TEST_F(MainDialog, ALoadedRecordIsShownClampedInEveryRow)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        dialog.Settle();
        Record().intensity = 250;
        Record().angle = -455;
        Record().saturation = -300;
        Record().outputSpikesOnly = 1;
        PostMessageA(dialog.Dialog(), WM_PARAMETERSLOADED, 0, 0);
        EXPECT_EQ(dialog.Text(IDC_INTENSITY_BOX), "100");
        EXPECT_EQ(dialog.TrackbarPosition(IDC_INTENSITY_TRACKBAR), 100);
        EXPECT_EQ(Live(dialog).intensity, 100);
        EXPECT_EQ(dialog.Text(IDC_ANGLE_BOX), "-45.5");
        EXPECT_EQ(Live(dialog).saturation, -100);
        EXPECT_EQ(dialog.Text(IDC_SATURATION_BOX), "-100");
        EXPECT_TRUE(dialog.Checked(IDC_OUTPUT_SPIKES_ONLY));
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

HWND TooltipOf(HWND dialog)
{
    struct Search
    {
        HWND owner;
        HWND found;
    } search{dialog, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) {
            Search& s = *reinterpret_cast<Search*>(context);
            char className[32] = {};
            GetClassNameA(window, className, sizeof className);
            if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == s.owner &&
                SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0) > 0) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Control id -> tooltip text, as the tooltip control holds them. Read through the wide messages: the
// narrow ones hand out at most 80 characters.
std::map<int, std::string> RegisteredTooltips(HWND tooltip)
{
    std::map<int, std::string> tips;
    const int count = int(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)))
            continue;
        wchar_t text[1024] = {};
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
        char narrow[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        tips[GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))] = narrow;
    }
    return tips;
}

TEST_F(MainDialog, EveryControlHasItsTooltipAndHelpOpensTheAboutBox)
{
    const OSErr result = RunWithDialog(host_.get(), [&](DialogDriver& dialog) {
        HWND tooltip = TooltipOf(dialog.Dialog());
        ASSERT_NE(tooltip, nullptr);
        EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), LRESULT(3 * GetDoubleClickTime()));
        EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 30000);
        const std::map<int, std::string> tips = RegisteredTooltips(tooltip);
        const std::vector<int> controls = {
            IDOK,
            IDCANCEL,
            IDC_PREVIEW_CHECK,
            IDC_HELP_AND_SUPPORT,
            IDC_PRODUCT_MARK,
            IDC_PRODUCT_LOGO,
            IDC_OUTPUT_SPIKES_ONLY,
            IDC_SETTINGS_LIST,
            IDC_SETTINGS_MENU,
            IDC_HAND_TOOL,
            IDC_ZOOM_TOOL,
            IDC_DELETE_TOOL,
            IDC_ZOOM_IN,
            IDC_ZOOM_OUT,
            IDC_ZOOM_READOUT,
            IDC_ZOOM_ARROW,
            IDC_INTENSITY_BOX,
            IDC_INTENSITY_TRACKBAR,
            IDC_LENGTH_BOX,
            IDC_LENGTH_TRACKBAR,
            IDC_ANGLE_BOX,
            IDC_ANGLE_TRACKBAR,
            IDC_POINTS_BOX,
            IDC_POINTS_TRACKBAR,
            IDC_SHARPNESS_BOX,
            IDC_SHARPNESS_TRACKBAR,
            IDC_SATURATION_BOX,
            IDC_SATURATION_TRACKBAR,
            IDC_RAINBOW_INTENSITY_BOX,
            IDC_RAINBOW_INTENSITY_TRACKBAR,
            IDC_RAINBOW_FREQUENCY_BOX,
            IDC_RAINBOW_FREQUENCY_TRACKBAR,
            IDC_SECONDARY_BOX,
            IDC_SECONDARY_TRACKBAR,
            IDC_FLARE_BOX,
            IDC_FLARE_TRACKBAR,
        };
        EXPECT_EQ(tips.size(), controls.size());
        for (int id : controls)
            EXPECT_FALSE(tips.count(id) == 0 || tips.at(id).empty()) << "no tooltip for control " << id;
        const std::map<int, std::string> samples = {
            {IDCANCEL, "Cancel (Esc) - Close the dialog without making any changes"},
            {IDC_ANGLE_BOX, "Angle (A) - Set the rotation angle of the spikes"},
            {IDC_ANGLE_TRACKBAR, "Angle (A) - Move right to rotate the spikes clockwise"},
            {IDC_SHARPNESS_BOX, "Spike Sharpness (S) - Set the fuzziness or sharpness of the spikes"},
            {IDC_SECONDARY_TRACKBAR, "Secondary Spike Intensity (S) - Move right to increase the brightness of "
                                     "secondary 'mini-spikes' coming out of the stars"},
            {IDC_SETTINGS_LIST, "Settings (T) - Select a set of saved parameters"},
            {IDC_ZOOM_IN, "Zoom In One Step (CNTL +)"},
        };
        for (const auto& [id, text] : samples)
            EXPECT_EQ(tips.count(id) ? tips.at(id) : "", text) << "control " << id;

        // "Help and Support" and F1 both open the About box over the dialog.
        for (int way = 0; way < 2; ++way) {
            if (way == 0)
                PostMessageA(dialog.Item(IDC_HELP_AND_SUPPORT), BM_CLICK, 0, 0);
            else
                dialog.Press(VK_F1);
            HWND about = WaitForDialog("About Corvane Pro", 5000);
            ASSERT_NE(about, nullptr) << (way == 0 ? "Help and Support" : "F1");
            char version[64] = {};
            GetDlgItemTextA(about, IDC_ABOUT_VERSION, version, sizeof version);
            EXPECT_STREQ(version,
                         ("Version " + std::to_string(CORVANE_VERSION_MAJOR) + "." +
                          std::to_string(CORVANE_VERSION_MINOR) + "." + std::to_string(CORVANE_VERSION_REVISION) + "." +
                          std::to_string(CORVANE_VERSION_BUILD))
                             .c_str());
            char folders[4096] = {};
            GetDlgItemTextA(about, IDC_ABOUT_FOLDERS, folders, sizeof folders);
            EXPECT_NE(std::string(folders).find("Quillmark\\Corvane\\Settings"), std::string::npos) << folders;
            EXPECT_NE(std::string(folders).find("Quillmark\\Corvane\\Logs"), std::string::npos) << folders;
            if (way == 0) {
                RECT bounds;
                GetWindowRect(about, &bounds);
                DialogDriver aboutDriver(GetWindowThreadProcessId(about, nullptr), about);
                aboutDriver.SaveScreenshot(ScreenshotPath("about-box.png"));
            }
            dialog.Press(VK_ESCAPE);
            dialog.Settle();
            EXPECT_FALSE(IsWindow(about));
            EXPECT_TRUE(IsWindow(dialog.Dialog())) << "Esc closed the About box only";
        }
        dialog.Press(VK_ESCAPE);
    });
    EXPECT_EQ(result, userCanceledErr);
}

} // namespace
