// Star detection: one resumable scan of an image that builds the star list.
//
//   ResetEngine();                                           // at the start of every filter run
//   while (FindStars(image) == WorkStatus::Interrupted) ...   // user input was waiting; call again
//
// The scan marks the flat regions it has probed in the image's selection mask, so the image must stay
// the same (and alive) from the first call to the last.
#pragma once

#include <cstdint>

#include "engine/EngineState.h"
#include "engine/StarList.h"
#include "image/ImageBuffer.h"

constexpr int32_t kDetectionNotStarted = INT32_MIN;

struct DetectionState
{
    bool finished; // the list is complete, normalised and sorted
    int32_t row;   // next pixel to test; kDetectionNotStarted before the first call
    int32_t column;
    int32_t rowsTotal; // bottom - top of the image
    int32_t rowsDone;  // as last reported to the progress hook
    int32_t lastProgressRow;
    ImageBuffer* image; // the image being scanned; seeds are marked in its mask
    bool timerGrace;    // one tick of the dialog's timer has been let through (UserInputPending)
};

extern DetectionState gDetection;

// Scans `image` on from the saved position at final quality. Done when the star list is complete (and
// on every later call), Interrupted when user input is waiting, Failed when a block was refused.
WorkStatus FindStars(ImageBuffer& image);

// Receives (rows done, rows total) every 32 image rows; null for none.
using DetectionProgressHook = void (*)(int32_t rowsDone, int32_t rowsTotal);
void SetDetectionProgressHook(DetectionProgressHook hook);

// The steps of one seed, exposed for the tests; FindStars is their only caller in the module.
void ProbeStar(int32_t column, int32_t row);
bool RefineSeed(StarPosition* position);
