#include "common/StrayMessageBoxes.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <thread>

namespace {

constexpr DWORD kGraceMilliseconds = 2000; // tests that watch for boxes take theirs well within this

struct Sweep
{
    std::map<HWND, DWORD>* firstSeen;
    DWORD now;
};

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
    if (sweep.now - seen->second < kGraceMilliseconds)
        return TRUE;
    char caption[256] = {};
    char text[1024] = {};
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
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
        } while (WaitForSingleObject(gStop, 100) == WAIT_TIMEOUT);
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
