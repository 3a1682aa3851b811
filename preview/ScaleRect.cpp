#include "preview/ScaleRect.h"

#include <vector>

#include "diag/ErrorReport.h"
#include "preview/Regions.h"

namespace {

// Just below one: a right edge that divides exactly is not pushed to the next pixel.
constexpr double kRoundUp = 1e-11;

LONG Truncated(double value)
{
    return static_cast<LONG>(value);
}

} // namespace

RECT ScaleRect(const RECT& rect, double divisor)
{
    return RECT{Truncated(rect.left / divisor), Truncated(rect.top / divisor),
                Truncated((rect.right + divisor - kRoundUp) / divisor),
                Truncated((rect.bottom + divisor - kRoundUp) / divisor)};
}

HRGN ScaleRegion(HRGN region, double divisor)
{
    const std::vector<RECT> rects = RegionRects(region);
    std::vector<unsigned char> bytes(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    RECT bounds{0, 0, 0, 0};
    auto* scaled = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < rects.size(); ++i) {
        scaled[i] = ScaleRect(rects[i], divisor);
        UnionRect(&bounds, &bounds, &scaled[i]);
    }
    data->rdh.rcBound = bounds;
    HRGN result = ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data);
    if (result == nullptr)
        ReportError(ErrorSite{static_cast<uint32_t>(__LINE__), MessageKind::System, GetLastError()}, kStyleError,
                    "Debug: Unexpected Error", "Could not create ScaledRegion from RegionData");
    return result;
}
