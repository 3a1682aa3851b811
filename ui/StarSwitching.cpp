#include "ui/StarSwitching.h"

#include <algorithm>
#include <cstdint>

#include "engine/StarEffectRect.h"
#include "engine/StarList.h"
#include "preview/DialogMessages.h"
#include "preview/PreviewLayers.h"
#include "preview/PreviewView.h"
#include "preview/Rects.h"

namespace {

constexpr int64_t kReachQuarterPixels = 12; // 3 pixels: on screen below 100 %, in the image from 100 % up
constexpr double kRoundUp = 1e-11;

double ZoomFactor()
{
    return gView.zoom / 100.0;
}

// The star's effect is computed again. True when anything was invalidated.
bool InvalidateStar(const StarRecord& star, bool on)
{
    const ImageRect r = StarEffectRect(star);
    if (!IsEmptyRect(r)) {
        SetFilterEffectsInvalidInRect(ToRect(r));
        return true;
    }
    // A star switched on that never had a shape built may reach anywhere; one switched off that had none
    // drew nothing.
    if (!on)
        return false;
    SetFilterEffectsInvalidInRect(gView.imageBounds);
    return true;
}

void Switch(uint32_t index, bool on, bool* invalidated)
{
    SetStarSpikesEnabled(index, on);
    if (InvalidateStar(StarRecords()[index], on))
        *invalidated = true;
}

} // namespace

void SwitchStarAt(HWND dialog, POINT screen, bool on)
{
    const ScaledPoint view = ViewPointAt(screen);
    const double f = ZoomFactor();
    const int64_t px = int64_t(view.x / f);
    const int64_t py = int64_t(view.y / f);
    const int64_t reach = std::max(int64_t(double(kReachQuarterPixels) / f), kReachQuarterPixels);

    const StarRecord* stars = StarRecords();
    int64_t best = reach * reach;
    int64_t found = -1;
    for (uint32_t i = 0; i < gStarList.starCount; ++i) {
        if (StarSpikesEnabled(i) == on)
            continue;
        const int64_t dy = (py - stars[i].y) * 4 - stars[i].yPhase;
        const int64_t dx = (px - stars[i].x) * 4 - stars[i].xPhase;
        const int64_t d2 = dy * dy + dx * dx;
        if (d2 < best) {
            best = d2;
            found = i;
        }
    }
    if (found < 0)
        return;
    bool invalidated = false;
    Switch(uint32_t(found), on, &invalidated);
    if (invalidated)
        PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
}

void SwitchStarsIn(HWND dialog, POINT a, POINT b, bool on)
{
    const ScaledPoint p = ViewPointAt(a);
    const ScaledPoint q = ViewPointAt(b);
    const double f = ZoomFactor();
    const int64_t left = int64_t(std::min(p.x, q.x) / f);
    const int64_t top = int64_t(std::min(p.y, q.y) / f);
    const int64_t right = int64_t((std::max(p.x, q.x) + f - kRoundUp) / f);
    const int64_t bottom = int64_t((std::max(p.y, q.y) + f - kRoundUp) / f);

    bool invalidated = false;
    const StarRecord* stars = StarRecords();
    for (uint32_t i = 0; i < gStarList.starCount; ++i)
        if (stars[i].x >= left && stars[i].x < right && stars[i].y >= top && stars[i].y < bottom)
            Switch(i, on, &invalidated);
    if (invalidated)
        PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
}
