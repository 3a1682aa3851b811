// What the mouse and the keys do in the preview: one gesture from button down to button up, by the tool
// and the modifier keys at the press, and scrolling by keys.
#pragma once

#include <windows.h>

// The preview's input messages (installed as its handler by InitTools); true when handled.
bool OnToolMessage(HWND display, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The preview goes: a gesture in progress is dropped and its timers stop.
void EndToolGestures();
