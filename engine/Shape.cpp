#include "engine/Shape.h"

#include "diag/ErrorReport.h"
#include "engine/EngineState.h"

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
