#include <windows.h>

#include "engine/StarDetection.h"
#include "engine/UserInput.h"

namespace {
HWND gDialogWindow;
constexpr UINT_PTR kPreviewTimer = 1;
} // namespace

void SetUserInputWindow(void* dialogWindow)
{
    gDialogWindow = static_cast<HWND>(dialogWindow);
}

bool PollMessageQueue()
{
    const DWORD status = GetQueueStatus(QS_ALLINPUT);
    if (LOWORD(status) == 0)
        return false;
    // The preview runs on the dialog's own timer: its next tick is not the user acting, so one waiting
    // tick is let through. Two in a row mean the work has hogged the queue for too long.
    if (gDialogWindow != nullptr && LOWORD(status) == QS_TIMER && !gDetection.timerGrace) {
        MSG message;
        if (PeekMessageA(&message, gDialogWindow, WM_TIMER, WM_TIMER, PM_NOREMOVE) && message.wParam == kPreviewTimer) {
            gDetection.timerGrace = true;
            return false;
        }
    }
    gDetection.timerGrace = false;
    return true;
}
