#include "ui/PreviewWork.h"

#include "preview/PreviewPipeline.h"
#include "ui/DialogState.h"
#include "ui/UISettings.h"

bool PreviewWorkProc(int32_t operation)
{
    if (!PreviewPipelineActive())
        return false;
    switch (operation) {
    case kPreviewRestart: StartPreviewJob(*gDialog.parameters, GetPreviewSetting() == 1); return true;
    case kPreviewSlice: {
        const bool more = RunPreviewSlice();
        // The engine ran out of memory or the host refused something: the dialog ends with that code.
        if (PreviewFailure() != noErr)
            FailDialog(PreviewFailure());
        return more;
    }
    default: return false;
    }
}
