// Where the registry cannot keep or give back the parameters, the last-parameters file and then the
// factory values stand in. Natively only: these tests look into the module's settings folder.
#include "EntryPointFixture.h"

#include <filesystem>

namespace {

std::filesystem::path LastParametersFile(const IsolatedModuleState& state)
{
    return state.roots.settings() / "LastSavedParameters.cvp";
}

Descriptor LengthScript(double length)
{
    Descriptor script;
    PutValue(&script, FourCC("Lngt"), UnitFloatValue(unitPercent, length));
    return script;
}

} // namespace

TEST_F(EntryPoint, WithoutRegistryTheFileCarriesTheParameters)
{
    HostOptions noRegistry;
    noRegistry.descriptorRegistry = false;
    HostOptions noSuites;
    noSuites.basicSuite = false;
    int16_t length = 40;
    for (const HostOptions& options : {noRegistry, noSuites}) {
        ++length;
        {
            Host host(Entry(), options);
            ASSERT_TRUE(host.SetDocument(SmallStarfield()));
            host.SetDescriptor(LengthScript(length));
            EXPECT_EQ(host.RunScripted(plugInDialogSilent), noErr);
            ExpectNothingHeld(host);
        }
        const std::vector<uint8_t> file = ReadBytes(LastParametersFile(state_));
        ASSERT_EQ(file.size(), kParameterBlockSize);
        EXPECT_EQ(ParametersOf(file).length, length);
        EXPECT_EQ(file[6], 4);

        Host host(Entry(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        EXPECT_EQ(host.RunRepeat(), noErr);
        EXPECT_EQ(ParametersOf(host.ParametersBytes()).length, length);
    }
}

TEST_F(EntryPoint, UnusableRegisteredBlocksFallBackToFileThenFactory)
{
    FilterParameters fromFile = kFactoryParameters;
    fromFile.length = 55;
    FilterParameters unknown = kFactoryParameters;
    unknown.versionBuild = 5;
    unknown.length = 66;
    FilterParameters truncated = kFactoryParameters;
    truncated.intensity = 66;
    // Another version, too short to hold a record, and empty.
    const std::vector<std::vector<uint8_t>> unusable = {BlockOf(unknown), BlockOf(truncated, 10),
                                                        std::vector<uint8_t>()};

    Host host(Entry());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    for (bool fileThere : {true, false}) {
        for (const std::vector<uint8_t>& block : unusable) {
            std::filesystem::create_directories(state_.roots.settings());
            if (fileThere)
                WriteBytes(LastParametersFile(state_), BlockOf(fromFile));
            else
                std::filesystem::remove(LastParametersFile(state_));
            Register(&host, block);
            EXPECT_EQ(host.RunRepeat(), noErr);
            const FilterParameters p = ParametersOf(host.ParametersBytes());
            EXPECT_EQ(p.length, fileThere ? 55 : kFactoryParameters.length) << block.size();
            EXPECT_EQ(std::memcmp(&p, &kFactoryParameters, sizeof(p)) == 0, !fileThere);
        }
    }
    ExpectNothingHeld(host);
}
