// The detected stars, brightest first once detection has finished.
#pragma once

#include "image/BufferRecord.h"

// A star centre to a quarter pixel.
struct StarPosition
{
    int32_t x;      // pixel column
    int32_t xPhase; // 0..3 quarter pixels to the right of x
    int32_t y;      // pixel row
    int32_t yPhase; // 0..3 quarter pixels below y
};

struct StarRecord
{
    int32_t x;
    int32_t xPhase;
    int32_t y;
    int32_t yPhase;
    int32_t radiusSquared; // the star's exclusion zone, whole pixels squared
    uint32_t brightness;   // after detection: mean of the three normalised colour fractions
    uint32_t red;          // after detection: fraction of the strongest channel of all enabled stars
    uint32_t green;
    uint32_t blue;
    uint32_t spikesEnabled; // 0xFFFFFFFE when the star gets spikes and flare, 0 when not
    uint32_t reserved;      // always 0xFFFFFFFF
};

static_assert(sizeof(StarRecord) == 44);

struct StarList
{
    BufferRecord records; // StarRecord array, grown with GrowBuffer
    uint32_t starCount;
    uint32_t capacity;          // records the block can hold
    uint32_t maxStarChannel;    // largest red, green or blue of any enabled star before normalisation
    uint32_t maxSeedBrightness; // brightest seed pixel met so far in the scan (channel units)
};

extern StarList gStarList;

inline StarRecord* StarRecords()
{
    return static_cast<StarRecord*>(gStarList.records.data);
}

// Appends a star found by the scan; `colour` is its normalised colour as three fractions.
void AddStar(const StarPosition& position, float radiusSquared, uint32_t brightness, const uint32_t colour[3],
             bool enabled);
// Normalises the colours of the finished list and sorts it by descending brightness.
void FinishStarList();
// True when (x, y) lies in the exclusion zone of a star already in the list.
bool InsideStarZone(int32_t x, int32_t y);

// The delete tool's switch: it reads and writes only spikesEnabled, so a switched star keeps its place
// and all its other fields. Indexes past the end are ignored.
bool StarSpikesEnabled(uint32_t index);
void SetStarSpikesEnabled(uint32_t index, bool enabled);
