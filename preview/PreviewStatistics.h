// Counts of the preview's work, for tests and benchmarks: they show what a change made the preview
// compute again, without timing anything.
#pragma once

#include <cstdint>

struct PreviewStatistics
{
    uint32_t slices;
    uint32_t tilesDrawn;         // tiles drawn into the display bitmap
    uint32_t effectRenders;      // rectangles the effect was rendered (or copied) into
    uint64_t effectPixels;       // image pixels of those rectangles
    uint32_t bitmapsMade;        // display bitmaps made at a new zoom or size
    uint64_t longestSliceMicros; // the longest slice
    // Of the current job, counted from its start; 0 until it happens.
    uint64_t visibleCompleteMicros; // every visible tile computed and drawn
    uint64_t firstShownMicros;      // the first drawn tiles handed to the display
};

extern PreviewStatistics gPreviewStats; // reset by whoever reads it

// A steady clock in microseconds.
uint64_t PreviewMicroseconds();
