// Where the registry cannot keep or give back the parameters, the last-parameters file and then the
// factory values stand in. Native only: these tests look into the linked module's folders and state.
#include "EntryPointFixture.h"

namespace {

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
            Host host(Module(), options);
            ASSERT_TRUE(host.SetDocument(SmallStarfield()));
            host.SetDescriptor(LengthScript(length));
            EXPECT_EQ(host.RunScripted(plugInDialogSilent), noErr);
            ExpectNothingHeld(host);
        }
        const std::vector<uint8_t> file = ReadBytes(roots_.settings() / "LastSavedParameters.cvp");
        EXPECT_EQ(file, BlockOf(Factory(length)));

        Host host(Module(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        EXPECT_EQ(host.RunRepeat(), noErr);
        EXPECT_EQ(ParametersOf(host.ParametersBytes()).length, length);
    }
}

TEST_F(EntryPoint, UnusableRegisteredBlocksFallBackToFileThenFactory)
{
    FilterParameters unknown = Factory(66);
    unknown.versionBuild = 5;
    // Another version, too short to hold a record, and empty.
    const std::vector<std::vector<uint8_t>> unusable = {BlockOf(unknown), BlockOf(Factory(66), 10), {}};
    const std::filesystem::path file = roots_.settings() / "LastSavedParameters.cvp";

    Host host(Module());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    for (bool fileThere : {true, false}) {
        for (const std::vector<uint8_t>& block : unusable) {
            std::filesystem::create_directories(roots_.settings());
            if (fileThere)
                WriteBytes(file, BlockOf(Factory(55)));
            else
                std::filesystem::remove(file);
            Register(&host, block);
            EXPECT_EQ(host.RunRepeat(), noErr);
            const std::vector<uint8_t> expected = BlockOf(fileThere ? Factory(55) : kFactoryParameters, 30);
            EXPECT_EQ(host.ParametersBytes(), expected) << block.size() << (fileThere ? " with file" : "");
        }
    }
    ExpectNothingHeld(host);
}

TEST_F(EntryPoint, FirstCallTakesTheOwnerWindowOfItsRecord)
{
    HostOptions options;
    options.parentWindow = 0x1234;
    Host host(Module(), options);
    EXPECT_EQ(host.CallSelector(filterSelectorAbout), noErr);
    EXPECT_EQ(gPlugin.parentWindow, reinterpret_cast<void*>(0x1234));
    host.Record()->platformData = nullptr; // later calls keep the owner of the first
    EXPECT_EQ(host.CallSelector(filterSelectorParameters), noErr);
    EXPECT_EQ(gPlugin.parentWindow, reinterpret_cast<void*>(0x1234));

    ForgetLinkedModule();
    EXPECT_EQ(host.CallSelector(filterSelectorParameters), noErr);
    EXPECT_EQ(gPlugin.parentWindow, nullptr); // the desktop, which has no window natively
    EXPECT_EQ(host.CallSelector(filterSelectorFinish), noErr);
}
