#include "e2e/UserMessageWatch.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "diag/ErrorReport.h"

struct UserMessageWatch::State
{
    std::mutex lock;
    std::vector<std::string> texts;
    std::set<HWND> seen; // boxes already read
    std::atomic<bool> stop{false};
    std::thread watcher;
};

namespace {

UserMessageWatch::State* gWatching = nullptr;

void Collect(void*, const char* caption, const char* text, uint32_t)
{
    std::lock_guard<std::mutex> hold(gWatching->lock);
    gWatching->texts.push_back(std::string(caption) + " / " + text);
}

// A message box is a dialog of this process whose text sits in the static control 0xFFFF.
BOOL CALLBACK CloseMessageBox(HWND window, LPARAM context)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (process != GetCurrentProcessId() || std::string(className) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    char caption[256] = {};
    char text[1024] = {};
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    auto* state = reinterpret_cast<UserMessageWatch::State*>(context);
    std::lock_guard<std::mutex> hold(state->lock);
    // The box closes a little after the answer is posted; the next sweep must not take it again.
    if (!state->seen.insert(window).second)
        return TRUE;
    state->texts.push_back(std::string(caption) + " / " + text);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

} // namespace

UserMessageWatch::UserMessageWatch() : state_(new State)
{
    gWatching = state_.get();
    SetMessageBoxHook(Collect); // the linked module
    State* state = state_.get();
    state->watcher = std::thread([state] {
        while (!state->stop) {
            EnumWindows(CloseMessageBox, reinterpret_cast<LPARAM>(state));
            Sleep(20);
        }
    });
}

UserMessageWatch::~UserMessageWatch()
{
    state_->stop = true;
    state_->watcher.join();
    SetMessageBoxHook(nullptr);
    gWatching = nullptr;
}

std::vector<std::string> UserMessageWatch::Texts() const
{
    std::lock_guard<std::mutex> hold(state_->lock);
    return state_->texts;
}

bool UserMessageWatch::Complete() const
{
    // Without a display the loaded module's message boxes fail before anyone can read them.
    return std::getenv("DISPLAY") != nullptr;
}
