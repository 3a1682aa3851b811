#include "engine/StarZoneIndex.h"

#include <cstring>

StarZoneIndex gStarZoneIndex;

namespace {

// The links grow in the same steps as the star list.
constexpr uint32_t kLinkGrowthRecords = 2048;

int32_t CellsAcross(int32_t low, int32_t high)
{
    const int64_t pixels = int64_t(high) - low;
    return pixels <= 0 ? 1 : int32_t(((pixels - 1) >> kZoneCellShift) + 1);
}

} // namespace

bool PrepareStarZoneIndex(const ImageRect& rect)
{
    ReleaseStarZoneIndex();
    const int32_t columns = CellsAcross(rect.left, rect.right);
    const int32_t rows = CellsAcross(rect.top, rect.bottom);
    const uint64_t bytes = uint64_t(columns) * uint64_t(rows) * sizeof(uint32_t);
    if (bytes > UINT32_MAX || ReallocateBuffer(uint32_t(bytes), &gStarZoneIndex.cellHeads) != noErr) {
        ReleaseStarZoneIndex();
        return false;
    }
    std::memset(gStarZoneIndex.cellHeads.data, 0, size_t(bytes));
    gStarZoneIndex.left = rect.left;
    gStarZoneIndex.top = rect.top;
    gStarZoneIndex.columns = columns;
    gStarZoneIndex.rows = rows;
    for (uint32_t i = 0; i < gStarList.starCount; ++i)
        FileStarInZoneIndex(i);
    return gStarZoneIndex.columns > 0;
}

void FileStarInZoneIndex(uint32_t index)
{
    StarZoneIndex& zones = gStarZoneIndex;
    if (zones.columns == 0)
        return;
    // Filed out of turn, the chains would no longer match the list: better to scan the list.
    if (index != zones.starCount || index >= gStarList.starCount) {
        ReleaseStarZoneIndex();
        return;
    }
    if ((uint64_t(index) + 1) * sizeof(uint32_t) > zones.links.size) {
        const uint64_t bytes = (uint64_t(index) + kLinkGrowthRecords) * sizeof(uint32_t);
        if (bytes > UINT32_MAX || GrowBuffer(uint32_t(bytes), &zones.links) != noErr) {
            ReleaseStarZoneIndex();
            return;
        }
    }

    const StarRecord& star = StarRecords()[index];
    const size_t cell = size_t(ZoneCellOf(star.y, zones.top, zones.rows)) * size_t(zones.columns) +
                        size_t(ZoneCellOf(star.x, zones.left, zones.columns));
    uint32_t* heads = static_cast<uint32_t*>(zones.cellHeads.data);
    uint32_t* links = static_cast<uint32_t*>(zones.links.data);
    links[index] = heads[cell];
    heads[cell] = index + 1;
    zones.starCount = index + 1;
    if (star.radiusSquared > zones.largestZone)
        zones.largestZone = star.radiusSquared;
}

void ReleaseStarZoneIndex()
{
    ReleaseBuffer(&gStarZoneIndex.cellHeads);
    ReleaseBuffer(&gStarZoneIndex.links);
    gStarZoneIndex = StarZoneIndex{};
}
