// The incremental preview: each job (a snapshot of view, zoom, Preview setting and parameters) is worked
// off in slices on the dialog's timer. Only what is not valid is computed, the visible area first, then
// the display bitmap's surroundings, then the rest of the image; a slice stops as soon as the user does
// something and the next one resumes where it stopped.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/FilterParameters.h"
#include "image/ImageBuffer.h"
#include "preview/PreviewJob.h"
#include "sdk/FilterRecord.h"

// What the preview shows: the document read at start, and the host's record (its colour profile).
struct PreviewSource
{
    ImageBuffer* input;
    const FilterRecord* record;
};

// At the display's set-up. noErr, or the code of a refused allocation (already reported), which ends the
// dialog.
OSErr InitPreviewPipeline(HWND dialog, HWND display, const PreviewSource& source);
void ReleasePreviewPipeline();
bool PreviewPipelineActive();

// A new job: the current view and the given parameters and Preview setting. Validity carries over.
void StartPreviewJob(const FilterParameters& parameters, bool preview);
// One slice: true while work remains, false when the job is complete or failed.
bool RunPreviewSlice();
// The engine's first failure during the preview, or noErr.
OSErr PreviewFailure();

const PreviewJob& CurrentPreviewJob();
