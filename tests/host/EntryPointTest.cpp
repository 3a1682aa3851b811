// Selector sequences as hosts send them: interactive, repeated and scripted runs, the registry across
// host sessions, the memory budget and hosts that lack services or memory.
#include "EntryPointFixture.h"

#include <filesystem>

namespace {

FilterParameters WithLength(int16_t length)
{
    FilterParameters p = kFactoryParameters;
    p.length = length;
    return p;
}

void SetShowDialogFlag(Host* host, uint8_t value)
{
    Handle data = reinterpret_cast<Handle>(host->DataSlot());
    ASSERT_NE(data, nullptr);
    **data = char(value);
}

const DescriptorValue& ValueOf(const Host& host, DescriptorKeyID key)
{
    static const DescriptorValue missing;
    const DescriptorValue* value = FindValue(host.RecordedDescriptor(), key);
    EXPECT_NE(value, nullptr) << "key " << std::hex << key;
    return value != nullptr ? *value : missing;
}

} // namespace

TEST_F(EntryPoint, InteractiveThenRepeatKeepsHandlesRegistryAndDescriptor)
{
    Host host(Entry());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    Register(&host, BlockOf(WithLength(77)));

    EXPECT_EQ(host.RunInteractive(), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{1, 2, 3, 5}));
    EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{0}); // the dialog ran; a repeat goes without it
    const std::vector<uint8_t> parameters = host.ParametersBytes();
    ASSERT_EQ(parameters.size(), 30u);
    EXPECT_EQ(ParametersOf(parameters).length, 77); // restored over the factory values of Parameters
    ASSERT_NE(host.BigDocument(), nullptr);
    EXPECT_EQ(host.BigDocument()->PluginUsing32BitCoordinates, 1);

    ASSERT_EQ(host.PropertySets().size(), 1u);
    const PropertyCall& watch = host.PropertySets()[0];
    EXPECT_EQ(watch.signature, kPhotoshopSignature);
    EXPECT_EQ(watch.key, propWatchSuspension);
    EXPECT_EQ(watch.index, 0);
    EXPECT_EQ(watch.simple, 1);
    EXPECT_FALSE(watch.hasComplex);

    std::vector<uint8_t> registered;
    ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &registered));
    EXPECT_EQ(registered, BlockOf(WithLength(77)));

    ASSERT_TRUE(host.HasRecordedDescriptor());
    EXPECT_EQ(host.RecordedDescriptor().size(), 11u);
    EXPECT_EQ(ValueOf(host, FourCC("Lngt")).number, 77.0);
    EXPECT_EQ(ValueOf(host, FourCC("Lngt")).unit, unitPercent);
    EXPECT_EQ(ValueOf(host, FourCC("Angl")).unit, unitAngle);
    EXPECT_EQ(ValueOf(host, FourCC("numP")).type, typeInteger);
    EXPECT_EQ(ValueOf(host, FourCC("opsO")).type, typeBoolean);
    EXPECT_EQ(host.RecordInfo(), plugInDialogOptional);
    ExpectNothingHeld(host);
    EXPECT_EQ(host.LiveHandles(), 2); // the two the host keeps for the module

    host.ClearLog();
    Register(&host, BlockOf(WithLength(12)));
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{2, 3, 5}));
    EXPECT_EQ(ParametersOf(host.ParametersBytes()).length, 12);
    EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{0});
    ExpectNothingHeld(host);
    EXPECT_EQ(host.LiveHandles(), 2);
}

TEST_F(EntryPoint, ScriptedRunOverridesRestoredValuesAndClampsThem)
{
    Host host(Entry());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    FilterParameters restored = kFactoryParameters;
    restored.intensity = 11;
    Register(&host, BlockOf(restored));

    Descriptor script;
    PutValue(&script, FourCC("Lngt"), UnitFloatValue(unitPercent, 80.0));
    PutValue(&script, FourCC("Angl"), UnitFloatValue(unitAngle, 12.34));
    host.SetDescriptor(script);
    EXPECT_EQ(host.RunScripted(plugInDialogSilent), noErr);
    FilterParameters p = ParametersOf(host.ParametersBytes());
    EXPECT_EQ(p.intensity, 11);
    EXPECT_EQ(p.length, 80);
    EXPECT_EQ(p.angle, 123);
    EXPECT_EQ(p.numberOfPoints, 4);
    EXPECT_DOUBLE_EQ(ValueOf(host, FourCC("Angl")).number, 12.3);

    // Out-of-range values never reach the engine, and the action records what was applied.
    Descriptor wild;
    PutValue(&wild, FourCC("Intn"), UnitFloatValue(unitPercent, 250.0));
    PutValue(&wild, FourCC("numP"), IntegerValue(0));
    PutValue(&wild, FourCC("Angl"), UnitFloatValue(unitAngle, -100.0));
    PutValue(&wild, FourCC("Strt"), UnitFloatValue(unitPercent, -1e300));
    host.SetDescriptor(wild);
    EXPECT_EQ(host.RunScripted(plugInDialogSilent), noErr);
    p = ParametersOf(host.ParametersBytes());
    EXPECT_EQ(p.intensity, 100);
    EXPECT_EQ(p.numberOfPoints, 1);
    EXPECT_EQ(p.angle, -900);
    EXPECT_EQ(p.saturation, -100);
    EXPECT_EQ(ValueOf(host, FourCC("Intn")).number, 100.0);
    EXPECT_EQ(ValueOf(host, FourCC("Angl")).number, -90.0);
    ExpectNothingHeld(host);
}

TEST_F(EntryPoint, PlayInfoDecidesTheDialogOfAScriptedRun)
{
    Host host(Entry());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    Register(&host, BlockOf(kFactoryParameters));
    EXPECT_EQ(host.RunInteractive(), noErr);
    Descriptor script;
    PutValue(&script, FourCC("Lngt"), UnitFloatValue(unitPercent, 20.0));
    host.SetDescriptor(script);

    for (int16 silent : {plugInDialogSilent, plugInDialogDontDisplay}) {
        SetShowDialogFlag(&host, 1);
        EXPECT_EQ(host.RunScripted(silent), noErr);
        EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{1}) << "no dialog, so the flag is left alone";
    }
    EXPECT_EQ(host.RunScripted(plugInDialogDisplay), noErr);
    EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{0});
    ExpectNothingHeld(host);
}

TEST_F(EntryPoint, RegistryCarriesTheParametersToTheNextHostSession)
{
    const std::filesystem::path registry = state_.roots.local() / "registry.bin";
    std::vector<uint8_t> stored;
    {
        HostOptions options;
        options.registryPath = registry.string();
        Host host(Entry(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        Descriptor script;
        PutValue(&script, FourCC("Lngt"), UnitFloatValue(unitPercent, 33.0));
        PutValue(&script, FourCC("sflB"), UnitFloatValue(unitPercent, 9.0));
        host.SetDescriptor(script);
        EXPECT_EQ(host.RunScripted(plugInDialogSilent), noErr);
        ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &stored));
        ASSERT_EQ(stored.size(), kParameterBlockSize);
    }
    // A restarted host that only serves version 2 of the action descriptor suite, with new handles.
    HostOptions options;
    options.registryPath = registry.string();
    options.actionDescriptorVersion = 2;
    Host host(Entry(), options);
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    EXPECT_EQ(host.RunRepeat(), noErr);
    const FilterParameters p = ParametersOf(host.ParametersBytes());
    EXPECT_EQ(p.length, 33);
    EXPECT_EQ(p.softFlareBrightness, 9);
    std::vector<uint8_t> again;
    ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &again));
    EXPECT_EQ(again, stored);
    ExpectNothingHeld(host);
}

TEST_F(EntryPoint, RegisteredBlockInDegreesIsConverted)
{
    Host host(Entry());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    FilterParameters old = kFactoryParameters;
    old.versionBuild = 3;
    old.angle = 15;
    Register(&host, BlockOf(old));
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(ParametersOf(host.ParametersBytes()).angle, 150);
    std::vector<uint8_t> registered;
    ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &registered));
    EXPECT_EQ(registered[6], 4); // persisted again in the current version
    ExpectNothingHeld(host);
}

TEST_F(EntryPoint, PrepareSetsTheMemoryBudgetFromTheRectangleInUse)
{
    HostOptions options;
    options.bigDocumentData = false;
    options.maxSpace = 100000000;
    {
        Host host(Entry(), options);
        ASSERT_TRUE(host.SetDocument(HostDocument(5000, 3000, plugInModeRGBColor)));
        EXPECT_EQ(host.CallSelector(filterSelectorPrepare), noErr);
        EXPECT_EQ(host.Record()->maxSpace, 6291456);
        EXPECT_EQ(host.Record()->bufferSpace, 0);
        EXPECT_EQ(host.CallSelector(filterSelectorFinish), noErr);

        options.maxSpace = 1000000;
    }
    {
        Host host(Entry(), options);
        ASSERT_TRUE(host.SetDocument(HostDocument(5000, 3000, plugInModeRGBColor)));
        EXPECT_EQ(host.CallSelector(filterSelectorPrepare), noErr);
        EXPECT_EQ(host.Record()->maxSpace, 1000000);
        EXPECT_EQ(host.CallSelector(filterSelectorFinish), noErr);
        ExpectNothingHeld(host);
    }

    // Beyond 32767 only the 32-bit rectangle says where the filter works.
    options.bigDocumentData = true;
    options.maxSpace = 100000000;
    Host host(Entry(), options);
    HostDocument wide(33600, 8, plugInModeGrayScale);
    wide.SetFilterRect(ImageRect{33000, 0, 33500, 8});
    ASSERT_TRUE(host.SetDocument(wide));
    EXPECT_EQ(host.CallSelector(filterSelectorPrepare), noErr);
    EXPECT_EQ(host.Record()->maxSpace, 2 * 1 * 500 * 8);
    EXPECT_EQ(host.CallSelector(filterSelectorFinish), noErr);
    ExpectNothingHeld(host);
}

TEST_F(EntryPoint, RefusedHandlesEndTheRunCleanly)
{
    for (int32_t granted : {0, 1}) {
        HostOptions options;
        options.handlesBeforeRefusal = granted;
        Host host(Entry(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        EXPECT_EQ(host.RunInteractive(), memFullErr) << granted;
        EXPECT_EQ(host.Selectors(), std::vector<int16>{1});
        ExpectNothingHeld(host);
    }
}

TEST_F(EntryPoint, MinimalHostsAreServedWithoutTheirMissingServices)
{
    HostOptions shortRecord;
    shortRecord.recordSize = kMinimalFilterRecordSize;
    for (const HostOptions& options : {HostOptions::Independent(), shortRecord}) {
        Host host(Entry(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        EXPECT_EQ(host.RunInteractive(), noErr);
        EXPECT_EQ(host.RunRepeat(), noErr);
        EXPECT_EQ(host.ParametersBytes().size(), 30u);
        ExpectNothingHeld(host);
    }
}

TEST_F(EntryPoint, FailingStartReleasesEverything)
{
    HostOptions options;
    options.failAdvanceStateAt = 1;
    Host host(Entry(), options);
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    EXPECT_NE(host.RunInteractive(), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{1, 2, 3}));
    ExpectNothingHeld(host);
}
