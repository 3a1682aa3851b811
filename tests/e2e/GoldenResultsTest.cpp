// Seeded starfields filtered at factory settings by the module as a host runs it, compared with
// checksums of pictures that were looked at and accepted. The same constants hold for the native
// build and for CorvanePro.8bf under Wine: that is how the shipped module is shown to agree with the
// command-line host. After a deliberate change of the effect, look at the new pictures, then replace
// the checksums.
#include <cstdio>

#include "e2e/E2eSupport.h"

namespace {

struct GoldenCase
{
    FieldLayout field;
    uint64_t checksum; // FNV-1a of the result's colour planes
};

std::string Name(const FieldLayout& f)
{
    char text[96];
    std::snprintf(text, sizeof text, "%dx%d mode %d%s%s", f.width, f.height, f.mode,
                  f.transparency ? " transparent" : "", f.selection ? " selected" : "");
    return text;
}

TEST_F(FilterRunTest, StarfieldsGiveTheAcceptedPicturesInEveryModeAndLayout)
{
    constexpr int16 kGrey8 = plugInModeGrayScale, kRgb8 = plugInModeRGBColor, kGrey16 = plugInModeGray16,
                    kRgb16 = plugInModeRGB48, kGrey32 = plugInModeGray32, kRgb32 = plugInModeRGB96;
    // Stars straddling the seam between the two tiles of the wide field.
    const std::vector<StarfieldStar> seamStars{{2047.5, 20.0, 1.6, 1.5, 1.0, 0.9, 0.7},
                                               {2046.0, 45.0, 2.4, 2.0, 0.7, 0.8, 1.0}};
    const GoldenCase cases[] = {
        {{300, 200, kGrey8, false, false}, 0x05d54c7dbe53bf91ull},
        {{300, 200, kGrey8, true, false}, 0xa46569334b30c3d4ull},
        {{300, 200, kGrey8, false, true}, 0x7f9615d097e6b705ull},
        {{300, 200, kGrey8, true, true}, 0x659f46f08d7a2475ull},
        {{300, 200, kRgb8, false, false}, 0x3ff859e7cb996133ull},
        {{300, 200, kRgb8, true, false}, 0x09ab678b3df36900ull},
        {{300, 200, kRgb8, false, true}, 0x607f2321e75c236bull},
        {{300, 200, kRgb8, true, true}, 0x5fb39bfc20fbf3ecull},
        {{300, 200, kGrey16, false, false}, 0x28d290fcd465301dull},
        {{300, 200, kGrey16, true, false}, 0xab2514bd26111f69ull},
        {{300, 200, kGrey16, false, true}, 0xa2152daeb17155a4ull},
        {{300, 200, kGrey16, true, true}, 0xd2befd2a5234f7c2ull},
        {{300, 200, kRgb16, false, false}, 0xf03643b6335fe4b6ull},
        {{300, 200, kRgb16, true, false}, 0xf95de4e03342684aull},
        {{300, 200, kRgb16, false, true}, 0x6adbdc0a09783380ull},
        {{300, 200, kRgb16, true, true}, 0xc5cfe086332473fdull},
        {{300, 200, kGrey32, false, false}, 0xa629004a052ecd9aull},
        {{300, 200, kGrey32, true, false}, 0xed40f70c02108560ull},
        {{300, 200, kGrey32, false, true}, 0x9088ba8e18ca530eull},
        {{300, 200, kGrey32, true, true}, 0x7b92b415d084a1b6ull},
        {{300, 200, kRgb32, false, false}, 0x4d354458e8578bdeull},
        {{300, 200, kRgb32, true, false}, 0xc6235b9bfc8ef91aull},
        {{300, 200, kRgb32, false, true}, 0xd7b3423204b4798eull},
        {{300, 200, kRgb32, true, true}, 0x1a8b3c5260dbb039ull},
        {{2100, 64, kRgb16, false, false, 99, 40, seamStars}, 0xa5bf4e5ffc104a03ull},
    };
    for (const GoldenCase& c : cases) {
        const std::string name = Name(c.field);
        SCOPED_TRACE(name);
        const HostDocument before = StarfieldDocument(c.field);
        Host host(Module());
        ASSERT_TRUE(host.SetDocument(before));
        ASSERT_EQ(RunAtFactorySettings(&host), noErr);
        EXPECT_GT(CompareDocuments(before, host.Document()).count, 0) << "no effect at all";
        const uint64_t checksum = ColourPlaneChecksum(host.Document());
        EXPECT_EQ(checksum, c.checksum) << "0x" << std::hex << checksum;
    }
}

} // namespace
