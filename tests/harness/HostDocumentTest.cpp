#include <cmath>

#include <gtest/gtest.h>

#include "tools/harness/HostDocument.h"

namespace {

TEST(HostDocument, StoresSamplesInTheHostsScales)
{
    HostDocument eight(2, 1, plugInModeGrayScale);
    eight.SetSample(0, 0, 0, 254.5);
    eight.SetSample(0, 1, 0, 300.0);
    EXPECT_EQ(eight.Sample(0, 0, 0), 255.0);
    EXPECT_EQ(eight.Sample(0, 1, 0), 255.0);

    HostDocument sixteen(1, 1, plugInModeRGB48, true);
    EXPECT_EQ(sixteen.PlaneCount(), 4);
    sixteen.SetSample(3, 0, 0, 40000.0); // the host's 16-bit range ends at 32768
    sixteen.SetSample(1, 0, 0, -3.0);
    EXPECT_EQ(sixteen.Sample(3, 0, 0), 32768.0);
    EXPECT_EQ(sixteen.Sample(1, 0, 0), 0.0);

    HostDocument deep(1, 1, plugInModeRGB96);
    deep.SetSample(0, 0, 0, 1.5); // out-of-range floats are kept for tests that need them
    EXPECT_EQ(deep.Sample(0, 0, 0), 1.5);
    EXPECT_FALSE(HostDocument(4, 4, plugInModeCMYKColor).IsValid());
}

TEST(HostDocument, ComparisonFindsTheFirstDifferenceAndHonoursTheTolerance)
{
    HostDocument a(3, 2, plugInModeGray32);
    a.Fill([](int32_t, int32_t x, int32_t y) { return x + y; });
    HostDocument b = a;
    EXPECT_EQ(CompareDocuments(a, b).count, 0);
    b.SetSample(0, 2, 0, 2.25);
    b.SetSample(0, 1, 1, 2.5);
    DocumentDifference d = CompareDocuments(a, b);
    EXPECT_EQ(d.count, 2);
    EXPECT_EQ(d.x, 2);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.largest, 0.5);
    EXPECT_EQ(CompareDocuments(a, b, 0.3).count, 1);

    a.SetSample(0, 0, 0, std::nan(""));
    b.SetSample(0, 0, 0, std::nan(""));
    EXPECT_EQ(CompareDocuments(a, b).count, 2); // NaN matches NaN
    b.SetSample(0, 0, 0, 0.0);
    EXPECT_EQ(CompareDocuments(a, b).count, 3);
    EXPECT_TRUE(CompareDocuments(a, HostDocument(3, 2, plugInModeGray16)).shapeDiffers);
}

} // namespace
