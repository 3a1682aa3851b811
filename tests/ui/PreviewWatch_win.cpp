#include "PreviewWatch.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>

#include "preview/DialogMessages.h"
#include "resources/ResourceIds.h"

namespace {

// Ordinals of the last restart the dialog took from its queue and of the last job that ended.
std::atomic<long> gEvents{0}, gLastRestart{0}, gLastEnd{0};

LRESULT CALLBACK SeeRestarts(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE && reinterpret_cast<const MSG*>(lParam)->message == WM_RESTARTPREVIEW)
        gLastRestart = ++gEvents;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A finished job empties the progress bar, whose range goes back to 0.
LRESULT CALLBACK SeeEndedJobs(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == PBM_SETRANGE32 && sent->lParam == 0 &&
        GetDlgCtrlID(sent->hwnd) == IDC_PROGRESS)
        gLastEnd = ++gEvents;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

PreviewWatch::PreviewWatch()
{
    gEvents = gLastRestart = gLastEnd = 0;
    restarts_ = SetWindowsHookExA(WH_GETMESSAGE, SeeRestarts, nullptr, GetCurrentThreadId());
    ends_ = SetWindowsHookExA(WH_CALLWNDPROC, SeeEndedJobs, nullptr, GetCurrentThreadId());
}

PreviewWatch::~PreviewWatch()
{
    UnhookWindowsHookEx(restarts_);
    UnhookWindowsHookEx(ends_);
}

void WaitForPreview(DialogDriver& dialog)
{
    const DWORD start = GetTickCount();
    for (dialog.Settle(); gLastEnd <= gLastRestart; dialog.Settle()) {
        ASSERT_LT(GetTickCount() - start, 30000u) << "the preview did not finish";
        Sleep(5);
    }
}
