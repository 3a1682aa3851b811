#include "engine/EngineLifetime.h"

#include "engine/MeasureShapes.h"
#include "engine/RenderEffect.h"
#include "engine/Shape.h"
#include "engine/StarDetection.h"
#include "engine/StarList.h"

void ReleaseEngine()
{
    ReleaseBuffer(&gStarList.records);
    gStarList.capacity = 0;
    ReleaseRenderShapes();
    ReleaseMeasureShapes();
    // The list is gone, so a finished scan would hand out nothing: the next detection starts afresh.
    ResetDetection();
    ResetRenderResumeState();
}
