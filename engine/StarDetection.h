// Star detection: one resumable scan of the input image that builds the star list.
//
//   ResetDetection();               // at the start of every filter invocation
//   while (!FindStars()) { ... }    // false: user input is waiting; call again to go on
#pragma once

#include <cstdint>

#include "host/ImageBuffer.h"

constexpr int32_t kDetectionNotStarted = INT32_MIN;

struct DetectionState
{
    bool finished; // the list is complete, normalised and sorted
    int32_t row;   // next pixel to test; kDetectionNotStarted before the first call
    int32_t column;
    int32_t rowsTotal; // bottom - top of the image
    int32_t rowsDone;  // as last reported to the progress hook
    int32_t lastProgressRow;
    ImageBuffer image; // a copy of the input's record sharing its pixel blocks; seeds are marked in its mask
    bool timerGrace;   // one tick of the dialog's timer has been let through (UserInputPending)
};

extern DetectionState gDetection;

// Scans on from the saved position; true when the star list is complete (and on every later call),
// false when interrupted by pending user input.
bool FindStars();

// Forgets the scan, the star list's contents and the brightest seed, so the next FindStars starts afresh.
void ResetDetection();

// Receives (rows done, rows total) every 32 image rows; null for none.
using DetectionProgressHook = void (*)(int32_t rowsDone, int32_t rowsTotal);
void SetDetectionProgressHook(DetectionProgressHook hook);
