// The preview control, window class "ProxyDisplay": a superclass of Static that paints the preview from
// the display bitmap and never computes. The mouse and keyboard tools are the dialog's; they reach the
// control's messages through the handlers the dialog installs.
#pragma once

#include <windows.h>

#include "preview/PreviewPipeline.h"

// Registered before each dialog and removed after it, inside the module's activation context: the class
// belongs to the module's instance, and the module may be unloaded between dialogs.
bool RegisterProxyDisplay(HINSTANCE instance);
void UnregisterProxyDisplay(HINSTANCE instance);

struct DisplayInputHandlers
{
    // Keys, mouse messages, timers, capture changes, the cursor update and the context menu: true when
    // handled.
    bool (*onMessage)(HWND display, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void (*setCursor)();    // WM_SETCURSOR: the cursor of the current tool
    void (*onFirstDrawn)(); // the first paint of the dialog that shows the preview
    void (*onDestroy)();    // the control goes: the tools let go of what they hold
};
void SetDisplayInputHandlers(const DisplayInputHandlers& handlers);

// At dialog start: the view, the drawing objects and the preview pipeline. noErr, or the code of a refused
// allocation (already reported), which ends the dialog.
OSErr InitProxyDisplay(HWND dialog, HWND display, const PreviewSource& source);

// Shows, moves or hides the rectangle a tool drags over the image (corners in screen coordinates).
void SetDragRectangle(POINT a, POINT b, bool show);
constexpr LONG kNoCorner = 0x7FFFFFFF; // a corner of a rectangle that is not there
