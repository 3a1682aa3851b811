#include "engine/EngineState.h"

#include "engine/MeasureShapes.h"
#include "engine/RenderEffect.h"
#include "engine/RenderShapes.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "engine/StarZoneIndex.h"

namespace {
OSErr gEngineFailure;
}

OSErr EngineFailure()
{
    return gEngineFailure;
}

void RecordEngineFailure(OSErr error)
{
    if (gEngineFailure == noErr)
        gEngineFailure = error;
}

void ResetEngine()
{
    ReleaseStarZoneIndex();
    ReleaseBuffer(&gStarList.records);
    gStarList = StarList{};
    ReleaseRenderShapes();
    ReleaseMeasureShapes();
    gDetection = DetectionState{};
    gDetection.row = kDetectionNotStarted;
    gRenderResume = RenderResumeState{};
    gQuality = FinalQuality(8);
    gEngineFailure = noErr;
}
