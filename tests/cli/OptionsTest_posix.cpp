// The command line of `corvane apply`.
#include "CliTestSupport.h"
#include "tools/cli/Options.h"

namespace {

std::string ParseError(const std::vector<std::string>& arguments)
{
    ApplyOptions options;
    std::string error;
    EXPECT_FALSE(ParseApplyOptions(arguments, &options, &error));
    return error;
}

int32_t ValueOf(const ApplyOptions& options, DescriptorKeyID key)
{
    for (const ParameterValue& value : options.parameters)
        if (value.key == key)
            return value.value;
    return INT32_MIN;
}

} // namespace

TEST(ApplyOptions, ValuesAtTheEdgesOfTheRangesAreTakenInTheRecordsUnits)
{
    ApplyOptions options;
    std::string error;
    ASSERT_TRUE(ParseApplyOptions({"in.tif", "--angle", "-90.0", "--points=32", "--saturation", "-100", "--flare=0",
                                   "--spikes-only", "--intensity", "100", "--angle", "12.5", "out.png"},
                                  &options, &error))
        << error;
    EXPECT_EQ(options.input, "in.tif");
    EXPECT_EQ(options.output, "out.png");
    EXPECT_EQ(ValueOf(options, FourCC("Angl")), 125); // the later --angle wins
    EXPECT_EQ(ValueOf(options, FourCC("numP")), 32);
    EXPECT_EQ(ValueOf(options, FourCC("Strt")), -100);
    EXPECT_EQ(ValueOf(options, FourCC("sflB")), 0);
    EXPECT_EQ(ValueOf(options, FourCC("opsO")), 1);
    EXPECT_EQ(ValueOf(options, FourCC("Intn")), 100);
    EXPECT_EQ(options.parameters.size(), 6u);
    EXPECT_FALSE(RepeatsLastFilter(options));

    ApplyOptions bare;
    ASSERT_TRUE(ParseApplyOptions({"a.fits", "b.fits", "--mask", "m.png", "--tile", "256"}, &bare, &error));
    EXPECT_TRUE(RepeatsLastFilter(bare));
    EXPECT_EQ(bare.maskPath, "m.png");
    EXPECT_EQ(bare.tileSize, 256);
}

TEST(ApplyOptions, BadValuesAndArgumentsAreExplained)
{
    EXPECT_EQ(ParseError({"a", "b", "--angle", "90.1"}), "--angle must be from -90.0 to 90.0, not 90.1");
    EXPECT_EQ(ParseError({"a", "b", "--angle", "12.34"}),
              "--angle takes degrees with at most one decimal from -90.0 to 90.0, not '12.34'");
    EXPECT_EQ(ParseError({"a", "b", "--points", "0"}), "--points must be from 1 to 32, not 0");
    EXPECT_EQ(ParseError({"a", "b", "--points", "33"}), "--points must be from 1 to 32, not 33");
    EXPECT_EQ(ParseError({"a", "b", "--saturation", "-101"}), "--saturation must be from -100 to 100, not -101");
    EXPECT_EQ(ParseError({"a", "b", "--length", "5.0"}), "--length takes a whole number from 0 to 100, not '5.0'");
    EXPECT_EQ(ParseError({"a", "b", "--length", ""}), "--length takes a whole number from 0 to 100, not ''");
    EXPECT_EQ(ParseError({"a", "b", "--intensity", "99999999999"}),
              "--intensity takes a whole number from 0 to 100, not '99999999999'");
    EXPECT_EQ(ParseError({"a", "b", "--sharpness"}), "--sharpness needs a value");
    EXPECT_EQ(ParseError({"a", "b", "--spikes-only=1"}), "--spikes-only takes no value");
    EXPECT_EQ(ParseError({"a", "b", "--glow", "3"}), "unknown option '--glow' (see corvane --help)");
    EXPECT_EQ(ParseError({"a", "b", "-x"}), "unknown option '-x' (see corvane --help)");
    EXPECT_EQ(ParseError({"a"}), "apply needs an input and an output file");
    EXPECT_EQ(ParseError({"a", "b", "c"}), "apply takes one input and one output file");
    EXPECT_EQ(ParseError({"a", "b", "--tile", "0"}), "--tile takes a whole number of pixels from 1 to 32767, not '0'");
}

TEST(ApplyOptions, DescriptorCarriesTheAngleInDegreesThatTheModuleTurnsBackIntoTheSameTenths)
{
    for (int32_t tenths = -900; tenths <= 900; ++tenths) {
        Descriptor descriptor = DescriptorFromParameters({{FourCC("Angl"), tenths}});
        const DescriptorValue* value = FindValue(descriptor, FourCC("Angl"));
        ASSERT_NE(value, nullptr);
        ASSERT_EQ(value->unit, unitAngle);
        // The module reads value x 10 truncated toward zero.
        ASSERT_EQ(int32_t(value->number * 10.0), tenths);
    }
    Descriptor d = DescriptorFromParameters({{FourCC("numP"), 7}, {FourCC("opsO"), 1}, {FourCC("Lngt"), 30}});
    EXPECT_EQ(FindValue(d, FourCC("numP"))->type, typeInteger);
    EXPECT_EQ(FindValue(d, FourCC("opsO"))->type, typeBoolean);
    EXPECT_EQ(FindValue(d, FourCC("Lngt"))->unit, unitPercent);
    EXPECT_EQ(FindValue(d, FourCC("Lngt"))->number, 30.0);
}
