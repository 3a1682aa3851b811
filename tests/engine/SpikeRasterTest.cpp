#include <set>
#include <utility>

#include "RenderFixture.h"

namespace {

class SpikeShapeTest : public RenderFixture
{
protected:
    const SubShapeEntry& Build(int32_t xPhase, int32_t yPhase) { return Built(&gRenderShapes.spike, xPhase, yPhase); }

    // Directions (degrees clockwise from up, to 15 degrees) of the points more than 40 pixels out.
    std::set<int> FarDirections(int32_t xPhase, int32_t yPhase)
    {
        std::set<int> directions;
        const SubShapeEntry& entry = Build(xPhase, yPhase);
        for (uint32_t i = 0; i < entry.pointCount; ++i) {
            const ShapePoint& p = PointsOf(entry)[i];
            const double degrees = std::atan2(double(p.dx), double(-p.dy)) * 180.0 / 3.141592653589793;
            if (std::hypot(p.dx, p.dy) > 40)
                directions.insert(int(std::lround((degrees < 0 ? degrees + 360 : degrees) / 15)) * 15 % 360);
        }
        return directions;
    }
};

TEST_F(SpikeShapeTest, RaysPointWhereTheAngleSays)
{
    parameters.secondarySpikeIntensity = 0;
    parameters.numberOfPoints = 1;
    for (int32_t phase = 0; phase < 4; ++phase) {
        const SubShapeEntry& up = Build(phase, 3 - phase);
        for (uint32_t i = 0; i < up.pointCount; ++i)
            ASSERT_TRUE(PointsOf(up)[i].dy < 0 && std::abs(PointsOf(up)[i].dx) <= 3) << "phase " << phase;
        EXPECT_EQ(FarDirections(phase, 3 - phase), (std::set<int>{0}));
    }
    parameters.numberOfPoints = 4;
    EXPECT_EQ(FarDirections(1, 2), (std::set<int>{0, 90, 180, 270}));
    parameters.angle = 450;
    EXPECT_EQ(FarDirections(1, 2), (std::set<int>{45, 135, 225, 315}));
}

TEST_F(SpikeShapeTest, OppositeRaysNeverDrawTheSamePixel)
{
    parameters.secondarySpikeIntensity = 0;
    parameters.numberOfPoints = 2;
    for (int16_t angle : {0, 900, 300, 1200})
        for (int32_t phase = 0; phase < 16; ++phase) {
            parameters.angle = angle;
            const SubShapeEntry& entry = Build(phase / 4, phase % 4);
            std::set<std::pair<int, int>> seen;
            for (uint32_t i = 0; i < entry.pointCount; ++i)
                ASSERT_TRUE(seen.insert({PointsOf(entry)[i].dx, PointsOf(entry)[i].dy}).second)
                    << "angle " << angle << " phase " << phase;
        }
}

TEST_F(SpikeShapeTest, LengthZeroDrawsNothingAndTheFanOnlyWhenSwitchedOn)
{
    parameters.length = 0;
    const SubShapeEntry& empty = Build(2, 1);
    EXPECT_EQ(empty.pointCount, 0u);
    EXPECT_TRUE(empty.left == 0 && empty.top == 0 && empty.right == 0 && empty.bottom == 0);

    // With one main spike pointing up, only the fan puts points below the star.
    parameters.length = 50;
    parameters.numberOfPoints = 1;
    auto pointsBelow = [this]() {
        const SubShapeEntry& entry = Build(0, 0);
        uint32_t below = 0;
        for (uint32_t i = 0; i < entry.pointCount; ++i)
            below += PointsOf(entry)[i].dy > 5 ? 1 : 0;
        return below;
    };
    EXPECT_GT(pointsBelow(), 100u);
    parameters.secondarySpikeIntensity = 0;
    EXPECT_EQ(pointsBelow(), 0u);
}

TEST_F(SpikeShapeTest, RectangleCoversEveryPointAndOutlivesInvalidation)
{
    parameters.numberOfPoints = 5;
    parameters.angle = 137;
    SubShapeEntry built[16];
    for (int32_t phase = 0; phase < 16; ++phase) {
        const SubShapeEntry& e = Build(phase / 4, phase % 4);
        for (uint32_t i = 0; i < e.pointCount; ++i) {
            const ShapePoint& p = PointsOf(e)[i];
            ASSERT_TRUE(p.dx >= e.left && p.dx < e.right && p.dy >= e.top && p.dy < e.bottom) << "phase " << phase;
        }
        built[phase] = e;
    }
    parameters.angle = 0;
    RefreshRenderShapes(parameters, gQuality, input.width, input.height);
    const SubShapeEntry& e = gRenderShapes.spike.entries[15];
    EXPECT_EQ(e.pointCount, 0u);
    EXPECT_TRUE(e.left == built[15].left && e.top == built[15].top && e.right == built[15].right &&
                e.bottom == built[15].bottom);
}

} // namespace
