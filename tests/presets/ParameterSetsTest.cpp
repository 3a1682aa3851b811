#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/TestDataRoots.h"
#include "host/LastParameters.h"
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
    const int16_t fields[15] = {0,  0,  0, static_cast<int16_t>(build), intensity, 50, angle, 4, 50, 30, 50, 50,
                                50, 50, 0};
    for (size_t i = 0; i < 15; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(static_cast<uint16_t>(fields[i]) & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(fields[i]) >> 8);
    }
    return bytes;
}

int16_t AngleOf(const void* block)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    return static_cast<int16_t>(bytes[12] | (bytes[13] << 8));
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
    fs::path LastSaved() { return roots.settings() / kLastSavedParametersFile; }

    TestDataRoots roots;
    FilterParameters current;
};

} // namespace

TEST_F(ParameterSets, CurrentFileIsReadAsStored)
{
    fs::path path = roots.parameters() / "mine.cvp";
    WriteBytes(path, StoredBlock(4, -300));
    void* block = ReadParameterSet(path.string().c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, StoredBlock(4, -300).data(), kParameterBlockSize), 0);
    FreeParameterBlock(block);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ParameterSets, OlderFileIsConvertedOnceAndRewritten)
{
    fs::path path = roots.parameters() / "old.cvp";
    WriteBytes(path, StoredBlock(3, 45));
    void* block = ReadParameterSet(path.string().c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(AngleOf(block), 450);
    FreeParameterBlock(block);

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].caption, "Parameter Set Conversion");
    EXPECT_EQ(Messages()[0].style, kStyleInformation);
    EXPECT_EQ(Messages()[0].text, "Your Parameter Set file '" + path.string() +
                                      "' was saved in an older format and has been converted.\r\n\r\nThe converted "
                                      "Parameter Set is being saved, replacing the original file.");

    std::vector<uint8_t> rewritten = ReadBytes(path);
    ASSERT_EQ(rewritten.size(), kParameterBlockSize);
    EXPECT_EQ(std::vector<uint8_t>(rewritten.begin(), rewritten.begin() + 8),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 4, 0}));
    EXPECT_EQ(AngleOf(rewritten.data()), 450);

    block = ReadParameterSet(path.string().c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(AngleOf(block), 450);
    FreeParameterBlock(block);
    EXPECT_EQ(Messages().size(), 1u); // told once
}

TEST_F(ParameterSets, ObsoleteFilesAreDeletedWithAWarningNamingTheirVersion)
{
    for (uint16_t build : {2, 5}) {
        fs::path path = roots.parameters() / ("v" + std::to_string(build) + ".cvp");
        WriteBytes(path, StoredBlock(build, 10));
        size_t before = Messages().size();
        EXPECT_EQ(ReadParameterSet(path.string().c_str()), nullptr);
        EXPECT_FALSE(fs::exists(path));
        ASSERT_EQ(Messages().size(), before + 1);
        EXPECT_EQ(Messages().back().caption, "Warning - Failed to Read Saved Parameter Set");
        EXPECT_EQ(Messages().back().style, kStyleWarning);
        EXPECT_EQ(Messages().back().text,
                  "Your Parameter Set file '" + path.string() +
                      "' was saved in an obsolete format and is being deleted.\r\n\r\nFile Version: Major Version = "
                      "'0', Minor Version = '0', Revision = '0', Build = '" +
                      std::to_string(build) + "'");
    }
}

TEST_F(ParameterSets, LastSavedParametersAreRestoredOrConvertedOrDeleted)
{
    EXPECT_FALSE(RestoreLastSavedParameters(gPlugin.parameters));
    EXPECT_EQ(current.intensity, 5); // untouched when there is no file

    WriteBytes(LastSaved(), StoredBlock(4, 120, 66));
    EXPECT_TRUE(RestoreLastSavedParameters(gPlugin.parameters));
    EXPECT_EQ(current.intensity, 66);
    EXPECT_EQ(current.angle, 120);

    WriteBytes(LastSaved(), StoredBlock(3, -45, 33));
    EXPECT_TRUE(RestoreLastSavedParameters(gPlugin.parameters));
    EXPECT_EQ(current.angle, -450);
    EXPECT_EQ(current.intensity, 33);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].caption, "Parameter Set Conversion");
    EXPECT_NE(Messages()[0].text.find("Your Initial Settings Parameter Set file 'LastSavedParameters.cvp' was saved"),
              std::string::npos);
    std::vector<uint8_t> rewritten = ReadBytes(LastSaved());
    ASSERT_EQ(rewritten.size(), kParameterBlockSize);
    EXPECT_EQ(rewritten[6], 4);
    EXPECT_EQ(AngleOf(rewritten.data()), -450);
    EXPECT_TRUE(RestoreLastSavedParameters(gPlugin.parameters));
    EXPECT_EQ(Messages().size(), 1u); // converted once

    for (uint16_t build : {2, 5}) {
        WriteBytes(LastSaved(), StoredBlock(build, 0));
        size_t before = Messages().size();
        EXPECT_FALSE(RestoreLastSavedParameters(gPlugin.parameters));
        EXPECT_FALSE(fs::exists(LastSaved()));
        ASSERT_EQ(Messages().size(), before + 1);
        EXPECT_EQ(Messages().back().caption, "Warning - Failed to Read Initial Settings Parameters");
        EXPECT_NE(
            Messages().back().text.find("Parameters will be set to defaults.\r\n\r\nFile Version: Major Version = "
                                        "'0', Minor Version = '0', Revision = '0', Build = '" +
                                        std::to_string(build) + "'"),
            std::string::npos);
    }
}

// Without a host registry the last parameters travel through the file; without the file they are the
// factory values.
TEST_F(ParameterSets, WithoutRegistryLastParametersFallBackToFileThenFactory)
{
    ASSERT_EQ(gPlugin.filterRecord, nullptr);
    current.angle = 123;
    PersistLastParameters();
    std::vector<uint8_t> stored = ReadBytes(LastSaved());
    ASSERT_EQ(stored.size(), kParameterBlockSize);
    EXPECT_EQ(std::vector<uint8_t>(stored.begin(), stored.begin() + 8), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 4, 0}));

    current = kFactoryParameters;
    RestoreLastParameters();
    EXPECT_EQ(current.angle, 123);
    EXPECT_EQ(current.intensity, 5);

    fs::remove(LastSaved());
    RestoreLastParameters();
    EXPECT_EQ(std::memcmp(&current, &kFactoryParameters, sizeof current), 0);
    EXPECT_TRUE(Messages().empty());
}
