// The preview's progress bar under the display: star detection and the tiles of a job report here.
#pragma once

#include <windows.h>

#include <cstdint>

void SetPreviewProgressBar(HWND progressBar); // null: reports go nowhere
// `done` of `total`; a total of 0 resets the bar.
void SetPreviewProgress(int32_t done, int32_t total);
// After a finished job: the bar empty and the cache cleared.
void ClearPreviewProgress();
