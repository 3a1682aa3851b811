// The main dialog's procedure, exported by name as hosts and tools expect of the filter's dialog.
#pragma once

#include <windows.h>

extern "C" INT_PTR CALLBACK CorvaneProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
