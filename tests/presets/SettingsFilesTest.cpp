#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/TestDataRoots.h"
#include "host/PluginGlobals.h"
#include "presets/ParameterBlock.h"
#include "presets/RecordVersion.h"
#include "presets/SettingsFiles.h"
#include "presets/UserFolders.h"

namespace fs = std::filesystem;

namespace {

std::string LastLine()
{
    std::vector<std::string> lines = ReportLines(ReadLogText(DebugLogPath()));
    return lines.empty() ? std::string() : lines.back();
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
}

} // namespace

TEST(SettingsFiles, MissingSettingsFileIsNoFailureAndLogsNothing)
{
    TestDataRoots roots;
    roots.StartModule();
    uint8_t buffer[52];
    std::memset(buffer, 0xAA, sizeof buffer);
    EXPECT_FALSE(ReadSettingsFile("UISettings.bin", buffer, sizeof buffer));
    EXPECT_TRUE(ReportLines(ReadLogText(DebugLogPath())).empty());
    EXPECT_EQ(buffer[0], 0xAA);
}

TEST(SettingsFiles, WritingReplacesTheWholeFileAndReadsBackExactly)
{
    TestDataRoots roots;
    roots.StartModule();
    WriteBytes(roots.settings() / "UISettings.bin", Pattern(400, 9)); // a longer old file

    std::vector<uint8_t> record = Pattern(52, 1);
    WriteSettingsFile("UISettings.bin", record.data(), 52);
    EXPECT_EQ(ReadBytes(roots.settings() / "UISettings.bin"), record);

    std::vector<uint8_t> read(52, 0);
    EXPECT_TRUE(ReadSettingsFile("UISettings.bin", read.data(), 52));
    EXPECT_EQ(read, record);
    // A file longer than the record is read as far as the record goes.
    std::vector<uint8_t> head(20, 0);
    EXPECT_TRUE(ReadSettingsFile("UISettings.bin", head.data(), 20));
    EXPECT_EQ(head, std::vector<uint8_t>(record.begin(), record.begin() + 20));

    EXPECT_EQ(std::distance(fs::directory_iterator(roots.settings()), fs::directory_iterator()), 1); // no leftovers
    EXPECT_TRUE(ReportLines(ReadLogText(DebugLogPath())).empty());
}

// Bytes past the end of a short file must never reach a record.
TEST(SettingsFiles, ShortFilesAreFailedReadsThatLeaveTheBufferUntouched)
{
    TestDataRoots roots;
    roots.StartModule();
    fs::path parameterFile = roots.parameters() / "short.cvp";
    WriteBytes(parameterFile, Pattern(10, 3));
    WriteBytes(roots.settings() / "UISettings.bin", Pattern(51, 3));
    WriteBytes(roots.settings() / "Empty.bin", {});

    std::vector<uint8_t> buffer(kParameterBlockSize, 0xAA);
    EXPECT_FALSE(ReadParameterFile(parameterFile.string().c_str(), buffer.data()));
    EXPECT_EQ(buffer, std::vector<uint8_t>(kParameterBlockSize, 0xAA));
    EXPECT_NE(LastLine().find("'fread() failed with errno = '"), std::string::npos) << LastLine();

    EXPECT_FALSE(ReadSettingsFile("UISettings.bin", buffer.data(), 52));
    EXPECT_FALSE(ReadSettingsFile("Empty.bin", buffer.data(), 52));
    EXPECT_EQ(buffer, std::vector<uint8_t>(kParameterBlockSize, 0xAA));
    EXPECT_NE(LastLine().find("fread() failed to read settings file '"), std::string::npos) << LastLine();
}

TEST(SettingsFiles, ParameterFilesAreAlways255BytesStartingWithTheVersion)
{
    TestDataRoots roots;
    roots.StartModule();
    FilterParameters current = kFactoryParameters;
    current.angle = -450;
    gPlugin.parameters = &current;
    void* block = ParameterBlockProc(kBlockCurrent, nullptr, gPlugin.parameters);
    ASSERT_NE(block, nullptr);

    fs::path path = roots.parameters() / "set.cvp";
    WriteBytes(path, Pattern(1000, 5)); // overwriting a longer file must not leave its tail
    ASSERT_TRUE(WriteParameterFile(path.string().c_str(), block));
    std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), kParameterBlockSize);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 4, 0}));
    EXPECT_EQ(bytes[12], 0x3E); // -450, little-endian
    EXPECT_EQ(bytes[13], 0xFE);

    std::vector<uint8_t> read(kParameterBlockSize, 0);
    EXPECT_TRUE(ReadParameterFile(path.string().c_str(), read.data()));
    EXPECT_EQ(std::memcmp(read.data(), block, kParameterBlockSize), 0);
    FreeParameterBlock(block);
    gPlugin.parameters = nullptr;
}

// The new contents are staged beside the target: when that fails the old file stays as it was.
TEST(SettingsFiles, FailedWriteLeavesTheOldFileIntactAndIsReported)
{
    TestDataRoots roots;
    roots.StartModule();
    fs::path path = roots.parameters() / "kept.cvp";
    std::vector<uint8_t> old = Pattern(kParameterBlockSize, 2);
    WriteBytes(path, old);
    fs::create_directory(roots.parameters() / "kept.cvp.tmp"); // nothing can be staged there

    std::vector<uint8_t> replacement(kParameterBlockSize, 0x11);
    EXPECT_FALSE(WriteParameterFile(path.string().c_str(), replacement.data()));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_NE(LastLine().find("_tfopen() failed with FilePath = '" + path.string() + "'  and  errno = '"),
              std::string::npos)
        << LastLine();

    fs::create_directory(roots.settings() / "UISettings.bin.tmp");
    WriteBytes(roots.settings() / "UISettings.bin", old);
    WriteSettingsFile("UISettings.bin", replacement.data(), 52);
    EXPECT_EQ(ReadBytes(roots.settings() / "UISettings.bin"), old);
}

// A file name from outside is a path and nothing else: format directives in it are logged as they are.
TEST(SettingsFiles, PercentSignsInPathsAreNeverFormats)
{
    TestDataRoots roots;
    roots.StartModule();
    fs::path path = roots.local() / "missing %n%s%x" / "set %n.cvp";
    std::vector<uint8_t> block(kParameterBlockSize, 0);
    EXPECT_FALSE(WriteParameterFile(path.string().c_str(), block.data()));
    EXPECT_NE(LastLine().find("FilePath = '" + path.string() + "'"), std::string::npos) << LastLine();
}
