#include "common/TestDataRoots.h"
#include "presets/SettingsFiles.h"

namespace fs = std::filesystem;

namespace {

fs::path Folder(bool (*accessor)(char*))
{
    char path[kPathCapacity];
    EXPECT_TRUE(accessor(path));
    return fs::path(path);
}

} // namespace

// A clean home gets the three user folders but no common folder; a second set-up finds them and keeps
// quiet.
TEST(UserFolders, SetUpMakesTheUserFoldersOnceAndSilently)
{
    TestDataRoots roots;
    ASSERT_TRUE(SetupUserFolders("Corvane", "Corvane Pro"));
    EXPECT_EQ(Folder(GetUserSettingsFolder), roots.settings());
    EXPECT_EQ(Folder(GetUserParametersFolder), roots.parameters());
    EXPECT_EQ(Folder(GetDebugLogFolder), roots.logs());
    for (const fs::path& folder : {roots.settings(), roots.parameters(), roots.logs()})
        EXPECT_TRUE(fs::is_directory(folder)) << folder;
    EXPECT_EQ(Folder(GetProductCommonFolder), roots.common() / "QuillmarkSoftware" / "Corvane Pro");
    EXPECT_TRUE(fs::is_empty(roots.common()));

    SetDebugLogProductName("Corvane Pro");
    OpenTestDebugLog(nullptr);
    WriteBytes(roots.settings() / "kept.bin", {1, 2, 3});
    ResetUserFolders();
    OverrideApplicationDataRoots(roots.local().string().c_str(), roots.common().string().c_str());
    EXPECT_TRUE(SetupUserFolders("Corvane", "Corvane Pro"));
    EXPECT_TRUE(ReportLines(ReadLogText(DebugLogPath())).empty());
    EXPECT_EQ(ReadBytes(roots.settings() / "kept.bin"), (std::vector<uint8_t>{1, 2, 3}));
}

// A folder that was never set up must not turn into a path relative to the current or root folder.
TEST(UserFolders, FoldersThatCouldNotBeMadeAreReportedAndRefused)
{
    TestDataRoots roots;
    WriteBytes(roots.local() / "Quillmark", {'x'}); // a file where the company folder belongs
    EXPECT_FALSE(SetupUserFolders("Corvane", "Corvane Pro"));
    EXPECT_FALSE(fs::is_directory(roots.settings()));
    char path[kPathCapacity];
    EXPECT_TRUE(GetProductCommonFolder(path)); // the common folder does not depend on the user folders

    ResetUserFolders();
    for (bool (*accessor)(char*) :
         {GetUserSettingsFolder, GetUserParametersFolder, GetDebugLogFolder, GetProductCommonFolder})
        EXPECT_FALSE(accessor(path));
    uint8_t buffer[4] = {};
    EXPECT_FALSE(ReadSettingsFile("UISettings.bin", buffer, sizeof buffer));
}

// Without an override the system's own per-user data folder is the root.
TEST(UserFolders, SystemRootIsAnAbsoluteFolder)
{
    ResetUserFolders();
    char path[kPathCapacity];
    ASSERT_TRUE(GetUserDataFolder("Quillmark", path));
    EXPECT_TRUE(fs::path(path).is_absolute()) << path;
    EXPECT_EQ(fs::path(path).filename(), "Quillmark");
}
