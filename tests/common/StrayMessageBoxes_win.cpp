#include "common/StrayMessageBoxes.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace {

constexpr DWORD kGraceMilliseconds = 2000; // tests that watch for boxes take theirs well within this

struct Sweep
{
    std::map<HWND, DWORD>* firstSeen;
    DWORD now;
};

std::atomic<bool> gWatching{false};
std::mutex gWatchLock;
std::vector<std::string> gWatched;
std::set<HWND> gTaken; // a box closes a little after the answer is posted; no later sweep takes it again

BOOL CALLBACK CloseIfStray(HWND window, LPARAM context)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (process != GetCurrentProcessId() || lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    Sweep& sweep = *reinterpret_cast<Sweep*>(context);
    const auto seen = sweep.firstSeen->emplace(window, sweep.now).first;
    std::lock_guard<std::mutex> hold(gWatchLock);
    if (gWatching ? !gTaken.insert(window).second : sweep.now - seen->second < kGraceMilliseconds)
        return TRUE;
    // A message box is a dialog of this process whose text sits in the static control 0xFFFF.
    char caption[256] = {};
    char text[1024] = {};
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    if (gWatching)
        gWatched.push_back(std::string(caption) + " / " + text);
    else
        std::fprintf(stderr, "[message box closed] %s - %s\n", caption, text);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    sweep.firstSeen->erase(seen);
    return TRUE;
}

HANDLE gStop = nullptr;
std::thread gCloser;

} // namespace

void StartStrayMessageBoxCloser()
{
    if (gCloser.joinable())
        return;
    gStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    gCloser = std::thread([] {
        std::map<HWND, DWORD> firstSeen;
        do {
            Sweep sweep{&firstSeen, GetTickCount()};
            EnumWindows(CloseIfStray, reinterpret_cast<LPARAM>(&sweep));
        } while (WaitForSingleObject(gStop, gWatching ? 20 : 100) == WAIT_TIMEOUT);
    });
}

void StopStrayMessageBoxCloser()
{
    if (!gCloser.joinable())
        return;
    SetEvent(gStop);
    gCloser.join();
    CloseHandle(gStop);
    gStop = nullptr;
}

void WatchMessageBoxes(bool watching)
{
    std::lock_guard<std::mutex> hold(gWatchLock);
    if (watching) {
        gWatched.clear();
        gTaken.clear();
    }
    gWatching = watching;
}

std::vector<std::string> WatchedMessageBoxes()
{
    std::lock_guard<std::mutex> hold(gWatchLock);
    return gWatched;
}
