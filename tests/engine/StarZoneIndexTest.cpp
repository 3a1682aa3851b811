// The zone tests through the cell index against a plain scan of every star: the same stars found, left
// out and switched off, wherever the stars lie relative to the cells and the image.
#include "DetectionFixture.h"

#include <algorithm>
#include <cstring>

#include "engine/FloodFill.h"
#include "engine/RadialProfile.h"
#include "engine/StarRefinement.h"
#include "engine/StarZoneIndex.h"

using namespace detection_test;

namespace {

const uint32_t kWhite[3] = {kFractionOne, kFractionOne, kFractionOne};

int64_t DistanceSquared(const StarRecord& s, int32_t x, int32_t y)
{
    const int64_t dx = int64_t(s.x) - x, dy = int64_t(s.y) - y;
    return dx * dx + dy * dy;
}

// The slow, obviously correct model: every star of the list is looked at, in list order.
struct ReferenceList
{
    std::vector<StarRecord> stars;

    bool Inside(int32_t x, int32_t y) const
    {
        return std::any_of(stars.begin(), stars.end(),
                           [&](const StarRecord& s) { return DistanceSquared(s, x, y) <= s.radiusSquared; });
    }

    // Adds as AddStar(p, r2, 1000, kWhite, enabled) would, record for record.
    void Add(const StarPosition& p, float r2, bool enabled)
    {
        for (const StarRecord& s : stars) {
            if (s.x == p.x && s.xPhase == p.xPhase && s.y == p.y && s.yPhase == p.yPhase)
                return;
        }
        const int32_t zone = int32_t(r2 + 0.5f);
        bool blocked = false;
        for (StarRecord& s : stars) {
            if (DistanceSquared(s, p.x, p.y) >= std::max(zone, s.radiusSquared))
                continue;
            if (enabled && zone > s.radiusSquared)
                s.spikesEnabled = 0;
            else
                blocked = true;
        }
        const uint32_t c = MulFraction(1000, kFractionOne);
        if (!blocked)
            stars.push_back({p.x, p.xPhase, p.y, p.yPhase, zone, 1000, c, c, c, enabled ? kFractionOne : 0, ~0u});
    }

    bool Matches() const
    {
        return gStarList.starCount == stars.size() &&
               std::memcmp(StarRecords(), stars.data(), stars.size() * sizeof(StarRecord)) == 0;
    }
};

int gPolls;
int gInterruptAtPoll;

} // namespace

TEST_F(DetectionFixture, IndexedZoneTestsMatchAFullScanOnSeededCrowds)
{
    constexpr int32_t kCell = 1 << kZoneCellShift;
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        SeededRandom random(seed);
        ResetEngine();
        // An image off the origin, and stars up to 40 pixels outside it, which go to the edge cells.
        const ImageRect rect{-37 + int32_t(seed), 11, 263 + int32_t(seed * 7), 211};
        ASSERT_TRUE(PrepareStarZoneIndex(rect));
        auto coordinate = [&](int32_t low, int32_t high) {
            const int32_t v = low - 40 + int32_t(random.Next() % uint64_t(high - low + 80));
            if (random.Uniform() < 0.7)
                return v;
            // Onto either side of a cell border.
            return low + ((v - low + 2 * kCell) / kCell - 2) * kCell - int32_t(random.Next() % 2);
        };
        ReferenceList reference;
        std::vector<StarPosition> tried;
        for (int32_t attempt = 0; attempt < 1500; ++attempt) {
            StarPosition p{coordinate(rect.left, rect.right), int32_t(random.Next() % 4),
                           coordinate(rect.top, rect.bottom), int32_t(random.Next() % 4)};
            if (!tried.empty() && random.Uniform() < 0.1)
                p = tried[random.Next() % tried.size()]; // exact duplicates, whatever their zone
            tried.push_back(p);
            // Mostly small stars, some as large as a zone can be, some with whole-number zones.
            float r2 = random.Uniform() < 0.03 ? float(random.Between(1000.0, 16384.4)) : float(random.Between(0, 60));
            if (random.Uniform() < 0.3)
                r2 = float(int32_t(r2));
            const bool enabled = random.Uniform() < 0.8;
            AddStar(p, r2, 1000, kWhite, enabled);
            reference.Add(p, r2, enabled);
            ASSERT_TRUE(StarZoneIndexInUse());
            ASSERT_TRUE(reference.Matches()) << "seed " << seed << ", attempt " << attempt;
            for (int32_t q = 0; q < 4; ++q) {
                const int32_t x = coordinate(rect.left, rect.right), y = coordinate(rect.top, rect.bottom);
                ASSERT_EQ(InsideStarZone(x, y), reference.Inside(x, y)) << x << ", " << y << " seed " << seed;
            }
        }
        EXPECT_GT(gStarList.starCount, 100u);
    }
}

TEST_F(DetectionFixture, DetectionFindsTheSameListWithAndWithoutTheIndex)
{
    const StarfieldOptions options{420, 300, 77, 700}; // width, height, seed, stars
    const LinearImage picture = RenderStarfield(options, GenerateStars(options));
    SetUserInputPendingHook([] { return ++gPolls == gInterruptAtPoll; });
    std::vector<StarRecord> lists[2];
    for (const bool indexed : {true, false}) {
        UseImage(picture);
        ResetEngine();
        gPolls = 0;
        gInterruptAtPoll = indexed ? 6 * 150 : 1; // halfway, or before any star
        EXPECT_EQ(FindStars(input), WorkStatus::Interrupted);
        if (indexed)
            EXPECT_TRUE(StarZoneIndexInUse() && gStarZoneIndex.starCount > 50) << gStarZoneIndex.starCount;
        else
            ReleaseStarZoneIndex();
        while (FindStars(input) == WorkStatus::Interrupted) {
        }
        EXPECT_EQ(gStarZoneIndex.cellHeads.data, nullptr) << "released once the list is complete";
        lists[indexed] = Stars();
    }
    ASSERT_GT(lists[1].size(), 200u);
    ASSERT_EQ(lists[0].size(), lists[1].size());
    EXPECT_EQ(std::memcmp(lists[0].data(), lists[1].data(), lists[1].size() * sizeof(StarRecord)), 0);
}

TEST_F(DetectionFixture, IndexThatCannotGrowLeavesTheZoneTestsToTheFullScan)
{
    // Room in the list for more stars than the index's first block of links holds.
    ASSERT_EQ(GrowBuffer(4096 * sizeof(StarRecord), &gStarList.records), noErr);
    gStarList.capacity = 4096;
    ASSERT_TRUE(PrepareStarZoneIndex(ImageRect{0, 0, 200, 200}));
    ReferenceList reference;
    for (int32_t i = 0; i < 2500; ++i) {
        HeapHostMemory::RefuseAll() = i >= 2048;
        const StarPosition p{(i % 50) * 4, 0, (i / 50) * 4, 0};
        for (const float r2 : {2.0f, 3.0f}) { // the second is a duplicate
            AddStar(p, r2, 1000, kWhite, true);
            reference.Add(p, r2, true);
        }
    }
    EXPECT_FALSE(StarZoneIndexInUse());
    EXPECT_TRUE(reference.Matches());
    EXPECT_TRUE(InsideStarZone(197, 196) && !InsideStarZone(198, 198));
}
