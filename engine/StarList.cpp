#include "engine/StarList.h"

#include <algorithm>

#include "engine/QualityMode.h"
#include "engine/StarZoneIndex.h"

StarList gStarList;

namespace {

constexpr uint32_t kStarGrowthRecords = 2048;

inline int64_t DistanceSquared(const StarRecord& star, int32_t x, int32_t y)
{
    const int64_t dx = int64_t(star.x) - x;
    const int64_t dy = int64_t(star.y) - y;
    return dx * dx + dy * dy;
}

bool MakeRoomForOneMore()
{
    if (gStarList.starCount < gStarList.capacity)
        return true;
    const uint64_t records = uint64_t(gStarList.capacity) + kStarGrowthRecords;
    const uint64_t bytes = records * sizeof(StarRecord);
    if (bytes > UINT32_MAX || GrowBuffer(uint32_t(bytes), &gStarList.records) != noErr)
        return false;
    gStarList.capacity = uint32_t(records);
    return true;
}

} // namespace

bool InsideStarZone(int32_t x, int32_t y)
{
    const StarRecord* stars = StarRecords();
    return VisitStarsNear(x, y, 0,
                          [&](uint32_t i) { return DistanceSquared(stars[i], x, y) <= stars[i].radiusSquared; });
}

void AddStar(const StarPosition& position, float radiusSquared, uint32_t brightness, const uint32_t colour[3],
             bool enabled)
{
    StarRecord* stars = StarRecords();
    const int32_t x = position.x, y = position.y;
    // A duplicate lies at distance 0, so it is among the stars near the position whatever the zones.
    const bool duplicate = VisitStarsNear(x, y, 0, [&](uint32_t i) {
        return stars[i].x == x && stars[i].xPhase == position.xPhase && stars[i].y == y &&
               stars[i].yPhase == position.yPhase;
    });
    if (duplicate)
        return;

    // A larger star with spikes silences the smaller ones it overlaps; anything else that overlaps an
    // existing star is left out. The silencing stands even when the new star is then left out. Each
    // star's fate depends on that star alone, so the order in which they are met does not matter.
    const int32_t zone = int32_t(radiusSquared + 0.5f);
    bool blocked = false;
    VisitStarsNear(x, y, zone, [&](uint32_t i) {
        const int64_t reach = std::max(zone, stars[i].radiusSquared);
        if (DistanceSquared(stars[i], x, y) >= reach)
            return false;
        if (enabled && zone > stars[i].radiusSquared)
            stars[i].spikesEnabled = 0;
        else
            blocked = true;
        return false;
    });
    if (blocked || !MakeRoomForOneMore())
        return;

    StarRecord& star = StarRecords()[gStarList.starCount++];
    star.x = position.x;
    star.xPhase = position.xPhase;
    star.y = position.y;
    star.yPhase = position.yPhase;
    star.radiusSquared = zone;
    star.brightness = std::min(brightness, kFractionOne);
    star.red = MulFraction(star.brightness, colour[0]);
    star.green = MulFraction(star.brightness, colour[1]);
    star.blue = MulFraction(star.brightness, colour[2]);
    star.spikesEnabled = enabled ? kFractionOne : 0;
    star.reserved = 0xFFFFFFFF;
    if (enabled)
        gStarList.maxStarChannel = std::max({gStarList.maxStarChannel, star.red, star.green, star.blue});
    FileStarInZoneIndex(gStarList.starCount - 1);
}

void FinishStarList()
{
    // Sorting moves the records under the index, and no star is added after this.
    ReleaseStarZoneIndex();
    StarRecord* stars = StarRecords();
    const uint32_t count = gStarList.starCount;
    for (uint32_t i = 0; i < count; ++i) {
        StarRecord& star = stars[i];
        star.red = RatioFraction(star.red, gStarList.maxStarChannel);
        star.green = RatioFraction(star.green, gStarList.maxStarChannel);
        star.blue = RatioFraction(star.blue, gStarList.maxStarChannel);
        star.brightness = MeanOfThree(star.red, star.green, star.blue);
    }
    if (count == 0)
        return;
    // Ties are broken by position (unique in the list), so every build orders the list the same way.
    std::sort(stars, stars + count, [](const StarRecord& a, const StarRecord& b) {
        if (a.brightness != b.brightness)
            return a.brightness > b.brightness;
        if (a.y != b.y)
            return a.y < b.y;
        if (a.yPhase != b.yPhase)
            return a.yPhase < b.yPhase;
        if (a.x != b.x)
            return a.x < b.x;
        return a.xPhase < b.xPhase;
    });
}

bool StarSpikesEnabled(uint32_t index)
{
    return index < gStarList.starCount && StarRecords()[index].spikesEnabled != 0;
}

void SetStarSpikesEnabled(uint32_t index, bool enabled)
{
    if (index < gStarList.starCount)
        StarRecords()[index].spikesEnabled = enabled ? kFractionOne : 0;
}
