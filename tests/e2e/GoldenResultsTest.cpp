// Seeded starfields filtered at factory settings by the module as a host runs it, compared with
// checksums of pictures that were looked at and accepted. The same constants hold for the native
// build and for CorvanePro.8bf under Wine: that is how the shipped module is shown to agree with the
// command-line host. After a deliberate change of the effect, look at the new pictures, then replace
// the checksums.
#include <cstdio>

#include "e2e/E2eSupport.h"

namespace {

std::string Name(const FieldLayout& f)
{
    char text[96];
    std::snprintf(text, sizeof text, "%dx%d mode %d%s%s", f.width, f.height, f.mode,
                  f.transparency ? " transparent" : "", f.selection ? " selected" : "");
    return text;
}

TEST_F(FilterRunTest, StarfieldsGiveTheAcceptedPicturesInEveryModeAndLayout)
{
    // FNV-1a of the result's colour planes, per mode: opaque, transparent, selected, both.
    const int16 modes[] = {plugInModeGrayScale, plugInModeRGBColor, plugInModeGray16,
                           plugInModeRGB48,     plugInModeGray32,   plugInModeRGB96};
    const uint64_t checksums[][4] = {
        {0x05d54c7dbe53bf91ull, 0xa46569334b30c3d4ull, 0x7f9615d097e6b705ull, 0x659f46f08d7a2475ull},
        {0x3ff859e7cb996133ull, 0x09ab678b3df36900ull, 0x607f2321e75c236bull, 0x5fb39bfc20fbf3ecull},
        {0x28d290fcd465301dull, 0xab2514bd26111f69ull, 0xa2152daeb17155a4ull, 0xd2befd2a5234f7c2ull},
        {0xf03643b6335fe4b6ull, 0xf95de4e03342684aull, 0x6adbdc0a09783380ull, 0xc5cfe086332473fdull},
        {0xa629004a052ecd9aull, 0xed40f70c02108560ull, 0x9088ba8e18ca530eull, 0x7b92b415d084a1b6ull},
        {0x4d354458e8578bdeull, 0xc6235b9bfc8ef91aull, 0xd7b3423204b4798eull, 0x1a8b3c5260dbb039ull},
    };
    std::vector<std::pair<FieldLayout, uint64_t>> cases;
    for (size_t m = 0; m < 6; ++m)
        for (size_t layout = 0; layout < 4; ++layout)
            cases.push_back({{300, 200, modes[m], layout % 2 == 1, layout >= 2}, checksums[m][layout]});
    // Stars straddling the seam between the two tiles of a wide field.
    const std::vector<StarfieldStar> seamStars{{2047.5, 20.0, 1.6, 1.5, 1.0, 0.9, 0.7},
                                               {2046.0, 45.0, 2.4, 2.0, 0.7, 0.8, 1.0}};
    cases.push_back({{2100, 64, plugInModeRGB48, false, false, 99, 40, seamStars}, 0xa5bf4e5ffc104a03ull});
    for (const auto& [field, expected] : cases) {
        SCOPED_TRACE(Name(field));
        const HostDocument before = StarfieldDocument(field);
        Host host(Module());
        ASSERT_TRUE(host.SetDocument(before));
        ASSERT_EQ(RunAtFactorySettings(&host), noErr);
        EXPECT_GT(CompareDocuments(before, host.Document()).count, 0) << "no effect at all";
        const uint64_t checksum = ColourPlaneChecksum(host.Document());
        EXPECT_EQ(checksum, expected) << "0x" << std::hex << checksum;
    }
}

} // namespace
