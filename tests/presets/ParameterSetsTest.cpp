#include <cstring>
#include <map>

#include "common/TestDataRoots.h"
#include "host/PluginGlobals.h"
#include "presets/ParameterBlock.h"
#include "presets/ParameterSets.h"

namespace fs = std::filesystem;

namespace {

// A stored block of the given version with an angle and a recognisable intensity; the reserved bytes
// are filled so that a rewrite that keeps them would show.
std::vector<uint8_t> StoredBlock(uint16_t build, int16_t angle, int16_t intensity = 77)
{
    std::vector<uint8_t> bytes(kParameterBlockSize, 0xEE);
    const int16_t fields[15] = {0, 0, 0, int16_t(build), intensity, 50, angle, 4, 50, 30, 50, 50, 50, 50, 0};
    for (size_t i = 0; i < 15; ++i) {
        bytes[2 * i] = uint8_t(uint16_t(fields[i]) & 0xFF);
        bytes[2 * i + 1] = uint8_t(uint16_t(fields[i]) >> 8);
    }
    return bytes;
}

int16_t AngleOf(const void* block)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    return int16_t(bytes[12] | (bytes[13] << 8));
}

// A rewritten file holds a whole block of the current version.
void ExpectRewritten(const fs::path& path, int16_t angle)
{
    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), kParameterBlockSize);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 4, 0}));
    EXPECT_EQ(AngleOf(bytes.data()), angle);
}

std::string VersionText(uint16_t build)
{
    return "File Version: Major Version = '0', Minor Version = '0', Revision = '0', Build = '" + std::to_string(build) +
           "'";
}

class ParameterSets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        roots.StartModule();
        current = kFactoryParameters;
        current.intensity = 5;
        gPlugin.parameters = &current;
    }
    void TearDown() override { gPlugin.parameters = nullptr; }

    const std::vector<CapturedMessage>& Messages() { return TestDataRoots::Messages(); }

    TestDataRoots roots;
    FilterParameters current;
};

} // namespace

// A current file is read as stored; an older one (whole degrees) is converted once, rewritten and the
// user told once; an obsolete one is deleted with a warning that names its version.
TEST_F(ParameterSets, FilesAreReadAsStoredConvertedOnceOrDeleted)
{
    const fs::path mine = roots.parameters() / "mine.cvp", old = roots.parameters() / "old.cvp";
    WriteBytes(mine, StoredBlock(4, -300));
    void* block = ReadParameterSet(mine.string().c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, StoredBlock(4, -300).data(), kParameterBlockSize), 0);
    FreeParameterBlock(block);
    EXPECT_TRUE(Messages().empty());

    WriteBytes(old, StoredBlock(3, 45));
    for (int read = 0; read < 2; ++read) {
        block = ReadParameterSet(old.string().c_str());
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(AngleOf(block), 450);
        FreeParameterBlock(block);
        ExpectRewritten(old, 450);
    }
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].caption, "Parameter Set Conversion");
    EXPECT_EQ(Messages()[0].style, kStyleInformation);
    EXPECT_EQ(Messages()[0].text, "Your Parameter Set file '" + old.string() +
                                      "' was saved in an older format and has been converted.\r\n\r\nThe converted "
                                      "Parameter Set is being saved, replacing the original file.");

    for (uint16_t build : {2, 5}) {
        const fs::path path = roots.parameters() / ("v" + std::to_string(build) + ".cvp");
        WriteBytes(path, StoredBlock(build, 10));
        EXPECT_EQ(ReadParameterSet(path.string().c_str()), nullptr);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(Messages().back().caption, "Warning - Failed to Read Saved Parameter Set");
        EXPECT_EQ(Messages().back().style, kStyleWarning);
        EXPECT_EQ(Messages().back().text, "Your Parameter Set file '" + path.string() +
                                              "' was saved in an obsolete format and is being deleted.\r\n\r\n" +
                                              VersionText(build));
    }
    EXPECT_EQ(Messages().size(), 3u);
}

TEST_F(ParameterSets, LastSavedParametersAreRestoredOrConvertedOrDeleted)
{
    const fs::path lastSaved = roots.settings() / kLastSavedParametersFile;
    EXPECT_FALSE(RestoreLastSavedParameters(gPlugin.parameters));
    EXPECT_EQ(current.intensity, 5); // untouched when there is no file

    WriteBytes(lastSaved, StoredBlock(4, 120, 66));
    EXPECT_TRUE(RestoreLastSavedParameters(gPlugin.parameters));
    EXPECT_EQ(current.intensity, 66);
    EXPECT_EQ(current.angle, 120);

    WriteBytes(lastSaved, StoredBlock(3, -45, 33));
    for (int restore = 0; restore < 2; ++restore) {
        EXPECT_TRUE(RestoreLastSavedParameters(gPlugin.parameters));
        EXPECT_EQ(current.angle, -450);
        EXPECT_EQ(current.intensity, 33);
        ExpectRewritten(lastSaved, -450);
    }
    ASSERT_EQ(Messages().size(), 1u); // converted once
    EXPECT_EQ(Messages()[0].caption, "Parameter Set Conversion");
    EXPECT_NE(Messages()[0].text.find("Your Initial Settings Parameter Set file 'LastSavedParameters.cvp' was saved"),
              std::string::npos);

    for (uint16_t build : {2, 5}) {
        WriteBytes(lastSaved, StoredBlock(build, 0));
        EXPECT_FALSE(RestoreLastSavedParameters(gPlugin.parameters));
        EXPECT_FALSE(fs::exists(lastSaved));
        EXPECT_EQ(Messages().back().caption, "Warning - Failed to Read Initial Settings Parameters");
        EXPECT_NE(Messages().back().text.find("Parameters will be set to defaults.\r\n\r\n" + VersionText(build)),
                  std::string::npos);
    }
    EXPECT_EQ(Messages().size(), 3u);
}

// Deleting or rewriting a file the user picked from elsewhere would lose their data: only files directly
// in the Parameters folder are ever changed, and folders that merely look alike are elsewhere.
TEST_F(ParameterSets, FilesOutsideTheFolderAreReadButNeverRewrittenOrDeleted)
{
    const fs::path places[] = {roots.local() / "elsewhere" / "set.cvp", roots.product() / "ParametersOld" / "set.cvp",
                               roots.parameters() / "sub" / "set.cvp", roots.parameters() / ".." / "set.cvp",
                               roots.parameters() / "set.txt"};
    for (const fs::path& path : places) {
        fs::create_directories(path.parent_path());
        EXPECT_FALSE(IsOwnParameterSet(path.string().c_str())) << path;

        WriteBytes(path, StoredBlock(3, 45));
        void* block = ReadParameterSet(path.string().c_str());
        ASSERT_NE(block, nullptr) << path;
        EXPECT_EQ(AngleOf(block), 450);
        FreeParameterBlock(block);
        EXPECT_EQ(ReadBytes(path), StoredBlock(3, 45)) << path;
        EXPECT_EQ(Messages().back().caption, "Parameter Set Conversion");
        EXPECT_EQ(Messages().back().text, "Your Parameter Set file '" + path.string() +
                                              "' was saved in an older format and has been converted.\r\n\r\n"
                                              "The original file is left unchanged.");

        WriteBytes(path, StoredBlock(2, 45));
        EXPECT_EQ(ReadParameterSet(path.string().c_str()), nullptr);
        EXPECT_EQ(ReadBytes(path), StoredBlock(2, 45)) << path;
        EXPECT_EQ(Messages().back().caption, "Warning - Failed to Read Saved Parameter Set");
        EXPECT_EQ(Messages().back().text, "Your Parameter Set file '" + path.string() +
                                              "' was saved in an obsolete format and cannot be read.\r\n\r\n" +
                                              VersionText(2));
    }
    EXPECT_TRUE(IsOwnParameterSet((roots.parameters() / "Set.CVP").string().c_str()) == kPathNamesIgnoreCase);
    EXPECT_TRUE(IsOwnParameterSet((roots.parameters() / "set.cvp").string().c_str()));
}

// The folder lists every readable set by file name (converting and deleting on the way), and a set is
// shown under its name up to the first period; loaded or saved through the menu, up to the last.
TEST_F(ParameterSets, TheFolderListsItsReadableSets)
{
    WriteBytes(roots.parameters() / "A.cvp", StoredBlock(4, 10));
    WriteBytes(roots.parameters() / "my.stars.cvp", StoredBlock(4, 20));
    WriteBytes(roots.parameters() / "old.cvp", StoredBlock(3, 30));
    WriteBytes(roots.parameters() / "gone.cvp", StoredBlock(5, 40));
    WriteBytes(roots.parameters() / "short.cvp", std::vector<uint8_t>(10, 0));
    WriteBytes(roots.parameters() / "notes.txt", StoredBlock(4, 50));

    std::map<std::string, int16_t> listed;
    ListParameterSets(
        [](const char* fileName, void* block, void* context) {
            (*static_cast<std::map<std::string, int16_t>*>(context))[fileName] = AngleOf(block);
            FreeParameterBlock(block);
        },
        &listed);
    EXPECT_EQ(listed, (std::map<std::string, int16_t>{{"A.cvp", 10}, {"my.stars.cvp", 20}, {"old.cvp", 300}}));
    ExpectRewritten(roots.parameters() / "old.cvp", 300);
    EXPECT_FALSE(fs::exists(roots.parameters() / "gone.cvp"));
    EXPECT_TRUE(fs::exists(roots.parameters() / "short.cvp")); // unreadable is not obsolete

    char name[kSetNameCapacity];
    SetNameOfFile("my.stars.cvp", SetNameCut::FirstPeriod, name);
    EXPECT_STREQ(name, "my");
    SetNameOfFile(FileNameOfPath((roots.parameters() / "my.stars.cvp").string().c_str()), SetNameCut::LastPeriod, name);
    EXPECT_STREQ(name, "my.stars");
}
