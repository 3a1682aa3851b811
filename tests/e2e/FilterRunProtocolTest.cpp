// The filter run as the host sees it: which tiles arrive in which order, what the progress bar is told,
// how an abort or an interrupted render plays out, and that no state of one run leaks into the next.

#include "e2e/E2eSupport.h"
#include "engine/RenderShapes.h"
#include "engine/StarDetection.h"

namespace {

// A dark greyscale document with one small star centred on the given pixel.
HostDocument DarkGreyWithStar(int32_t width, int32_t height, int32_t starX, int32_t starY)
{
    HostDocument document(width, height, plugInModeGrayScale);
    document.Fill([&](int32_t, int32_t x, int32_t y) {
        const int32_t d2 = (x - starX) * (x - starX) + (y - starY) * (y - starY);
        return d2 > 25 ? 6.0 : 6.0 + 249.0 * PortableExp(-d2 / 4.5);
    });
    return document;
}

// Samples inside (or outside) `rect` that differ between the two documents.
int64_t Changes(const HostDocument& a, const HostDocument& b, const ImageRect& rect, bool inside)
{
    int64_t count = 0;
    for (int32_t p = 0; p < a.PlaneCount(); ++p)
        for (int32_t y = 0; y < a.Height(); ++y)
            for (int32_t x = 0; x < a.Width(); ++x) {
                const bool within = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                count += within == inside && a.Sample(p, x, y) != b.Sample(p, x, y) ? 1 : 0;
            }
    return count;
}

TEST_F(FilterRunTest, TilesReachTheHostRowByRowEachWithItsProgressStep)
{
    struct Case
    {
        int32_t width, height, starX, starY; // the star by a tile corner, so that it reaches into every tile
        ImageRect filter;
        std::vector<ImageRect> tiles;
    };
    const std::vector<ImageRect> quarters{
        {0, 0, 2048, 2048}, {2048, 0, 4096, 2048}, {0, 2048, 2048, 2049}, {2048, 2048, 4096, 2049}};
    const Case cases[] = {
        {4096, 2049, 2047, 2040, {0, 0, 4096, 2049}, quarters},
        {1, 1, -10, -10, {0, 0, 1, 1}, {{0, 0, 1, 1}}},
        // Tiles start at the filter rectangle's origin, not at the document's.
        {2200, 2100, 2147, 1000, {100, 50, 2200, 2050}, {{100, 50, 2148, 2050}, {2148, 50, 2200, 2050}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.filter));
        HostDocument before = DarkGreyWithStar(c.width, c.height, c.starX, c.starY);
        before.SetFilterRect(c.filter);
        Host host(Module(), LoggingHost());
        ASSERT_TRUE(host.SetDocument(before));
        ASSERT_EQ(RunAtFactorySettings(&host), noErr);

        EXPECT_EQ(WrittenTiles(host), c.tiles);
        for (const ImageRect& tile : c.tiles)
            EXPECT_EQ(OutputRequestsFor(host, tile), 1) << testing::PrintToString(tile) << " is written once";
        EXPECT_EQ(ProgressOf(host), PlainProgress(int32_t(c.tiles.size())));
        EXPECT_EQ(Changes(before, host.Document(), c.filter, false), 0) << "changed outside the filter rectangle";
        if (c.tiles.size() > 1) {
            for (const ImageRect& tile : c.tiles)
                EXPECT_GT(Changes(before, host.Document(), tile, true), 0) << testing::PrintToString(tile);
        }
        ExpectNothingHeld(host);
    }
    // Only a host asked to keeps the log: a run with one-pixel tiles would make millions of entries.
    HostOptions options;
    options.tileWidth = options.tileHeight = 64;
    Host host(Module(), options);
    ASSERT_TRUE(host.SetDocument(DarkGreyWithStar(300, 200, 150, 100)));
    ASSERT_EQ(RunAtFactorySettings(&host), noErr);
    EXPECT_GT(host.AdvanceStateCalls(), 0);
    EXPECT_TRUE(host.Transfers().empty());
    EXPECT_TRUE(host.ProgressCalls().empty());
}

// Two tiles side by side, stars in both.
HostDocument TwoTileField()
{
    return StarfieldDocument(FieldLayout{2100, 40, plugInModeGrayScale, false, false, 77, 40});
}
const ImageRect kFirstTile{0, 0, 2048, 40};

TEST_F(FilterRunTest, AnAbortAfterATileEndsTheRunBeforeTheNext)
{
    HostOptions options;
    options.abortAt = 1; // the host's cancel is first asked after the first tile
    Host host(Module(), LoggingHost(options));
    ASSERT_TRUE(host.SetDocument(TwoTileField()));
    UserMessageWatch messages;
    EXPECT_EQ(RunAtFactorySettings(&host), userCanceledErr);
    EXPECT_EQ(WrittenTiles(host), std::vector<ImageRect>{kFirstTile});
    EXPECT_EQ(host.AbortCalls(), 1);
    EXPECT_EQ(host.Transfers().back().outRect, kFirstTile) << "no transfer after the cancel";
    EXPECT_TRUE(messages.Texts().empty()) << "a cancel is silent";
    ExpectNothingHeld(host);
}

// The engine polls whether user input waits; the tests' answers steer the render.
int32_t gInterruptions;
const Host* gHost;

TEST_F(FilterRunTest, AnInterruptedRenderIsResumedAndItsTileWrittenOnce)
{
    const HostDocument before = StarfieldDocument(FieldLayout{300, 200, plugInModeRGBColor, false, false});
    const HostDocument reference = FactoryResult(Linked(), before);
    gInterruptions = 0;
    SetUserInputPendingHook([] { // input waits once the detection is done, for the first three polls
        if (!gDetection.finished || gInterruptions == 3)
            return false;
        ++gInterruptions;
        return true;
    });
    Host host(Linked(), LoggingHost());
    ASSERT_TRUE(host.SetDocument(before));
    ASSERT_EQ(RunAtFactorySettings(&host), noErr);
    EXPECT_EQ(gInterruptions, 3);

    // Four render calls, each followed by a report that leaves the count alone; then the write.
    const std::vector<std::pair<int32_t, int32_t>> progress{{0, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {2, 2}};
    EXPECT_EQ(ProgressOf(host), progress);
    EXPECT_EQ(OutputRequestsFor(host, ImageRect{0, 0, 300, 200}), 3) << "three planes, written once";
    EXPECT_EQ(host.AbortCalls(), 4) << "the host may cancel after every interruption and after the tile";
    const DocumentDifference difference = CompareDocuments(reference, host.Document());
    EXPECT_EQ(difference.count, 0) << DescribeDifference(difference);
}

TEST_F(FilterRunTest, AnAbortDuringATileLeavesNothingStaleForTheNextRun)
{
    const HostDocument before = TwoTileField();
    const HostDocument reference = FactoryResult(Linked(), before);
    {
        HostOptions options;
        options.abortAt = 2; // the first call follows the first tile, the second the interruption
        Host host(Linked(), LoggingHost(options));
        gHost = &host;
        gInterruptions = 0;
        SetUserInputPendingHook([] { // once, while the second tile is rendered (the first is written)
            return gDetection.finished && !WrittenTiles(*gHost).empty() && gInterruptions++ < 1;
        });
        ASSERT_TRUE(host.SetDocument(before));
        EXPECT_EQ(RunAtFactorySettings(&host), userCanceledErr);
        SetUserInputPendingHook(nullptr);
        EXPECT_EQ(gInterruptions, 1);
        EXPECT_EQ(WrittenTiles(host), std::vector<ImageRect>{kFirstTile});
        EXPECT_EQ(host.Transfers().back().outRect, kFirstTile) << "no transfer after the cancel";
        ExpectNothingHeld(host);
    }
    // The interrupted render of the second tile must not be taken up by the next run.
    EXPECT_FALSE(gDetection.finished);
    Host host(Linked());
    ASSERT_TRUE(host.SetDocument(before));
    ASSERT_EQ(RunAtFactorySettings(&host), noErr);
    const DocumentDifference difference = CompareDocuments(reference, host.Document());
    EXPECT_EQ(difference.count, 0) << DescribeDifference(difference);
}

TEST_F(FilterRunTest, ARenderThatStopsForNoReasonEndsTheRunInsteadOfRetryingForever)
{
    // The spike shape loses its builder in the middle of a render: the next star's stamp fails without
    // anything having set a result code, as an internal fault would.
    gInterruptions = 0;
    SetUserInputPendingHook([] {
        if (gDetection.finished && gInterruptions++ == 0)
            ClearShape(&gRenderShapes.spike);
        return false;
    });
    Host host(Linked(), LoggingHost());
    ASSERT_TRUE(host.SetDocument(StarfieldDocument(FieldLayout{300, 200, plugInModeRGBColor, false, false})));
    UserMessageWatch messages;
    EXPECT_EQ(RunAtFactorySettings(&host), paramErr);
    EXPECT_TRUE(WrittenTiles(host).empty());
    EXPECT_TRUE(messages.Texts().empty()) << "an internal fault goes to the debug log only";
    ExpectNothingHeld(host);

    std::string log;
    for (const auto& file : std::filesystem::directory_iterator(roots_.logs()))
        log += ReadLogText(file.path());
    EXPECT_NE(log.find("StampShape() found a shape without a builder."), std::string::npos) << log;
}

} // namespace
