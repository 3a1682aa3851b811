#include "ui/PreviewTimer.h"

#include "ui/DialogState.h"
#include "ui/PreviewWork.h"

void RestartPreview(HWND dialog)
{
    PreviewWorkProc(kPreviewRestart);
    gDialog.previewPending = true;
    SetTimer(dialog, kPreviewTimer, kPreviewTickMilliseconds, nullptr);
    gDialog.timerWindow = dialog;
}

void OnPreviewTick(HWND dialog)
{
    // A slice polls the message queue and so can dispatch the next tick inside itself; that nested tick
    // must not start a second slice.
    if (++gDialog.timerReentrancy == 1) {
        if (gDialog.previewPending)
            gDialog.previewPending = PreviewWorkProc(kPreviewSlice);
        if (!gDialog.previewPending)
            KillTimer(dialog, kPreviewTimer);
    }
    --gDialog.timerReentrancy;
}

void StopPreviewTimer(HWND dialog)
{
    KillTimer(dialog, kPreviewTimer);
    gDialog.previewPending = false;
    gDialog.timerReentrancy = 0;
    gDialog.timerWindow = nullptr;
}
