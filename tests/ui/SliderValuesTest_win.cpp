// The arithmetic behind the slider rows, at the boundaries where a wrong rounding, width or divisor
// shows: reading typed text, the display form, stepping and the position under a click.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/FilterParameters.h"
#include "ui/SliderTable.h"
#include "ui/SliderValues.h"

namespace {

const SliderBinding& Intensity()
{
    return gSliders[0];
}
const SliderBinding& Angle()
{
    return gSliders[2];
}
const SliderBinding& Points()
{
    return gSliders[3];
}

TEST(SliderValues, TypedTextIsReadUpToTheFirstUnusableCharacterAndTruncatedTowardZero)
{
    EXPECT_EQ(ParseSliderText(Angle(), "45.55", 0), 455);
    EXPECT_EQ(ParseSliderText(Angle(), "-45.55", 0), -455);
    EXPECT_EQ(ParseSliderText(Angle(), "-0.09", 7), 0);
    EXPECT_EQ(ParseSliderText(Angle(), "-", 7), 0);
    EXPECT_EQ(ParseSliderText(Angle(), ".", 7), 0);
    EXPECT_EQ(ParseSliderText(Angle(), "+12", 7), 120);
    EXPECT_EQ(ParseSliderText(Intensity(), "12ab", 50), 12);
    EXPECT_EQ(ParseSliderText(Intensity(), "", 37), 37) << "an empty box leaves the value";
    EXPECT_EQ(ParseSliderText(Points(), "-", 4), 1) << "0 is below the range of points";
}

TEST(SliderValues, ValuesOutsideTheRangeClampWithoutOverflowing)
{
    EXPECT_EQ(ParseSliderText(Intensity(), "2000", 50), 100);
    EXPECT_EQ(ParseSliderText(Angle(), "9999", 0), 900);
    EXPECT_EQ(ParseSliderText(Angle(), "-1e9", 0), -900);
    EXPECT_EQ(ParseSliderText(Angle(), "1e30", 0), 900);
    EXPECT_EQ(ParseSliderText(Intensity(), "nan", 50), 0);
    EXPECT_EQ(ClampToRow(Points(), 33), 32);
    EXPECT_EQ(ClampToRow(gSliders[5], -101), -100);
}

TEST(SliderValues, TheDisplayFormShowsTenthsOfADegreeWithOneDecimal)
{
    char text[16];
    const std::pair<int32_t, const char*> angles[] = {{-455, "-45.5"}, {900, "90.0"}, {-900, "-90.0"},
                                                      {-1, "-0.1"},    {0, "0.0"},    {1, "0.1"}};
    for (const auto& [value, shown] : angles) {
        FormatSliderValue(Angle(), value, text, sizeof text);
        EXPECT_STREQ(text, shown);
    }
    FormatSliderValue(gSliders[5], -100, text, sizeof text);
    EXPECT_STREQ(text, "-100");
}

TEST(SliderValues, SteppingStopsAtTheEndsEvenForHugeRepeats)
{
    EXPECT_EQ(StepValue(Points(), 31, 2, true), 32);
    EXPECT_EQ(StepValue(Points(), 32, 2, true), 32);
    EXPECT_EQ(StepValue(Angle(), -850, 100, false), -900);
    // 400 repeats of a page: in 16 bits this would wrap to the other end.
    EXPECT_EQ(StepValue(Angle(), 0, 100 * 400, true), 900);
    EXPECT_EQ(StepValue(Angle(), 0, 100 * 400, false), -900);
}

TEST(SliderValues, AClickMapsTheChannelOntoTheRangeAndANarrowChannelChangesNothing)
{
    // Channel 10..110, thumb 10 wide: positions 0..100 put the thumb's centre at 15..105.
    const TrackbarGeometry geometry{10, 110, 10};
    EXPECT_EQ(PositionUnderClick(Intensity(), geometry, 15, 50), 0);
    EXPECT_EQ(PositionUnderClick(Intensity(), geometry, 105, 50), 100);
    EXPECT_EQ(PositionUnderClick(Intensity(), geometry, 60, 0), 50);
    EXPECT_EQ(PositionUnderClick(Intensity(), geometry, 0, 50), 0) << "left of the channel";
    EXPECT_EQ(PositionUnderClick(Intensity(), geometry, 500, 50), 100) << "right of the channel";
    EXPECT_EQ(PositionUnderClick(Angle(), geometry, 60, 0), 0);
    EXPECT_EQ(PositionUnderClick(Angle(), geometry, 15, 0), -900);

    for (const TrackbarGeometry narrow : {TrackbarGeometry{10, 20, 10}, TrackbarGeometry{10, 15, 10}})
        EXPECT_EQ(PositionUnderClick(Intensity(), narrow, 12, 37), 37);
}

TEST(SliderValues, TheTableBindsEachRowToItsFieldWithTheFactoryDefault)
{
    FilterParameters factory = kFactoryParameters;
    for (int row = 0; row < kSliderCount; ++row) {
        EXPECT_EQ(gSliders[row].defaultValue, *SliderField(&factory, row)) << "row " << row;
        EXPECT_EQ(gSliders[row].textLimit, 4);
    }
    EXPECT_EQ(SliderField(&factory, 2), &factory.angle);
    EXPECT_EQ(SliderField(&factory, 4), &factory.spikeSharpness);
    EXPECT_EQ(SliderField(&factory, 9), &factory.softFlareBrightness);
}

} // namespace
