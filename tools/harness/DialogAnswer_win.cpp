#include "tools/harness/DialogAnswer.h"

#include <windows.h>

#include "tools/harness/ProcessDialogs_win.h"

#include <set>
#include <thread>

namespace {

constexpr DWORD kPollMilliseconds = 20;
constexpr const char* kDialogCaption = "Corvane Pro";

struct Sweep
{
    std::set<HWND>* answered;
    WPARAM command;
};

BOOL CALLBACK AnswerIfDialog(HWND window, LPARAM context)
{
    if (!IsProcessDialog(window, kDialogCaption))
        return TRUE;
    Sweep& sweep = *reinterpret_cast<Sweep*>(context);
    // Answered once: the dialog may take a moment to close, and a second OK must not reach a later one.
    if (sweep.answered->insert(window).second)
        PostMessageA(window, WM_COMMAND, sweep.command, 0);
    return TRUE;
}

} // namespace

bool IsProcessDialog(HWND window, const char* caption)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    char text[64] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, text, sizeof text);
    return process == GetCurrentProcessId() && lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) &&
           lstrcmpA(text, caption) == 0;
}

struct DialogAnswerer::Watch
{
    HANDLE stop;
    std::thread thread;
};

DialogAnswerer::DialogAnswerer(DialogAnswer answer) : watch_(nullptr)
{
    if (answer == DialogAnswer::None)
        return;
    watch_ = new Watch{CreateEventA(nullptr, TRUE, FALSE, nullptr), {}};
    const WPARAM command = answer == DialogAnswer::Ok ? IDOK : IDCANCEL;
    HANDLE stop = watch_->stop;
    watch_->thread = std::thread([stop, command] {
        std::set<HWND> answered;
        do {
            Sweep sweep{&answered, command};
            EnumWindows(AnswerIfDialog, reinterpret_cast<LPARAM>(&sweep));
        } while (WaitForSingleObject(stop, kPollMilliseconds) == WAIT_TIMEOUT);
    });
}

DialogAnswerer::~DialogAnswerer()
{
    if (watch_ == nullptr)
        return;
    SetEvent(watch_->stop);
    watch_->thread.join();
    CloseHandle(watch_->stop);
    delete watch_;
}
