// Dialog windows of this process, as the harness and the window tests look for them (Windows only).
#pragma once

#include <windows.h>

// True for a visible top-level dialog ("#32770") of this process whose caption is `caption`.
bool IsProcessDialog(HWND window, const char* caption);
