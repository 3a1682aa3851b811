// The progress bar on standard error, driven by the host's progress callback. It is drawn only when
// standard error is a terminal, so logs and pipes never fill with carriage returns.
#pragma once

#include <cstdint>

// Decides once whether to draw (standard error is a terminal) and resets the bar.
void BeginProgress(const char* label);
// Redraws when the shown percentage changes.
void ShowProgress(int32_t done, int32_t total);
// Clears the bar's line.
void EndProgress();

// Formats the bar into `text` (for example "[#####-----]  50%"); `text` holds at least 80 bytes.
void FormatProgressBar(int32_t done, int32_t total, char* text, int32_t capacity);
