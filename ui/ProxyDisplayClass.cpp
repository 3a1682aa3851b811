#include "ui/ProxyDisplayClass.h"

namespace {

constexpr const char* kClassName = "ProxyDisplay";

// The system's Static procedure, which the class builds on for every message it does not handle.
WNDPROC gStaticProc = nullptr;

void PaintEmptyPreview(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&client, -1, -1);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
}

LRESULT CALLBACK ProxyDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != nullptr)
            PaintEmptyPreview(window, dc);
        EndPaint(window, &paint);
        break;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT: PaintEmptyPreview(window, reinterpret_cast<HDC>(wParam)); break;
    case WM_ERASEBKGND:
    case WM_NCHITTEST:
        result = 1; // no erasing; the whole control is client area
        break;
    case WM_GETDLGCODE: result = DLGC_STATIC | DLGC_WANTARROWS; break;
    default: result = CallWindowProcA(gStaticProc, window, message, wParam, lParam); break;
    }
    return result;
}

} // namespace

bool RegisterProxyDisplay(HINSTANCE instance)
{
    WNDCLASSEXA staticClass{};
    staticClass.cbSize = sizeof(staticClass);
    if (!GetClassInfoExA(nullptr, "Static", &staticClass))
        return false;
    gStaticProc = staticClass.lpfnWndProc;
    WNDCLASSEXA display = staticClass;
    display.lpfnWndProc = ProxyDisplayProc;
    display.hInstance = instance;
    display.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    display.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    display.style = CS_OWNDC | CS_NOCLOSE;
    display.lpszClassName = kClassName;
    // A class left from a dialog that never returned serves as well as a new one.
    return RegisterClassExA(&display) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void UnregisterProxyDisplay(HINSTANCE instance)
{
    UnregisterClassA(kClassName, instance);
}
