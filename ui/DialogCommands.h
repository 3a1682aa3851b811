// WM_COMMAND of the main dialog: the controls' notifications and the accelerator commands.
#pragma once

#include <windows.h>

void OnDialogCommand(HWND dialog, int id, int code, HWND control);
