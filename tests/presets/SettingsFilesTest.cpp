#include "presets/SettingsFiles.h"
#include "common/TestDataRoots.h"
#include "presets/ParameterBlock.h"

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
        bytes[i] = uint8_t(seed + i * 7);
    return bytes;
}

class SettingsFiles : public ::testing::Test
{
protected:
    void SetUp() override { roots.StartModule(); }
    TestDataRoots roots;
};

} // namespace

// Writing replaces a longer old file whole, with nothing left beside it; a file longer than the record
// is read as far as the record goes. Parameter files always hold the whole block.
TEST_F(SettingsFiles, WritesReplaceTheWholeFileAndReadBackExactly)
{
    WriteBytes(roots.settings() / "UISettings.bin", Pattern(400, 9));
    const std::vector<uint8_t> record = Pattern(52, 1);
    WriteSettingsFile("UISettings.bin", record.data(), 52);
    EXPECT_EQ(ReadBytes(roots.settings() / "UISettings.bin"), record);
    std::vector<uint8_t> read(52, 0), head(20, 0);
    EXPECT_TRUE(ReadSettingsFile("UISettings.bin", read.data(), 52));
    EXPECT_EQ(read, record);
    EXPECT_TRUE(ReadSettingsFile("UISettings.bin", head.data(), 20));
    EXPECT_EQ(head, std::vector<uint8_t>(record.begin(), record.begin() + 20));
    EXPECT_EQ(std::distance(fs::directory_iterator(roots.settings()), fs::directory_iterator()), 1);

    const std::vector<uint8_t> block = Pattern(kParameterBlockSize, 6);
    const fs::path path = roots.parameters() / "set.cvp";
    WriteBytes(path, Pattern(1000, 5));
    ASSERT_TRUE(WriteParameterFile(path.string().c_str(), block.data()));
    EXPECT_EQ(ReadBytes(path), block);
    std::vector<uint8_t> back(kParameterBlockSize, 0);
    EXPECT_TRUE(ReadParameterFile(path.string().c_str(), back.data()));
    EXPECT_EQ(back, block);
    EXPECT_TRUE(ReportLines(ReadLogText(DebugLogPath())).empty());
}

// Bytes past the end of a short file must never reach a record; a missing settings file is no failure
// worth logging.
TEST_F(SettingsFiles, MissingAndShortFilesAreFailedReadsThatLeaveTheBufferUntouched)
{
    std::vector<uint8_t> buffer(kParameterBlockSize, 0xAA);
    EXPECT_FALSE(ReadSettingsFile("UISettings.bin", buffer.data(), 52));
    EXPECT_TRUE(ReportLines(ReadLogText(DebugLogPath())).empty());

    const fs::path parameterFile = roots.parameters() / "short.cvp";
    WriteBytes(parameterFile, Pattern(10, 3));
    WriteBytes(roots.settings() / "UISettings.bin", Pattern(51, 3));
    WriteBytes(roots.settings() / "Empty.bin", {});
    EXPECT_FALSE(ReadParameterFile(parameterFile.string().c_str(), buffer.data()));
    EXPECT_NE(LastLine().find("'fread() failed with errno = '"), std::string::npos) << LastLine();
    EXPECT_FALSE(ReadSettingsFile("UISettings.bin", buffer.data(), 52));
    EXPECT_FALSE(ReadSettingsFile("Empty.bin", buffer.data(), 52));
    EXPECT_NE(LastLine().find("fread() failed to read settings file '"), std::string::npos) << LastLine();
    EXPECT_EQ(buffer, std::vector<uint8_t>(kParameterBlockSize, 0xAA));
}

// The new contents are staged beside the target under a name of their own: when they cannot take its
// place the target stays as it was and nothing staged is left. A file name from outside is a path and
// nothing else: format directives in it are logged as they are.
TEST_F(SettingsFiles, FailedWritesLeaveTheOldFileAndAreReportedAsTheyAre)
{
    const fs::path path = roots.parameters() / "kept.cvp";
    const std::vector<uint8_t> old = Pattern(kParameterBlockSize, 2), replacement(kParameterBlockSize, 0x11);
    fs::create_directories(path); // a folder, which no file can replace
    WriteBytes(path / "inside.cvp", old);
    EXPECT_FALSE(WriteParameterFile(path.string().c_str(), replacement.data()));
    EXPECT_EQ(ReadBytes(path / "inside.cvp"), old);
    EXPECT_NE(LastLine().find("fwrite() failed with FilePath = '" + path.string() + "'  and  errno = '"),
              std::string::npos)
        << LastLine();
    EXPECT_EQ(std::distance(fs::directory_iterator(roots.parameters()), fs::directory_iterator()), 1);

    const fs::path odd = roots.local() / "missing %n%s%x" / "set %n.cvp";
    EXPECT_FALSE(WriteParameterFile(odd.string().c_str(), replacement.data()));
    EXPECT_NE(LastLine().find("_tfopen() failed with FilePath = '" + odd.string() + "'"), std::string::npos)
        << LastLine();
}
