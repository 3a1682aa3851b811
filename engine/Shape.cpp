#include "engine/Shape.h"

#include <algorithm>
#include <cstring>

#include "diag/ErrorReport.h"
#include "engine/EngineState.h"

namespace {

// Runs this short are sorted by insertion, which moves a point only past points it precedes.
constexpr uint32_t kInsertionRun = 16;

// Room for merging when the shape's own block has less to spare: a few kilobytes of stack keep the
// merges of a spike shape within a quarter of the time an unlimited buffer gives.
constexpr uint32_t kStackMergeRoom = 256;

struct MergeRoom
{
    ShapePoint* points;
    size_t count;
};

void InsertionSortInRowOrder(ShapePoint* points, size_t count)
{
    for (size_t i = 1; i < count; ++i) {
        const ShapePoint moving = points[i];
        size_t j = i;
        for (; j > 0 && PrecedesInRowOrder(moving, points[j - 1]); --j)
            points[j] = points[j - 1];
        points[j] = moving;
    }
}

// Merges the sorted runs [first, middle) and [middle, last), stably: a point of the right run moves
// ahead of one of the left only if it strictly precedes it. A left run that fits the room is moved
// there and merged back from the front, where the merged points never overtake the unread right run;
// a longer one is split, and the pieces that belong to the other side are swapped by rotation.
void MergeRuns(ShapePoint* first, ShapePoint* middle, ShapePoint* last, const MergeRoom& room)
{
    const size_t left = size_t(middle - first);
    const size_t right = size_t(last - middle);
    // The rays of a spike shape run outward, so many runs are already in order.
    if (left == 0 || right == 0 || !PrecedesInRowOrder(*middle, middle[-1]))
        return;
    if (left <= room.count) {
        std::memcpy(static_cast<void*>(room.points), first, left * sizeof(ShapePoint));
        const ShapePoint* from = room.points;
        const ShapePoint* fromEnd = room.points + left;
        ShapePoint* out = first;
        while (from < fromEnd && middle < last)
            *out++ = PrecedesInRowOrder(*middle, *from) ? *middle++ : *from++;
        while (from < fromEnd)
            *out++ = *from++;
        return;
    }
    if (left + right == 2) {
        std::swap(*first, *middle);
        return;
    }
    ShapePoint* cutLeft;
    ShapePoint* cutRight;
    if (left > right) {
        cutLeft = first + left / 2;
        cutRight = std::lower_bound(middle, last, *cutLeft, PrecedesInRowOrder);
    } else {
        cutRight = middle + right / 2;
        cutLeft = std::upper_bound(first, middle, *cutRight, PrecedesInRowOrder);
    }
    ShapePoint* const newMiddle = std::rotate(cutLeft, middle, cutRight);
    MergeRuns(first, cutLeft, newMiddle, room);
    MergeRuns(newMiddle, cutRight, last, room);
}

void MergeSortInRowOrder(ShapePoint* points, size_t count, const MergeRoom& room)
{
    if (count <= kInsertionRun) {
        InsertionSortInRowOrder(points, count);
        return;
    }
    const size_t half = count / 2;
    MergeSortInRowOrder(points, half, room);
    MergeSortInRowOrder(points + half, count - half, room);
    MergeRuns(points, points + half, points + count, room);
}

} // namespace

bool AppendPoint(SubShapeEntry* entry, const ShapePoint& point, uint32_t growthPoints)
{
    const uint64_t capacity = entry->points.size / sizeof(ShapePoint);
    if (entry->pointCount >= capacity) {
        const uint64_t wanted =
            (uint64_t(entry->pointCount) + (growthPoints > 0 ? growthPoints : 1)) * sizeof(ShapePoint);
        const OSErr error = wanted > UINT32_MAX ? OSErr(memFullErr) : GrowBuffer(uint32_t(wanted), &entry->points);
        if (error != noErr) {
            // The first refusal ends the run; the shapes that fail after it need not tell the user again.
            if (EngineFailure() == noErr)
                ReportError(USER_SITE, kStyleError, kCaptionExiting, "Unable to allocate memory for shape.");
            RecordEngineFailure(error);
            return false;
        }
    }
    static_cast<ShapePoint*>(entry->points.data)[entry->pointCount] = point;
    ++entry->pointCount;
    return true;
}

void SortPointsInRowOrder(SubShapeEntry* entry)
{
    if (entry->pointCount == 0)
        return;
    ShapePoint* points = static_cast<ShapePoint*>(entry->points.data);
    // The block's unused end is the merge room when it is the larger, so sorting never asks for memory.
    ShapePoint onStack[kStackMergeRoom];
    const size_t spare = entry->points.size / sizeof(ShapePoint) - entry->pointCount;
    const MergeRoom room =
        spare > kStackMergeRoom ? MergeRoom{points + entry->pointCount, spare} : MergeRoom{onStack, kStackMergeRoom};
    MergeSortInRowOrder(points, entry->pointCount, room);
}

bool EnsureSubShape(Shape* shape, int32_t xPhase, int32_t yPhase)
{
    if (EntryFor(*shape, xPhase, yPhase).pointCount != 0)
        return true;
    if (shape->builder == nullptr)
        return false;
    if (shape->builder(shape, xPhase, yPhase))
        return true;
    // A build cut short keeps the points it had appended; they must not pass for the whole shape the
    // next time this phase is asked for.
    EntryFor(*shape, xPhase, yPhase).pointCount = 0;
    return false;
}

void InvalidateShape(Shape* shape)
{
    // Blocks and rectangles stay: the rebuild reuses the memory, and the delete tool still needs to know
    // where a star's effect was drawn.
    for (SubShapeEntry& entry : shape->entries)
        entry.pointCount = 0;
}

void ClearShape(Shape* shape)
{
    for (SubShapeEntry& entry : shape->entries)
        ReleaseBuffer(&entry.points);
    *shape = Shape{};
}
