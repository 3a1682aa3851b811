// 2026-12-06: an independent host ('spHO') serves every plane request from channel 0 and reloads its
// buffers only when the rectangle changes. The module asks such hosts for all planes of a tile at once;
// the picture must be the one a reference host gets, which is still asked one plane at a time.
#include "e2e/E2eSupport.h"

namespace {

// Input and output requests, and how many of each named one plane or all of them.
struct PlaneRequests
{
    int32_t in = 0, inOne = 0, inAll = 0;
    int32_t out = 0, outOne = 0, outAll = 0;
};

PlaneRequests CountPlaneRequests(const Host& host, int32_t inPlanes, int32_t outPlanes)
{
    PlaneRequests n;
    for (const TransferRequest& t : host.Transfers()) {
        if (!IsEmptyRect(t.inRect)) {
            ++n.in;
            n.inOne += t.inLoPlane == t.inHiPlane ? 1 : 0;
            n.inAll += t.inLoPlane == 0 && t.inHiPlane == inPlanes - 1 ? 1 : 0;
        }
        if (!IsEmptyRect(t.outRect)) {
            ++n.out;
            n.outOne += t.outLoPlane == t.outHiPlane ? 1 : 0;
            n.outAll += t.outLoPlane == 0 && t.outHiPlane == outPlanes - 1 ? 1 : 0;
        }
    }
    return n;
}

TEST_F(FilterRunTest, AnIndependentHostGetsThePictureAReferenceHostGets)
{
    const FieldLayout fields[] = {
        {240, 160, plugInModeRGBColor, false, false}, {240, 160, plugInModeRGBColor, false, true},
        {240, 160, plugInModeRGBColor, true, true},   {240, 160, plugInModeGrayScale, false, false},
        {240, 160, plugInModeGrayScale, false, true},
    };
    // The independent host sends Parameters on every run and has no registry: the parameters come
    // back from the settings file.
    PersistFactorySettingsToFile(Module());
    for (const FieldLayout& field : fields) {
        const HostDocument before = StarfieldDocument(field);
        const int32_t colourPlanes = before.ColorPlanes();
        const int32_t inPlanes = before.PlaneCount();
        SCOPED_TRACE(std::to_string(inPlanes) + " planes" + (field.selection ? ", selection" : ""));

        HostDocument reference;
        {
            Host host(Module(), LoggingHost());
            ASSERT_TRUE(host.SetDocument(before));
            ASSERT_EQ(RunAtFactorySettings(&host), noErr);
            reference = host.Document();
            // A reference host ('8BIM') is still asked one plane at a time: one 1024 tile per plane.
            const PlaneRequests n = CountPlaneRequests(host, inPlanes, colourPlanes);
            EXPECT_EQ(n.in, inPlanes);
            EXPECT_EQ(n.inOne, n.in);
            EXPECT_EQ(n.out, colourPlanes);
            EXPECT_EQ(n.outOne, n.out);
        }
        for (int16 tile : {int16(64), int16(1024)}) {
            SCOPED_TRACE("host tiles of " + std::to_string(tile));
            HostOptions options = HostOptions::Independent();
            options.tileWidth = options.tileHeight = tile;
            Host host(Module(), LoggingHost(options));
            ASSERT_TRUE(host.SetDocument(before));
            ASSERT_EQ(host.RunRepeat(), noErr);
            const DocumentDifference difference = CompareDocuments(reference, host.Document());
            EXPECT_EQ(difference.count, 0) << DescribeDifference(difference);
            const int32_t inputTiles = ((240 + tile - 1) / tile) * ((160 + tile - 1) / tile);
            const PlaneRequests n = CountPlaneRequests(host, inPlanes, colourPlanes);
            EXPECT_EQ(n.in, inputTiles);
            EXPECT_EQ(n.inAll, n.in) << "every request carries all planes";
            EXPECT_EQ(n.out, 1) << "one result tile";
            EXPECT_EQ(n.outAll, n.out);
            ExpectNothingHeld(host);
        }
    }
}

} // namespace
