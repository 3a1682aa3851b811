// Drives the real dialog of a loaded module the way a person does: a second thread presses keys and
// clicks through SendInput while the host's thread (the test's main thread) runs the filter and, in it,
// the modal dialog. Reads go through the controls themselves (texts, trackbar positions, checks, focus).
//
//   OSErr result = RunWithDialog(&host, [](DialogDriver& dialog) {
//       dialog.Press('A');
//       dialog.Type("45.5");
//       EXPECT_EQ(dialog.TrackbarPosition(IDC_ANGLE_TRACKBAR), 455);
//       dialog.Press(VK_ESCAPE);
//   });
//
// Posted messages overtake keys still waiting in the queue, so every read first waits until the
// dialog's thread has taken and handled all input sent so far (Settle).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tools/harness/Harness.h"

class DialogDriver
{
public:
    DialogDriver(DWORD dialogThread, HWND dialog) : thread_(dialogThread), dialog_(dialog) {}

    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    // Input, as the user gives it to the foreground window. Keys: virtual-key codes or characters.
    void Press(WORD key, bool ctrl = false);
    void Type(const char* text);
    void ClickAt(HWND control, POINT clientPoint);
    // Clicks the middle of `control`, which opens a popup menu; the menu's window once it has stayed
    // open for a moment (opened again if it closed at once), or null.
    HWND OpenMenuWithClick(HWND control);
    // Press at `from`, move to `to` in a few steps, release there.
    void Drag(HWND control, POINT from, POINT to);
    // The parts of a gesture, for tests that act in its middle; points in the control's client coordinates.
    void ButtonDown(HWND control, POINT clientPoint);
    void MoveMouse(HWND control, POINT clientPoint);
    void ButtonUp(HWND control, POINT clientPoint);
    // A key held down (or let go) across the next inputs, such as Alt or Ctrl over a click.
    void Hold(WORD key, bool down);
    // Waits until the dialog's thread has taken and handled every input sent so far.
    void Settle();

    // Reads; each settles first.
    std::string Text(int id);
    int TrackbarPosition(int id);
    bool Checked(int id);
    HWND Focus();

    // The window rectangle of the dialog as the screen shows it, as a PNG file.
    bool SaveScreenshot(const std::string& path);

private:
    void SendInputs(INPUT* inputs, UINT count, int messages);

    DWORD thread_;
    HWND dialog_;
    long sent_ = 0; // key and button messages the inputs so far make
};

// Milliseconds any single wait of a window test may take.
constexpr DWORD kPatience = 5000;

// Polls `condition` until it holds or `milliseconds` have passed; whether it held.
template <typename Condition> bool WaitUntil(Condition condition, DWORD milliseconds = kPatience)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(2);
    }
    return true;
}

// Where a test's screenshot `name` goes: build/windows/screenshots/, created when missing.
std::string ScreenshotPath(const char* name);

// A visible dialog of this process with `caption`, waited for up to `milliseconds`; null when none came.
HWND WaitForDialog(const char* caption, DWORD milliseconds);

// Runs an interactive filter on `host` on this thread while `script` drives its dialog from another. A
// dialog that the script leaves open is cancelled (and the test fails). The result is the run's.
OSErr RunWithDialog(Host* host, const std::function<void(DialogDriver&)>& script);
