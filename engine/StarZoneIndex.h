// Where the stars of the list lie, filed by square cells of the image, so that the zone tests of star
// detection visit only the stars that can reach a pixel instead of the whole list. Without the index
// those tests cost time in the square of the star count, which a crowded 100-megapixel field cannot afford.
//
//   PrepareStarZoneIndex(image.rect);       // when the scan starts; files the stars already listed
//   ... append record i to the list ...; FileStarInZoneIndex(i);
//   VisitStarsNear(x, y, reach, [&](uint32_t i) { return /* true stops the visit */; });
//   ReleaseStarZoneIndex();                 // before the list is reordered, and when detection is reset
//
// The index is only an accelerator: while it is not in use (never prepared, released, no memory, or
// out of step with the list), VisitStarsNear visits the whole list, which gives the same answers.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/StarList.h"
#include "image/ImageRect.h"

// Cells are 32 pixels square (a power of two, so cell numbers come from shifts). Any size from 16 to 128
// runs crowded fields about equally fast; at 32 the grid of a 32767-pixel-square image takes 4 MB.
constexpr int32_t kZoneCellShift = 5;

struct StarZoneIndex
{
    BufferRecord cellHeads; // u32 per cell, row by row: 1 + the list index of the star filed last, 0 if none
    BufferRecord links;     // u32 per star: 1 + the list index of the star filed before it in its cell, 0 at the end
    int32_t left;           // image position of the first cell's corner
    int32_t top;
    int32_t columns;     // cells across; 0 while the index is not in use
    int32_t rows;        // cells down
    uint32_t starCount;  // the first starCount records of the list are filed
    int32_t largestZone; // largest radiusSquared filed: how far any filed star can reach
};

extern StarZoneIndex gStarZoneIndex;

// Sets the index up over `rect` and files the stars already in the list. Stars outside `rect` are filed
// in the nearest edge cell. False when the memory could not be had; the zone tests then scan the list.
bool PrepareStarZoneIndex(const ImageRect& rect);

// Files record `index`, which must be the record just appended to the list. If the index cannot grow
// it is released, and the zone tests scan the whole list from then on.
void FileStarInZoneIndex(uint32_t index);

// Frees the index's blocks; it is not used again until prepared.
void ReleaseStarZoneIndex();

// True when the index is in use and holds exactly the stars of the list.
inline bool StarZoneIndexInUse()
{
    return gStarZoneIndex.columns > 0 && gStarZoneIndex.starCount == gStarList.starCount;
}

// The cell column or row of a coordinate, clamped to the grid. Clamping keeps the order of coordinates,
// so a star filed in an edge cell is still within the range of cells of every box that holds it.
inline int32_t ZoneCellOf(int64_t coordinate, int32_t origin, int32_t cells)
{
    const int64_t cell = (coordinate - origin) >> kZoneCellShift; // arithmetic shift: rounds down
    return cell < 0 ? 0 : cell >= cells ? cells - 1 : int32_t(cell);
}

// Calls visit(list index) for every star whose squared distance from (x, y) is at most
// max(reach, the star's own radiusSquared), and for some others that the caller's own test must reject;
// a star may come in any order but only once. Stops and returns true when visit returns true.
template <typename Visit> bool VisitStarsNear(int32_t x, int32_t y, int64_t reach, Visit visit)
{
    if (!StarZoneIndexInUse()) {
        for (uint32_t i = 0; i < gStarList.starCount; ++i) {
            if (visit(i))
                return true;
        }
        return false;
    }

    const StarZoneIndex& index = gStarZoneIndex;
    const int64_t farthest = reach > index.largestZone ? reach : int64_t(index.largestZone);
    // One pixel more than the root, so that rounding of the root can never leave a star out.
    const int64_t span = farthest > 0 ? int64_t(std::sqrt(double(farthest))) + 1 : 0;
    const int32_t firstColumn = ZoneCellOf(int64_t(x) - span, index.left, index.columns);
    const int32_t lastColumn = ZoneCellOf(int64_t(x) + span, index.left, index.columns);
    const int32_t firstRow = ZoneCellOf(int64_t(y) - span, index.top, index.rows);
    const int32_t lastRow = ZoneCellOf(int64_t(y) + span, index.top, index.rows);
    const uint32_t* heads = static_cast<const uint32_t*>(index.cellHeads.data);
    const uint32_t* links = static_cast<const uint32_t*>(index.links.data);
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        const uint32_t* rowHeads = heads + size_t(row) * size_t(index.columns);
        for (int32_t column = firstColumn; column <= lastColumn; ++column) {
            for (uint32_t link = rowHeads[column]; link != 0; link = links[link - 1]) {
                if (visit(link - 1))
                    return true;
            }
        }
    }
    return false;
}
