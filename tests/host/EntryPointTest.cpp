// Selector sequences as hosts send them: interactive, repeated and scripted runs, the registry across
// host sessions, the memory budget, and hosts that lack services or memory.
#include <cmath>

#include "EntryPointFixture.h"

namespace {

const DescriptorValue& Recorded(const Host& host, DescriptorKeyID key)
{
    static const DescriptorValue missing;
    const DescriptorValue* value = FindValue(host.RecordedDescriptor(), key);
    EXPECT_NE(value, nullptr) << key;
    return value != nullptr ? *value : missing;
}

FilterParameters RunScript(Host* host, const Descriptor& script, int16 playInfo = plugInDialogSilent)
{
    host->SetDescriptor(script);
    EXPECT_EQ(host->RunScripted(playInfo), noErr);
    return ParametersOf(host->ParametersBytes());
}

Descriptor Script(std::initializer_list<std::pair<DescriptorKeyID, DescriptorValue>> entries)
{
    Descriptor script;
    for (const auto& [key, value] : entries)
        PutValue(&script, key, value);
    return script;
}

DescriptorValue Percent(double value)
{
    return UnitFloatValue(unitPercent, value);
}

DescriptorValue Degrees(double value)
{
    return UnitFloatValue(unitAngle, value);
}

} // namespace

TEST_F(EntryPoint, InteractiveThenRepeatKeepsHandlesRegistryAndDescriptor)
{
    Host host(Module());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    Register(&host, BlockOf(Factory(77)));

    EXPECT_EQ(host.RunInteractive(), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{1, 2, 3, 5}));
    EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{0}); // the dialog ran; a repeat goes without it
    ASSERT_EQ(host.ParametersBytes().size(), 30u);
    EXPECT_EQ(ParametersOf(host.ParametersBytes()).length, 77); // restored over the factory values
    ASSERT_NE(host.BigDocument(), nullptr);
    EXPECT_EQ(host.BigDocument()->PluginUsing32BitCoordinates, 1);
    ASSERT_EQ(host.PropertySets().size(), 1u);
    const PropertyCall& watch = host.PropertySets()[0];
    EXPECT_TRUE(watch.signature == kPhotoshopSignature && watch.key == propWatchSuspension && watch.index == 0 &&
                watch.simple == 1 && !watch.hasComplex);
    std::vector<uint8_t> registered;
    ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &registered));
    EXPECT_EQ(registered, BlockOf(Factory(77))); // zeros after the record

    // Eleven keys in the order of the terminology, with their units.
    const DescriptorKeyID order[] = {FourCC("Intn"), FourCC("Lngt"), FourCC("Angl"), FourCC("numP"),
                                     FourCC("spsH"), FourCC("Strt"), FourCC("rbwI"), FourCC("rbwF"),
                                     FourCC("sspI"), FourCC("sflB"), FourCC("opsO")};
    ASSERT_EQ(host.RecordedDescriptor().size(), 11u);
    for (size_t i = 0; i < 11; ++i)
        EXPECT_EQ(host.RecordedDescriptor()[i].key, order[i]) << i;
    EXPECT_EQ(Recorded(host, FourCC("Lngt")).number, 77.0);
    EXPECT_EQ(Recorded(host, FourCC("Strt")).unit, unitPercent);
    EXPECT_EQ(Recorded(host, FourCC("Angl")).unit, unitAngle);
    EXPECT_EQ(Recorded(host, FourCC("numP")).type, typeInteger);
    EXPECT_EQ(Recorded(host, FourCC("opsO")).type, typeBoolean);
    EXPECT_EQ(host.RecordInfo(), plugInDialogOptional);
    ExpectNothingHeld(host);
    EXPECT_EQ(host.LiveHandles(), 2); // the two the host keeps for the module

    host.ClearLog();
    Register(&host, BlockOf(Factory(12)));
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{2, 3, 5}));
    EXPECT_EQ(ParametersOf(host.ParametersBytes()).length, 12);
    ExpectNothingHeld(host);
    EXPECT_EQ(host.LiveHandles(), 2);
}

// A script overrides only its keys, truncates and clamps what it sets, and ends at the first key it
// does not know or value it cannot read; recorded angles play back unchanged.
TEST_F(EntryPoint, ScriptsOverrideTheirKeysWithinRangeAndStopAtWhatTheyCannotRead)
{
    Host host(Module());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    FilterParameters restored = kFactoryParameters;
    restored.intensity = 11;
    Register(&host, BlockOf(restored));
    FilterParameters p = RunScript(&host, Script({{FourCC("Lngt"), Percent(80.9)}, {FourCC("Angl"), Degrees(12.34)}}));
    EXPECT_EQ(p.intensity, 11);
    EXPECT_EQ(p.length, 80);
    EXPECT_EQ(p.angle, 123);
    EXPECT_EQ(p.numberOfPoints, 4);
    EXPECT_EQ(RunScript(&host, Script({{FourCC("Angl"), Degrees(-0.05)}})).angle, 0);
    EXPECT_EQ(RunScript(&host, Script({{FourCC("Angl"), Degrees(-45.0)}})).angle, -450);
    EXPECT_EQ(Recorded(host, FourCC("Angl")).number, -45.0);
    // An integer count keeps its low 16 bits before it is brought into range: 65542 is 6, not 32.
    EXPECT_EQ(RunScript(&host, Script({{FourCC("numP"), IntegerValue(65542)}})).numberOfPoints, 6);

    // Out-of-range and non-finite values never reach the engine; the action records what was applied.
    p = RunScript(&host, Script({{FourCC("Intn"), Percent(250.0)},
                                 {FourCC("numP"), IntegerValue(70000)},
                                 {FourCC("Angl"), Degrees(-1e300)},
                                 {FourCC("Strt"), Percent(-INFINITY)},
                                 {FourCC("sflB"), Percent(NAN)},
                                 {FourCC("opsO"), BooleanValue(true)}}));
    EXPECT_EQ(p.intensity, 100);
    EXPECT_EQ(p.numberOfPoints, 32);
    EXPECT_EQ(p.angle, -900);
    EXPECT_EQ(p.saturation, -100);
    EXPECT_EQ(p.softFlareBrightness, 50); // a NaN carries no value
    EXPECT_EQ(p.outputSpikesOnly, 1);
    EXPECT_EQ(Recorded(host, FourCC("Intn")).number, 100.0);
    EXPECT_EQ(Recorded(host, FourCC("Angl")).number, -90.0);

    for (const auto& [key, value] : {std::pair{FourCC("Zzzz"), Percent(1)}, {FourCC("numP"), BooleanValue(true)}}) {
        Register(&host, BlockOf(kFactoryParameters));
        p = RunScript(&host, Script({{FourCC("Lngt"), Percent(10)}, {key, value}, {FourCC("Intn"), Percent(20)}}));
        EXPECT_EQ(p.length, 10);
        EXPECT_EQ(p.numberOfPoints, 4);
        EXPECT_EQ(p.intensity, 50);
    }
    ExpectNothingHeld(host);

    for (int16_t angle : {-900, -899, -451, -1, 1, 7, 123, 899, 900}) {
        FilterParameters recorded = kFactoryParameters;
        recorded.angle = angle;
        Register(&host, BlockOf(recorded));
        ASSERT_EQ(host.RunRepeat(), noErr);
        const Descriptor script = host.RecordedDescriptor();
        Register(&host, BlockOf(kFactoryParameters));
        EXPECT_EQ(RunScript(&host, script).angle, angle);
    }
}

TEST_F(EntryPoint, PlayInfoDecidesTheDialogOfAScriptedRun)
{
    Host host(Module());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    EXPECT_EQ(host.RunInteractive(), noErr);
    const Descriptor script = Script({{FourCC("Lngt"), Percent(20)}});
    for (int16 silent : {plugInDialogSilent, plugInDialogDontDisplay}) {
        **reinterpret_cast<Handle>(host.DataSlot()) = 1;
        RunScript(&host, script, silent);
        EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{1}) << "no dialog, so the flag stays";
    }
    RunScript(&host, script, plugInDialogDisplay);
    EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{0});
}

TEST_F(EntryPoint, RegistryCarriesTheParametersToTheNextHostSession)
{
    HostOptions options;
    options.registryPath = (roots_.local() / "registry.bin").string();
    std::vector<uint8_t> stored;
    {
        Host host(Module(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        RunScript(&host, Script({{FourCC("Lngt"), Percent(33)}, {FourCC("sflB"), Percent(9)}}));
        ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &stored));
    }
    // Restarted, with new handles, and serving only version 2 of the action descriptor suite.
    options.actionDescriptorVersion = 2;
    Host host(Module(), options);
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    EXPECT_EQ(host.RunRepeat(), noErr);
    const FilterParameters p = ParametersOf(host.ParametersBytes());
    EXPECT_EQ(p.length, 33);
    EXPECT_EQ(p.softFlareBrightness, 9);
    std::vector<uint8_t> again;
    ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &again));
    EXPECT_EQ(again, stored);
    ExpectNothingHeld(host);

    // A block of the format that kept whole degrees is converted once and stored anew.
    FilterParameters old = kFactoryParameters;
    old.versionBuild = 3;
    old.angle = 15;
    Register(&host, BlockOf(old));
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(ParametersOf(host.ParametersBytes()).angle, 150);
    ASSERT_TRUE(host.GetRegisteredData(kRegistryKey, kParameterBlockKey, &again));
    EXPECT_EQ(ParametersOf(again).versionBuild, 4);
}

TEST_F(EntryPoint, PrepareBudgetsTwoCappedImagesFromTheRectangleInUse)
{
    HostOptions options;
    options.bigDocumentData = false;
    for (int32_t hostSpace : {100000000, 1000000}) {
        options.maxSpace = hostSpace;
        Host host(Module(), options);
        ASSERT_TRUE(host.SetDocument(HostDocument(5000, 3000, plugInModeRGBColor)));
        EXPECT_EQ(host.CallSelector(filterSelectorPrepare), noErr);
        EXPECT_EQ(host.Record()->maxSpace, std::min(hostSpace, 2 * 3 * 1024 * 1024));
        EXPECT_EQ(host.Record()->bufferSpace, 0);
        EXPECT_EQ(host.CallSelector(filterSelectorFinish), noErr);
        ExpectNothingHeld(host);
    }

    // Beyond 32767 only the 32-bit rectangle says where the filter works.
    options.bigDocumentData = true;
    options.maxSpace = 100000000;
    Host host(Module(), options);
    HostDocument wide(33600, 8, plugInModeGrayScale);
    wide.SetFilterRect(ImageRect{33000, 0, 33500, 8});
    ASSERT_TRUE(host.SetDocument(wide));
    EXPECT_EQ(host.CallSelector(filterSelectorPrepare), noErr);
    EXPECT_EQ(host.Record()->maxSpace, 2 * 1 * 500 * 8);
    EXPECT_EQ(host.CallSelector(filterSelectorFinish), noErr);
}

TEST_F(EntryPoint, ContinueLeavesEveryRequestedRectangleEmpty)
{
    for (bool big : {true, false}) {
        HostOptions options;
        options.bigDocumentData = big;
        Host host(Module(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        FilterRecord* r = host.Record();
        r->inRect = r->outRect = r->maskRect = Rect{1, 2, 3, 4};
        BigDocumentStruct* d = host.BigDocument();
        if (big)
            d->inRect32 = d->outRect32 = d->maskRect32 = VRect{1, 2, 3, 4};
        EXPECT_EQ(host.CallSelector(filterSelectorContinue), noErr);
        // With 32-bit coordinates in use only those rectangles count.
        for (const Rect& rect : {r->inRect, r->outRect, r->maskRect})
            EXPECT_EQ(rect.top | rect.left | rect.bottom | rect.right, big ? 1 | 2 | 3 | 4 : 0);
        for (const VRect& rect :
             big ? std::vector<VRect>{d->inRect32, d->outRect32, d->maskRect32} : std::vector<VRect>{})
            EXPECT_EQ(rect.top | rect.left | rect.bottom | rect.right, 0);
    }
}

TEST_F(EntryPoint, MissingOrRefusedHandlesEndTheRunCleanly)
{
    for (int32_t granted : {0, 1}) {
        HostOptions options;
        options.handlesBeforeRefusal = granted;
        Host host(Module(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        EXPECT_EQ(host.RunInteractive(), memFullErr) << granted;
        EXPECT_EQ(host.Selectors(), std::vector<int16>{1});
        ExpectNothingHeld(host);
    }

    Host host(Module());
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    host.Record()->handleProcs = nullptr;
    for (int16 selector : {filterSelectorParameters, filterSelectorPrepare, filterSelectorStart, filterSelectorFinish})
        EXPECT_EQ(host.CallSelector(selector), filterBadParameters) << selector;
    ExpectNothingHeld(host);
}

TEST_F(EntryPoint, MinimalHostsAndFailingStartsLeaveNothingBehind)
{
    HostOptions shortRecord;
    shortRecord.recordSize = kMinimalFilterRecordSize;
    for (const HostOptions& options : {HostOptions::Independent(), shortRecord}) {
        Host host(Module(), options);
        ASSERT_TRUE(host.SetDocument(SmallStarfield()));
        EXPECT_EQ(host.RunInteractive(), noErr);
        EXPECT_EQ(host.RunRepeat(), noErr);
        EXPECT_EQ(host.ParametersBytes().size(), 30u);
        ExpectNothingHeld(host);
    }

    HostOptions failing;
    failing.failAdvanceStateAt = 1;
    Host host(Module(), failing);
    ASSERT_TRUE(host.SetDocument(SmallStarfield()));
    EXPECT_NE(host.RunInteractive(), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{1, 2, 3}));
    ExpectNothingHeld(host);
}
