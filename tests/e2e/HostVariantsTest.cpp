// The hosts a module meets in the wild serve it differently: with or without 32-bit coordinates, the
// Buffer suite, a descriptor registry or a full filter record, or with too little memory. Every one
// must get the same picture, or a clean failure that leaves nothing behind.
#include <cstring>

#include "e2e/E2eSupport.h"

namespace {

// The handles a host keeps from an earlier run: factory parameters and the dialog already shown, so
// that a repeat of the last filter applies it at once.
void KeepHandlesOfAnEarlierRun(Host* host)
{
    host->SetParametersBytes(&kFactoryParameters, int32_t(sizeof kFactoryParameters));
    HandleProcs* procs = host->Record()->handleProcs;
    Handle flag = procs->newProc(1);
    *procs->lockProc(flag, false) = 0;
    procs->unlockProc(flag);
    host->DataSlot() = reinterpret_cast<intptr_t>(flag);
}

const FieldLayout kLayerField{300, 200, plugInModeRGB48, true, true};

TEST_F(FilterRunTest, EveryWayOfServingTheModuleGivesTheSamePicture)
{
    const HostDocument before = StarfieldDocument(kLayerField);
    PersistFactorySettingsToFile(Module());

    HostDocument reference;
    {
        Host host(Module(), LoggingHost());
        ASSERT_TRUE(host.SetDocument(before));
        ASSERT_EQ(RunAtFactorySettings(&host), noErr);
        reference = host.Document();
        // All pixels move inside Start, so a host that drives a Continue loop finds nothing asked of it.
        EXPECT_EQ(host.Selectors(),
                  (std::vector<int16>{filterSelectorPrepare, filterSelectorStart, filterSelectorFinish}));
        for (const TransferRequest& t : host.Transfers()) {
            EXPECT_NE(t.call, 0) << "the host had to load an area itself";
            EXPECT_TRUE(t.coordinates32);
        }
    }
    ASSERT_GT(CompareDocuments(before, reference).count, 0);

    // Each changes the reference host in one way; the last repeats the filter instead of playing it back.
    struct Variant
    {
        const char* name;
        void (*change)(HostOptions&);
        bool scripted = true;
    };
    const Variant variants[] = {
        {"without the Buffer suite", [](HostOptions& o) { o.bufferSuite = false; }},
        {"with the five classic buffer procedures only",
         [](HostOptions& o) { o.bufferSuite = false, o.numBufferProcs = 5; }},
        {"with 16-bit coordinates only", [](HostOptions& o) { o.bigDocumentData = false; }},
        {"with host tiles of 64 x 48", [](HostOptions& o) { o.tileWidth = 64, o.tileHeight = 48; }},
        {"with a 556-byte record and no suites",
         [](HostOptions& o) { o.recordSize = kMinimalFilterRecordSize, o.basicSuite = o.descriptorParameters = false; },
         false},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        HostOptions options;
        v.change(options);
        Host host(Module(), LoggingHost(options));
        ASSERT_TRUE(host.SetDocument(before));
        OSErr result;
        if (v.scripted) {
            result = RunAtFactorySettings(&host);
        } else {
            KeepHandlesOfAnEarlierRun(&host);
            result = host.RunRepeat();
        }
        ASSERT_EQ(result, noErr);
        const DocumentDifference difference = CompareDocuments(reference, host.Document());
        EXPECT_EQ(difference.count, 0) << DescribeDifference(difference);
        for (const TransferRequest& t : host.Transfers())
            EXPECT_EQ(t.coordinates32, options.bigDocumentData && options.recordSize > kMinimalFilterRecordSize);
        ExpectNothingHeld(host);
    }
}

TEST_F(FilterRunTest, ThirtyTwoBitCoordinatesReachBeyondSixteenBits)
{
    // The same stars once at the origin and once where only 32-bit coordinates can name them.
    const FieldLayout field{240, 48, plugInModeGrayScale, false, false, 31, 12};
    constexpr int32_t kFarLeft = 32800;
    HostDocument far(kFarLeft + field.width + 40, field.height + 10, plugInModeGrayScale);
    DrawStarfield(field, kFarLeft, 5, &far);
    far.SetFilterRect(ImageRect{kFarLeft, 5, kFarLeft + field.width, 5 + field.height});

    const HostDocument nearResult = FactoryResult(Module(), StarfieldDocument(field));

    Host host(Module(), LoggingHost());
    ASSERT_TRUE(host.SetDocument(far));
    ASSERT_EQ(RunAtFactorySettings(&host), noErr);
    EXPECT_EQ(WrittenTiles(host), std::vector<ImageRect>{far.FilterRect()});
    int64_t differences = 0, changedOutside = 0;
    for (int32_t y = 0; y < far.Height(); ++y)
        for (int32_t x = 0; x < far.Width(); ++x) {
            const bool inside = x >= kFarLeft && x < kFarLeft + field.width && y >= 5 && y < 5 + field.height;
            const double result = host.Document().Sample(0, x, y);
            if (inside)
                differences += result != nearResult.Sample(0, x - kFarLeft, y - 5) ? 1 : 0;
            else
                changedOutside += result != far.Sample(0, x, y) ? 1 : 0;
        }
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(CompareDocuments(StarfieldDocument(field), nearResult).count, 0);
    ExpectNothingHeld(host);
}

// One run in which the host refuses every block after the first `granted`: it ends with memFullErr,
// writes nothing, tells the user why and gives back every block; or it gets through with the full
// picture. Returns whether it got through.
bool RunRefusingAfter(PluginEntryProc entry, bool suite, int32_t granted, const HostDocument& before,
                      const HostDocument& reference)
{
    SCOPED_TRACE(std::to_string(granted) + " blocks granted by the " + (suite ? "Buffer suite" : "buffer procedures"));
    HostOptions options;
    options.bufferSuite = suite;
    (suite ? options.bufferSuiteBeforeRefusal : options.bufferProcsBeforeRefusal) = granted;
    Host host(entry, LoggingHost(options));
    EXPECT_TRUE(host.SetDocument(before));
    UserMessageWatch messages;
    const OSErr result = RunAtFactorySettings(&host);
    ExpectNothingHeld(host);
    if (result == noErr) {
        const DocumentDifference difference = CompareDocuments(reference, host.Document());
        EXPECT_EQ(difference.count, 0) << "a run short of memory succeeded with another picture: "
                                       << DescribeDifference(difference);
        return true;
    }
    EXPECT_EQ(result, memFullErr);
    EXPECT_TRUE(WrittenTiles(host).empty());
    EXPECT_EQ(CompareDocuments(before, host.Document()).count, 0);
    const std::vector<std::string> texts = messages.Texts();
    if (messages.Complete()) {
        EXPECT_EQ(texts.size(), 1u) << "the user is told why, once";
    }
    return false;
}

// Each block the run asks for is refused in turn, from the first to the last. The sweep runs on the
// linked module, whose messages cost nothing; the loaded one, whose message boxes must be answered,
// is checked where the run reads the image, its selection and (last of all) renders.
TEST_F(FilterRunTest, RefusedMemoryEndsTheRunCleanlyWhereverItHappens)
{
    const HostDocument before = StarfieldDocument(FieldLayout{120, 80, plugInModeRGBColor, false, true, 5, 16});
    const HostDocument reference = FactoryResult(Module(), before);
    int32_t suiteBlocks = 0;
    for (bool suite : {true, false}) {
        int32_t granted = 0;
        while (!RunRefusingAfter(Linked(), suite, granted, before, reference)) {
            ++granted;
            ASSERT_LT(granted, 1000) << "the run never got through";
        }
        // Input, selection, detection shapes, star list, render shapes and the tile all need blocks.
        EXPECT_GE(granted, 6);
        if (suite)
            suiteBlocks = granted;
    }
    for (int32_t granted : {0, 1, suiteBlocks - 1})
        EXPECT_FALSE(RunRefusingAfter(Module(), true, granted, before, reference));
}

TEST_F(FilterRunTest, AHostWithoutAdvanceStateIsToldSoAndNothingIsHeld)
{
    HostOptions options;
    options.advanceState = false;
    Host host(Module(), LoggingHost(options));
    ASSERT_TRUE(host.SetDocument(StarfieldDocument(FieldLayout{60, 40, plugInModeRGBColor, false, false})));
    UserMessageWatch messages;
    EXPECT_EQ(RunAtFactorySettings(&host), errPlugInHostInsufficient);
    if (messages.Complete()) {
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Error - Exiting Plugin / Could not read input image."});
    }
    EXPECT_TRUE(host.Transfers().empty());
    ExpectNothingHeld(host);
}

} // namespace
