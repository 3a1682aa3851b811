#include "tools/cli/Progress.h"

#include <cstdio>
#include <unistd.h>

namespace {

struct ProgressState
{
    bool enabled;
    bool drawn;
    int32_t shownPercent;
    const char* label;
};

ProgressState gProgress;

constexpr int32_t kBarWidth = 40;

} // namespace

void FormatProgressBar(int32_t done, int32_t total, char* text, int32_t capacity)
{
    if (total <= 0)
        total = 1;
    if (done < 0)
        done = 0;
    if (done > total)
        done = total;
    int32_t filled = int32_t(int64_t(done) * kBarWidth / total);
    int32_t percent = int32_t(int64_t(done) * 100 / total);
    char bar[kBarWidth + 1];
    for (int32_t i = 0; i < kBarWidth; ++i)
        bar[i] = i < filled ? '#' : '-';
    bar[kBarWidth] = 0;
    std::snprintf(text, size_t(capacity), "[%s] %3d%%", bar, int(percent));
}

void BeginProgress(const char* label)
{
    gProgress = ProgressState{isatty(STDERR_FILENO) == 1, false, -1, label};
}

void ShowProgress(int32_t done, int32_t total)
{
    if (!gProgress.enabled || total <= 0)
        return;
    int32_t percent = int32_t(int64_t(done < 0 ? 0 : done) * 100 / total);
    if (percent == gProgress.shownPercent)
        return;
    gProgress.shownPercent = percent;
    char bar[96];
    FormatProgressBar(done, total, bar, sizeof bar);
    std::fprintf(stderr, "\r%s %s", gProgress.label, bar);
    std::fflush(stderr);
    gProgress.drawn = true;
}

void EndProgress()
{
    if (gProgress.drawn) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
    gProgress.drawn = false;
    gProgress.shownPercent = -1;
}
