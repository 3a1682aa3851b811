#include "DialogDriver.h"

#include "tools/harness/PngWriter.h"
#include "tools/harness/ProcessDialogs_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/StrayMessageBoxes.h"

namespace {

constexpr WPARAM kMarkerTag = 0xC0DE;

std::atomic<long> gInputTaken{0};
std::atomic<long> gMarkerTaken{0};
std::atomic<long> gMarkerSent{0};

bool IsCountedInput(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: // a press on the size grip, say
    case WM_NCLBUTTONUP: return true;
    default: return false;
    }
}

// Counts what the dialog's thread takes from its queue, whichever loop (dialog, nested dialog, menu)
// takes it.
LRESULT CALLBACK CountTakenMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        if (IsCountedInput(message->message))
            ++gInputTaken;
        if (message->message == WM_NULL && message->wParam == kMarkerTag)
            gMarkerTaken = long(message->lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct DialogSearch
{
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context)
{
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(context);
    if (IsProcessDialog(window, search.caption)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM closed)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (process == GetCurrentProcessId() && lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window)) {
        char caption[128] = {};
        GetWindowTextA(window, caption, sizeof caption);
        std::fprintf(stderr, "[dialog cancelled] %s\n", caption);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        ++*reinterpret_cast<int*>(closed);
    }
    return TRUE;
}

// After a failed script: every dialog and message box of the process is answered, innermost ones
// included, so that the run on the host's thread can return.
void CancelEveryDialog()
{
    WaitUntil([] {
        int closed = 0;
        EnumWindows(CancelDialog, reinterpret_cast<LPARAM>(&closed));
        if (closed != 0)
            Sleep(100);
        return closed == 0;
    });
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = WORD(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Mouse input at a screen point. The point travels with the input itself: a cursor placed beforehand
// with SetCursorPos can still be overtaken by a pointer position arriving from the display.
INPUT MouseInput(POINT at, DWORD button)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // The pixel's centre on the 0..65535 scale, which maps back to the pixel whether the system scales
    // by the screen's size or by the size less one.
    input.mi.dx = LONG((2 * int64_t(at.x) + 1) * 65535 / (2 * int64_t(width)));
    input.mi.dy = LONG((2 * int64_t(at.y) + 1) * 65535 / (2 * int64_t(height)));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    return input;
}

} // namespace

void DialogDriver::SendInputs(INPUT* inputs, UINT count, int messages)
{
    EXPECT_EQ(SendInput(count, inputs, sizeof(INPUT)), count);
    sent_ += messages;
}

void DialogDriver::Press(WORD key, bool ctrl)
{
    std::vector<INPUT> inputs;
    if (ctrl)
        inputs.push_back(KeyInput(VK_CONTROL, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    if (ctrl)
        inputs.push_back(KeyInput(VK_CONTROL, true));
    SendInputs(inputs.data(), UINT(inputs.size()), int(inputs.size()));
}

void DialogDriver::Type(const char* text)
{
    for (const char* c = text; *c != '\0'; ++c) {
        const SHORT scan = VkKeyScanA(*c);
        const WORD key = LOBYTE(scan);
        const bool shift = (HIBYTE(scan) & 1) != 0;
        std::vector<INPUT> inputs;
        if (shift)
            inputs.push_back(KeyInput(VK_SHIFT, false));
        inputs.push_back(KeyInput(key, false));
        inputs.push_back(KeyInput(key, true));
        if (shift)
            inputs.push_back(KeyInput(VK_SHIFT, true));
        SendInputs(inputs.data(), UINT(inputs.size()), int(inputs.size()));
    }
}

void DialogDriver::ClickAt(HWND control, POINT clientPoint)
{
    Settle();
    ClientToScreen(control, &clientPoint);
    INPUT inputs[3] = {MouseInput(clientPoint, 0), MouseInput(clientPoint, MOUSEEVENTF_LEFTDOWN),
                       MouseInput(clientPoint, MOUSEEVENTF_LEFTUP)};
    SendInputs(inputs, 3, 2);
}

// Under Xvfb the window system reports the focus of a window that closed just before (a file dialog, a
// message box) a little late, and a menu opened in that moment closes again at once, as after a click
// elsewhere. Keys meant for the menu would then reach the dialog, so the menu must stay open for a while
// before it is used.
HWND DialogDriver::OpenMenuWithClick(HWND control)
{
    RECT bounds;
    GetClientRect(control, &bounds);
    for (int attempt = 0; attempt < 3; ++attempt) {
        ClickAt(control, POINT{bounds.right / 2, bounds.bottom / 2});
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); });
        Sleep(150);
        if (menu != nullptr && IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

void DialogDriver::Drag(HWND control, POINT from, POINT to)
{
    Settle();
    ClientToScreen(control, &from);
    ClientToScreen(control, &to);
    INPUT press[2] = {MouseInput(from, 0), MouseInput(from, MOUSEEVENTF_LEFTDOWN)};
    SendInputs(press, 2, 1);
    constexpr int kSteps = 4;
    for (int step = 1; step <= kSteps + 1; ++step) {
        const int reached = step < kSteps ? step : kSteps;
        INPUT move = MouseInput(
            POINT{from.x + (to.x - from.x) * reached / kSteps, from.y + (to.y - from.y) * reached / kSteps}, 0);
        SendInputs(&move, 1, 0);
        // Moves are not counted, and posted messages overtake them: give each time to arrive. The last
        // point is sent twice, so that a late echo of an earlier pointer position cannot be the last word.
        Sleep(30);
        Settle();
    }
    INPUT release = MouseInput(to, MOUSEEVENTF_LEFTUP);
    SendInputs(&release, 1, 1);
}

void DialogDriver::ButtonDown(HWND control, POINT clientPoint)
{
    Settle();
    ClientToScreen(control, &clientPoint);
    INPUT press[2] = {MouseInput(clientPoint, 0), MouseInput(clientPoint, MOUSEEVENTF_LEFTDOWN)};
    SendInputs(press, 2, 1);
}

void DialogDriver::MoveMouse(HWND control, POINT clientPoint)
{
    ClientToScreen(control, &clientPoint);
    INPUT move = MouseInput(clientPoint, 0);
    SendInputs(&move, 1, 0);
    Sleep(30); // moves are not counted: give it time to arrive
    Settle();
}

void DialogDriver::ButtonUp(HWND control, POINT clientPoint)
{
    ClientToScreen(control, &clientPoint);
    INPUT release = MouseInput(clientPoint, MOUSEEVENTF_LEFTUP);
    SendInputs(&release, 1, 1);
}

void DialogDriver::Hold(WORD key, bool down)
{
    INPUT input = KeyInput(key, !down);
    SendInputs(&input, 1, 1);
}

void DialogDriver::Settle()
{
    EXPECT_TRUE(WaitUntil([&] { return gInputTaken >= sent_; }))
        << "the dialog took " << gInputTaken << " of " << sent_ << " input messages";
    // Back in its loop, the thread has handled the last input and posted the characters it made; a
    // marker posted now comes after them.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &ignored);
    const long marker = ++gMarkerSent;
    PostMessageA(dialog_, WM_NULL, kMarkerTag, marker);
    EXPECT_TRUE(WaitUntil([&] { return gMarkerTaken >= marker; })) << "the dialog's thread stopped taking messages";
    SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &ignored);
}

std::string DialogDriver::Text(int id)
{
    Settle();
    char text[256] = {};
    GetWindowTextA(Item(id), text, sizeof text);
    return text;
}

int DialogDriver::TrackbarPosition(int id)
{
    Settle();
    return int(SendMessageA(Item(id), TBM_GETPOS, 0, 0));
}

bool DialogDriver::Checked(int id)
{
    Settle();
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND DialogDriver::Focus()
{
    Settle();
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(thread_, &info);
    return info.hwndFocus;
}

bool DialogDriver::SaveScreenshot(const std::string& path)
{
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Settle();
    RECT bounds;
    GetWindowRect(dialog_, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = -height; // top row first, as PNG stores it
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    // PrintWindow draws nothing under Wine: copy what the screen shows instead.
    HDC window = GetWindowDC(dialog_);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap =
        CreateDIBSection(window, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        const size_t stride = size_t((width * 3 + 3) & ~3);
        std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* bgr = static_cast<const uint8_t*>(bits) + size_t(y) * stride + size_t(x) * 3;
                uint8_t* to = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
                to[0] = bgr[2];
                to[1] = bgr[1];
                to[2] = bgr[0];
            }
        saved = WritePng(path, width, height, rgb.data());
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(dialog_, window);
    return saved;
}

std::string ScreenshotPath(const char* name)
{
    const std::filesystem::path folder = std::filesystem::path(CORVANE_BINARY_DIR) / "screenshots";
    std::error_code ignored;
    std::filesystem::create_directories(BuildOutputPath(folder.string()), ignored);
    return BuildOutputPath((folder / name).string());
}

HWND WaitForDialog(const char* caption, DWORD milliseconds)
{
    DialogSearch search{caption, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        milliseconds);
    return search.found;
}

OSErr RunWithDialog(Host* host, const std::function<void(DialogDriver&)>& script)
{
    // The closer of stray message boxes would answer the dialog while the script still drives it.
    StopStrayMessageBoxCloser();
    const DWORD hostThread = GetCurrentThreadId();
    HHOOK counter = SetWindowsHookExA(WH_GETMESSAGE, CountTakenMessages, nullptr, hostThread);
    EXPECT_NE(counter, nullptr);
    gInputTaken = 0;

    std::thread driver([&] {
        HWND dialog = WaitForDialog("Corvane Pro", 3 * kPatience);
        if (dialog == nullptr) {
            ADD_FAILURE() << "the dialog did not open";
            CancelEveryDialog();
            return;
        }
        SetForegroundWindow(dialog);
        DialogDriver driven(hostThread, dialog);
        driven.Settle();
        script(driven);
        if (!WaitUntil([&] { return !IsWindow(dialog); })) {
            ADD_FAILURE() << "the script left the dialog open";
            CancelEveryDialog();
        }
    });
    const OSErr result = host->RunInteractive();
    driver.join();
    if (counter != nullptr)
        UnhookWindowsHookEx(counter);
    StartStrayMessageBoxCloser();
    return result;
}
