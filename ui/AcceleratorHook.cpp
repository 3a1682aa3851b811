#include "ui/AcceleratorHook.h"

#include <windows.h>

#include "resources/ResourceIds.h"
#include "ui/DialogResources.h"
#include "ui/DialogState.h"

namespace {

bool IsKeyMessage(UINT message)
{
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

LRESULT CALLBACK AcceleratorHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* message = reinterpret_cast<MSG*>(lParam);
    HWND dialog = gDialog.window;
    // Only the main dialog's own loop: an About box or a menu opened from it has its own keys.
    if (code == MSGF_DIALOGBOX && dialog != nullptr && IsKeyMessage(message->message) && GetActiveWindow() == dialog &&
        GetFocus() != GetDlgItem(dialog, IDC_SETTINGS_LIST) &&
        TranslateAcceleratorA(dialog, gResources.accelerators, message))
        return 1;
    return CallNextHookEx(gDialog.messageFilterHook, code, wParam, lParam);
}

} // namespace

bool InstallAcceleratorHook()
{
    gDialog.messageFilterHook = SetWindowsHookExA(WH_MSGFILTER, AcceleratorHookProc, nullptr, GetCurrentThreadId());
    return gDialog.messageFilterHook != nullptr;
}

void RemoveAcceleratorHook()
{
    if (gDialog.messageFilterHook != nullptr)
        UnhookWindowsHookEx(gDialog.messageFilterHook);
    gDialog.messageFilterHook = nullptr;
}
