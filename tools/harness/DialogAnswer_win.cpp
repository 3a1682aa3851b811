#include "tools/harness/DialogAnswer.h"

#include <windows.h>

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

// The module's dialogs are top-level dialog windows of this process with the product's caption.
BOOL CALLBACK AnswerIfDialog(HWND window, LPARAM context)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    char caption[64] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (process != GetCurrentProcessId() || lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window) ||
        lstrcmpA(caption, kDialogCaption) != 0)
        return TRUE;
    Sweep& sweep = *reinterpret_cast<Sweep*>(context);
    // Answered once: the dialog may take a moment to close, and a second OK must not reach a later one.
    if (sweep.answered->insert(window).second)
        PostMessageA(window, WM_COMMAND, sweep.command, 0);
    return TRUE;
}

} // namespace

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
