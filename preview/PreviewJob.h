// The snapshot of what the preview is to show, taken when a job starts: the view, the zoom, the Preview
// setting and the eleven parameters. The work follows this snapshot, not the live dialog, so a change
// made while a slice runs only takes effect with the next job.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/FilterParameters.h"

constexpr int kJobParameterCount = 11;

struct PreviewJob
{
    uint32_t startTick;
    uint32_t steps;  // tiles computed since the job started
    RECT viewRect;   // the display's inner rectangle, display coordinates
    RECT imageRect;  // the part of it that shows the image, display coordinates
    int32_t centreX; // the view's centre, truncated, scaled coordinates
    int32_t centreY;
    double zoom;
    uint8_t preview;                         // 1: show the effect; 0: the image unchanged
    uint16_t parameters[kJobParameterCount]; // intensity .. outputSpikesOnly, in record order
};

// The record the job's parameters stand for, for the engine.
FilterParameters JobParameters(const PreviewJob& job);
void SetJobParameters(PreviewJob* job, const FilterParameters& parameters);

// Same effect: the Preview setting and every parameter agree.
bool SameEffect(const PreviewJob& a, const PreviewJob& b);
// Same view: zoom, centre, view and image rectangles agree.
bool SameView(const PreviewJob& a, const PreviewJob& b);
