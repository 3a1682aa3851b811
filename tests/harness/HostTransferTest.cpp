#include "FakeModule.h"

namespace {

using HostTransfer = FakeModuleTest;

// plane * 1000 + y * 10 + x: every sample says where it came from.
HostDocument NumberedDocument(int32_t width, int32_t height, int16 mode)
{
    HostDocument doc(width, height, mode);
    doc.Fill([](int32_t plane, int32_t x, int32_t y) { return plane * 1000.0 + y * 10.0 + x; });
    return doc;
}

TEST_F(HostTransfer, ServesInterleavedPlanesInPaddedRowsAndCommitsOutputAtTheNextCall)
{
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(NumberedDocument(5, 4, plugInModeRGB48)));
    Fake().start = [&](FilterRecord* r) {
        r->inRect = r->outRect = MakeRect(1, 1, 4, 3);
        r->inLoPlane = 0;
        r->inHiPlane = 2;
        r->outLoPlane = r->outHiPlane = 1;
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(r->inColumnBytes, 6);
        EXPECT_EQ(r->inPlaneBytes, 2);
        EXPECT_GT(r->inRowBytes, 3 * 6); // rows are never tight
        EXPECT_EQ(r->outColumnBytes, 2);
        // Document (3, 2), plane 2: row 1 of the buffer, column 2, third sample.
        EXPECT_EQ(ReadAt<uint16_t>(r->inData, r->inRowBytes + 2 * 6 + 2 * 2), 2000 + 20 + 3);
        EXPECT_EQ(ReadAt<uint16_t>(r->outData, r->outRowBytes), 1000 + 20 + 1); // starts as the image
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                WriteAt<uint16_t>(r->outData, y * r->outRowBytes + x * 2, 32768);
        EXPECT_EQ(host.Document().Sample(1, 1, 1), 1011.0); // not taken yet
        r->inRect = r->outRect = Rect{};
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(r->inData, nullptr);
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
    const HostDocument& doc = host.Document();
    EXPECT_EQ(doc.Sample(1, 1, 1), 32768.0);
    EXPECT_EQ(doc.Sample(1, 3, 2), 32768.0);
    EXPECT_EQ(doc.Sample(1, 0, 1), 1010.0); // left of the area
    EXPECT_EQ(doc.Sample(1, 1, 3), 1031.0); // below it
    EXPECT_EQ(doc.Sample(0, 1, 1), 11.0);   // another plane
    ASSERT_EQ(host.Transfers().size(), 2u);
    EXPECT_EQ(host.Transfers()[0].inHiPlane, 2);
    EXPECT_FALSE(host.Transfers()[0].coordinates32);
    EXPECT_TRUE(host.Faults().empty());
}

TEST_F(HostTransfer, TakesRectanglesFromBigDocumentOnceTheModuleAsks)
{
    // Wider than the 16-bit rectangles reach.
    HostDocument doc(40000, 2, plugInModeGray32);
    doc.Fill([](int32_t, int32_t x, int32_t y) { return x + y * 0.5; });
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(doc));
    EXPECT_EQ(host.Record()->imageSize.h, 32767);
    ASSERT_NE(host.BigDocument(), nullptr);
    EXPECT_EQ(host.BigDocument()->imageSize32.h, 40000);
    Fake().start = [](FilterRecord* r) {
        r->inRect = MakeRect(0, 0, 1, 1); // ignored once the flag is set
        r->bigDocumentData->PluginUsing32BitCoordinates = 1;
        r->bigDocumentData->inRect32 = VRect{1, 39990, 2, 40000};
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(ReadAt<float>(r->inData, 9 * 4), 39999.5f);
        r->bigDocumentData->inRect32 = VRect{};
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
    ASSERT_GE(host.Transfers().size(), 1u);
    EXPECT_TRUE(host.Transfers()[0].coordinates32);
    EXPECT_EQ(host.Transfers()[0].inRect, (ImageRect{39990, 1, 40000, 2}));
}

TEST_F(HostTransfer, PadsAreasOutsideTheImageAsAsked)
{
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(NumberedDocument(4, 4, plugInModeGrayScale)));
    Fake().start = [](FilterRecord* r) {
        r->inRect = MakeRect(-1, 3, 2, 5); // one column left, one row below
        r->inLoPlane = r->inHiPlane = 0;
        r->inputPadding = 9;
        EXPECT_EQ(r->advanceState(), noErr);
        const uint8_t* in = static_cast<const uint8_t*>(r->inData);
        EXPECT_EQ(in[0], 9);
        EXPECT_EQ(in[1], 30);
        EXPECT_EQ(in[r->inRowBytes + 1], 9);

        r->inputPadding = plugInWantsEdgeReplication;
        EXPECT_EQ(r->advanceState(), noErr);
        in = static_cast<const uint8_t*>(r->inData);
        EXPECT_EQ(in[0], 30);
        EXPECT_EQ(in[r->inRowBytes + 2], 31);

        r->inputPadding = plugInWantsErrorOnBoundsException;
        EXPECT_NE(r->advanceState(), noErr);
        r->inRect = Rect{};
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
}

TEST_F(HostTransfer, SamplesAtWholeNumberRatesAndServesTheSelection)
{
    HostDocument doc = NumberedDocument(8, 8, plugInModeGrayScale);
    doc.SetSelection([](int32_t x, int32_t) { return uint8_t(x < 4 ? 255 : 0); });
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(doc));
    EXPECT_EQ(host.Record()->haveMask, 1);
    EXPECT_EQ(host.Record()->filterCase, 2);
    Fake().start = [](FilterRecord* r) {
        r->inRect = MakeRect(1, 1, 3, 2);
        r->inputRate = 2 * kFixedOne;
        r->maskRect = MakeRect(3, 0, 5, 1);
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(ReadAt<uint8_t>(r->inData, 1), 24); // document (4, 2)
        const uint8_t* mask = static_cast<const uint8_t*>(r->maskData);
        EXPECT_EQ(mask[0], 255);
        EXPECT_EQ(mask[1], 0);
        r->inputRate = kFixedOne + kFixedOne / 2;
        EXPECT_EQ(r->advanceState(), paramErr);
        r->inRect = r->maskRect = Rect{};
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
}

TEST_F(HostTransfer, RefusesPlanesTheDocumentDoesNotHave)
{
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(NumberedDocument(4, 4, plugInModeRGBColor)));
    Fake().start = [](FilterRecord* r) {
        r->inRect = MakeRect(0, 0, 4, 4);
        r->inLoPlane = 1;
        r->inHiPlane = 3; // RGB without transparency has planes 0..2
        EXPECT_EQ(r->advanceState(), paramErr);
        r->inRect = Rect{};
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(host.Faults().size(), 1u);
}

// A module that asks for tiles in Start and lets the host drive Continue; the host loads each tile
// before the call, also when it gives the module no advanceState at all.
void RunTiledThroughContinue(bool withAdvanceState)
{
    HostOptions options;
    options.advanceState = withAdvanceState;
    Host host(FakeEntry, options);
    ASSERT_TRUE(host.SetDocument(NumberedDocument(5, 3, plugInModeGrayScale)));
    int column = 0;
    Fake().start = [&](FilterRecord* r) {
        EXPECT_EQ(r->advanceState != nullptr, withAdvanceState);
        r->inRect = r->outRect = MakeRect(0, 0, 2, 3);
        return noErr;
    };
    Fake().proceed = [&](FilterRecord* r) {
        const uint8_t* in = static_cast<const uint8_t*>(r->inData);
        EXPECT_EQ(in[r->inRowBytes], 10 + column);
        for (int y = 0; y < 3; ++y)
            static_cast<uint8_t*>(r->outData)[y * r->outRowBytes] = 200;
        column += 2;
        if (column >= 5)
            r->inRect = r->outRect = Rect{};
        else
            r->inRect = r->outRect = MakeRect(int16(column), 0, int16(column + 2 > 5 ? 5 : column + 2), 3);
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{2, 3, 4, 4, 4, 5}));
    EXPECT_EQ(host.Document().Sample(0, 0, 2), 200.0);
    EXPECT_EQ(host.Document().Sample(0, 4, 0), 200.0); // the last tile is taken after the loop
    EXPECT_EQ(host.Document().Sample(0, 3, 0), 3.0);
    EXPECT_EQ(host.AdvanceStateCalls(), 0);
}

TEST_F(HostTransfer, ContinueLoopServesTilesWithAndWithoutAdvanceState)
{
    RunTiledThroughContinue(true);
    Fake() = FakeModule{};
    RunTiledThroughContinue(false);
}

TEST_F(HostTransfer, IndependentHostServesFromChannelZeroAndKeepsBuffersWhileRectanglesStay)
{
    Host host(FakeEntry, HostOptions::Independent());
    EXPECT_FALSE(host.SetDocument(HostDocument(4, 4, plugInModeRGB48)));
    HostDocument doc(4, 4, plugInModeRGBColor);
    doc.Fill([](int32_t plane, int32_t x, int32_t y) { return plane * 100.0 + y * 10.0 + x; });
    ASSERT_TRUE(host.SetDocument(doc));
    EXPECT_EQ(host.Record()->hostSig, FourCC("spHO"));
    EXPECT_EQ(host.Record()->sSPBasic, nullptr);
    EXPECT_EQ(host.Record()->descriptorParameters, nullptr);
    EXPECT_EQ(host.Record()->bigDocumentData, nullptr);
    Fake().start = [](FilterRecord* r) {
        r->inRect = MakeRect(0, 1, 2, 2);
        r->inLoPlane = r->inHiPlane = 1;
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(ReadAt<uint8_t>(r->inData, 1), 11); // channel 0, not 1
        EXPECT_EQ(r->inColumnBytes, 0);

        void* before = r->inData;
        r->inLoPlane = 0;
        r->inHiPlane = 2;
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(r->inData, before); // same rectangle: nothing reloaded

        r->inRect = MakeRect(0, 2, 2, 3);
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(ReadAt<uint8_t>(r->inData, 3 + 2), 221); // interleaved, channels 0..2
        r->inRect = Rect{};

        r->outRect = MakeRect(0, 0, 1, 1);
        r->outLoPlane = r->outHiPlane = 2;
        EXPECT_EQ(r->advanceState(), noErr);
        *static_cast<uint8_t*>(r->outData) = 77;
        r->outRect = Rect{};
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(host.Selectors().front(), filterSelectorParameters); // sent on every run
    EXPECT_EQ(host.Document().Sample(0, 0, 0), 77.0);              // plane 2 went to channel 0
    EXPECT_EQ(host.Document().Sample(2, 0, 0), 200.0);
    ASSERT_EQ(host.Transfers().size(), 4u);
    EXPECT_FALSE(host.Transfers()[1].reloaded);
}

} // namespace
