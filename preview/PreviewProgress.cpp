#include "preview/PreviewProgress.h"

#include <commctrl.h>

namespace {

constexpr int32_t kNothingSent = int32_t(0x80000000);

struct ProgressCache
{
    HWND bar;
    int32_t position;
    int32_t range;
};

// Sending only what changed keeps the bar from repainting on every tile.
ProgressCache gProgress{nullptr, kNothingSent, kNothingSent};

void Empty()
{
    SendMessageA(gProgress.bar, PBM_SETPOS, 1, 0);
    SendMessageA(gProgress.bar, PBM_SETPOS, 0, 0);
    SendMessageA(gProgress.bar, PBM_SETRANGE32, 0, 0);
}

} // namespace

void SetPreviewProgressBar(HWND progressBar)
{
    gProgress = ProgressCache{progressBar, kNothingSent, kNothingSent};
}

void SetPreviewProgress(int32_t done, int32_t total)
{
    if (gProgress.bar == nullptr)
        return;
    if (total <= 0) {
        Empty();
        gProgress.position = done;
        gProgress.range = 0;
        return;
    }
    done = done < total ? done : total;
    if (total != gProgress.range)
        SendMessageA(gProgress.bar, PBM_SETRANGE32, 0, total);
    if (done != gProgress.position)
        SendMessageA(gProgress.bar, PBM_SETPOS, WPARAM(done), 0);
    gProgress.position = done;
    gProgress.range = total;
}

void ClearPreviewProgress()
{
    if (gProgress.bar == nullptr)
        return;
    Empty();
    gProgress.position = 0;
    gProgress.range = 0;
}
