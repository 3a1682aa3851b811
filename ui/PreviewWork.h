// The preview's computation, run in slices on the dialog's timer. Joins later; until then there is no
// work to do.
#pragma once

#include <cstdint>

constexpr int32_t kPreviewRestart = 0; // take a fresh snapshot of the view and parameters
constexpr int32_t kPreviewSlice = 1;   // do one slice; true while work remains

bool PreviewWorkProc(int32_t operation);
