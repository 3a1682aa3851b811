// What the engine keeps between the host's calls, and its one reset.
//
// The engine's work is resumable: star detection and rendering return early when the user is waiting
// and go on from where they stopped on the next call. What they keep meanwhile is one record per
// subsystem: the star list (gStarList) with its zone index (gStarZoneIndex), the detection's progress
// (gDetection) and measuring shapes (gMeasureShapes), the render shapes (gRenderShapes), the render's
// resume point (gRenderResume) and the quality of the work in progress (gQuality). ResetEngine
// releases and forgets all of them at once.
#pragma once

#include "sdk/HostInterface.h"

// How a call of resumable work ended.
enum class WorkStatus
{
    Done,        // the work is complete
    Interrupted, // user input is waiting; call again with the same arguments to go on
    Failed,      // a step failed; EngineFailure() says why
};

// The host result code of the first failure since the last reset (noErr while none). Every failure is
// reported where it happens and recorded here; the steps below the resumable work answer only whether
// they succeeded, and this carries the code up to the caller.
OSErr EngineFailure();
// Keeps `error` unless an earlier failure is already recorded.
void RecordEngineFailure(OSErr error);

// Frees the star list and every shape and forgets the detection, the resume point and any failure, as
// after loading the module. Called at the start and the end of every filter run.
void ResetEngine();
