// UISettings.bin as the module reads and writes it, in a private data root: only a whole record of the
// current version reaches the settings in memory, and what is written back is that record byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "common/TestDataRoots.h"
#include "ui/PreviewTools.h"
#include "ui/UISettings.h"

namespace {

std::vector<uint8_t> Bytes(const UISettings& settings)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&settings);
    return std::vector<uint8_t>(bytes, bytes + sizeof settings);
}

bool Has(const std::vector<std::string>& lines, const std::string& text)
{
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

TEST(UISettingsFile, OnlyAWholeRecordOfItsVersionIsTakenAndItIsWrittenBackWhole)
{
    TestDataRoots roots;
    roots.StartModule();
    ResetUISettings();
    const std::filesystem::path file = roots.settings() / kUISettingsFileName;
    UISettings saved{kUISettingsVersion, {10, 20, 900, 700}, kHandTool, 0, {-5, 6, 70, 80}, 3};
    UISettings older = saved;
    older.version.build = 8;
    older.tool = kDeleteTool;
    const std::vector<uint8_t> whole = Bytes(saved);

    EXPECT_FALSE(LoadUISettings()) << "no file yet";
    WriteBytes(file, std::vector<uint8_t>(whole.begin(), whole.end() - 1));
    EXPECT_FALSE(LoadUISettings());
    WriteBytes(file, Bytes(older));
    EXPECT_FALSE(LoadUISettings());
    EXPECT_EQ(GetSavedTool(), kZoomTool);
    const RECT none = GetSavedDialogRect();
    EXPECT_TRUE(IsRectEmpty(&none));
    const std::vector<std::string> lines = ReportLines(ReadLogText(DebugLogPath()));
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_TRUE(Has(lines, "fread() failed to read settings file")) << lines.size();
    EXPECT_TRUE(Has(lines, "User Setting File version mismatch. File Version = '0','0','0','8'")) << lines.size();

    WriteBytes(file, whole);
    EXPECT_TRUE(LoadUISettings());
    EXPECT_EQ(GetSavedTool(), kHandTool);
    EXPECT_EQ(GetPreviewSetting(), 0u);
    EXPECT_EQ(GetSavedDialogRect().right, 900);
    // A bad file later keeps what was taken.
    WriteBytes(file, Bytes(older));
    EXPECT_TRUE(LoadUISettings());
    EXPECT_EQ(GetSavedTool(), kHandTool);

    // Only what the dialog changed differs in the file; the debug display's fields travel unchanged.
    SetSavedTool(kZoomTool);
    SetSavedDialogRect(RECT{1, 2, 3, 4});
    SaveUISettings();
    saved.tool = kZoomTool;
    saved.dialogRect = StoredRect{1, 2, 3, 4};
    EXPECT_EQ(ReadBytes(file), Bytes(saved));
    ResetUISettings();
}

} // namespace
