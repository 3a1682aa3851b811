// GDI regions as the preview uses them: every failing call is reported with the caller's line and text,
// and the work goes on with what exists.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

void ReportSystemFailure(uint32_t line, const char* what); // with GetLastError()'s code
void ReportDebugFailure(uint32_t line, const char* what);

// An empty region; null (reported) when the system has none to give.
HRGN NewRegion(uint32_t line, const char* failure);
void DeleteRegion(HRGN& region);
// Makes `region` the rectangle; false (reported) on failure.
bool SetRegion(HRGN region, const RECT& rect, uint32_t line, const char* failure);
// CombineRgn: the region's complexity, or ERROR (reported).
int CombineRegions(HRGN target, HRGN a, HRGN b, int mode, uint32_t line, const char* failure);
// Whether a combine left something; a failed combine counts as something, so that work is done
// rather than skipped.
inline bool LeftSomething(int complexity)
{
    return complexity != NULLREGION;
}
inline void EmptyRegion(HRGN region)
{
    SetRectRgn(region, 0, 0, 0, 0);
}
bool IsRegionEmpty(HRGN region);
// `invalid` = `area` less what `valid` holds, through `temp`: the complexity of the result.
int InvalidPart(HRGN invalid, HRGN temp, const RECT& area, HRGN valid, uint32_t line, const char* intersectFailure,
                const char* differenceFailure);
// `target` |= `rect`.
void AddRectToRegion(HRGN target, const RECT& rect, uint32_t line, const char* setFailure, const char* combineFailure);
// `target` &= `rect`, through `temp`: the complexity of the result.
int ClipRegionToRect(HRGN target, HRGN temp, const RECT& rect, uint32_t line, const char* failure);

// The rectangles of a region in the system's order; empty when the region is empty or unreadable.
std::vector<RECT> RegionRects(HRGN region);
