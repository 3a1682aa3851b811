// The main dialog's start, its end and what a change of its size sets off.
#pragma once

#include <windows.h>

// WM_INITDIALOG. Returns FALSE: the focus is set here, on the Intensity box.
BOOL OnInitDialog(HWND dialog);
// WM_DESTROY: timer, hook, list, brushes and the memory bitmap.
void OnDestroyDialog(HWND dialog);
// WM_SIZE, and WM_WINDOWPOSCHANGED with a new size.
void RelayoutDialog(HWND dialog);
