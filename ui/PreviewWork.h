// The preview's computation as the dialog's timer drives it: operation 0 takes a snapshot of the view,
// the Preview setting and the parameters; operation 1 runs one slice.
#pragma once

#include <cstdint>

constexpr int32_t kPreviewRestart = 0; // take a fresh snapshot of the view and parameters
constexpr int32_t kPreviewSlice = 1;   // do one slice; true while work remains

bool PreviewWorkProc(int32_t operation);
