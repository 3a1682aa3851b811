#include "preview/Regions.h"

#include "diag/ErrorReport.h"

void ReportSystemFailure(uint32_t line, const char* what)
{
    ReportError(ErrorSite{line, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected, "%s", what);
}

void ReportDebugFailure(uint32_t line, const char* what)
{
    ReportError(ErrorSite{line, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "%s", what);
}

HRGN NewRegion(uint32_t line, const char* failure)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (region == nullptr)
        ReportSystemFailure(line, failure);
    return region;
}

void DeleteRegion(HRGN& region)
{
    if (region != nullptr)
        DeleteObject(region);
    region = nullptr;
}

bool SetRegion(HRGN region, const RECT& rect, uint32_t line, const char* failure)
{
    if (region != nullptr && SetRectRgn(region, rect.left, rect.top, rect.right, rect.bottom))
        return true;
    ReportSystemFailure(line, failure);
    return false;
}

int CombineRegions(HRGN target, HRGN a, HRGN b, int mode, uint32_t line, const char* failure)
{
    const int complexity = target != nullptr ? CombineRgn(target, a, b, mode) : ERROR;
    if (complexity == ERROR)
        ReportDebugFailure(line, failure);
    return complexity;
}

int InvalidPart(HRGN invalid, HRGN temp, const RECT& area, HRGN valid, uint32_t line, const char* intersectFailure,
                const char* differenceFailure)
{
    if (!SetRegion(temp, area, line, "Could not set rectangle into TempRegion.") ||
        !SetRegion(invalid, area, line, "Could not set rectangle into InvalidWorkRegion."))
        return ERROR;
    CombineRegions(temp, temp, valid, RGN_AND, line, intersectFailure);
    return CombineRegions(invalid, invalid, temp, RGN_DIFF, line, differenceFailure);
}

void AddRectToRegion(HRGN target, const RECT& rect, uint32_t line, const char* setFailure, const char* combineFailure)
{
    HRGN r = CreateRectRgnIndirect(&rect);
    if (r == nullptr)
        ReportSystemFailure(line, setFailure);
    CombineRegions(target, target, r, RGN_OR, line, combineFailure);
    DeleteRegion(r);
}

int ClipRegionToRect(HRGN target, HRGN temp, const RECT& rect, uint32_t line, const char* failure)
{
    if (!SetRegion(temp, rect, line, "Could not set rectangle into TempRegion."))
        return ERROR;
    return CombineRegions(target, target, temp, RGN_AND, line, failure);
}

bool IsRegionEmpty(HRGN region)
{
    RECT box;
    return region == nullptr || GetRgnBox(region, &box) == NULLREGION;
}

std::vector<RECT> RegionRects(HRGN region)
{
    std::vector<RECT> rects;
    const DWORD size = region != nullptr ? GetRegionData(region, 0, nullptr) : 0;
    if (size < sizeof(RGNDATAHEADER))
        return rects;
    std::vector<unsigned char> bytes(size);
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    if (GetRegionData(region, size, data) != size)
        return rects;
    const RECT* first = reinterpret_cast<const RECT*>(data->Buffer);
    rects.assign(first, first + data->rdh.nCount);
    return rects;
}
