#include <gtest/gtest.h>

#include <string>

#include "common/TestDataRoots.h"
#include "presets/SettingsFiles.h"
#include "presets/UserFolders.h"

namespace fs = std::filesystem;

namespace {

fs::path Folder(bool (*accessor)(char*))
{
    char path[kPathCapacity];
    EXPECT_TRUE(accessor(path));
    return fs::path(path);
}

} // namespace

TEST(UserFolders, CleanHomeGetsTheThreeUserFoldersButNoCommonFolder)
{
    TestDataRoots roots;
    ASSERT_TRUE(SetupUserFolders("Corvane", "Corvane Pro"));

    EXPECT_TRUE(fs::is_directory(roots.settings()));
    EXPECT_TRUE(fs::is_directory(roots.parameters()));
    EXPECT_TRUE(fs::is_directory(roots.logs()));
    EXPECT_EQ(Folder(GetUserSettingsFolder), roots.settings());
    EXPECT_EQ(Folder(GetUserParametersFolder), roots.parameters());
    EXPECT_EQ(Folder(GetDebugLogFolder), roots.logs());

    EXPECT_EQ(Folder(GetProductCommonFolder), roots.common() / "QuillmarkSoftware" / "Corvane Pro");
    EXPECT_TRUE(fs::is_empty(roots.common()));
}

TEST(UserFolders, SecondSetupWithFoldersPresentSucceedsSilently)
{
    TestDataRoots roots;
    roots.StartModule();
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

    // The common folder does not depend on the user folders.
    char path[kPathCapacity];
    EXPECT_TRUE(GetProductCommonFolder(path));

    ResetUserFolders();
    EXPECT_FALSE(GetUserSettingsFolder(path));
    EXPECT_FALSE(GetUserParametersFolder(path));
    EXPECT_FALSE(GetDebugLogFolder(path));
    EXPECT_FALSE(GetProductCommonFolder(path));
    uint8_t buffer[4] = {};
    EXPECT_FALSE(ReadSettingsFile("UISettings.bin", buffer, sizeof buffer));
}

// Without an override the system's own per-user data folder is the root.
TEST(UserFolders, SystemRootIsAnAbsoluteFolder)
{
    ResetUserFolders();
    char path[kPathCapacity];
    ASSERT_TRUE(GetUserDataFolder("Quillmark", path));
    fs::path folder(path);
    EXPECT_TRUE(folder.is_absolute()) << path;
    EXPECT_EQ(folder.filename(), "Quillmark");
}
