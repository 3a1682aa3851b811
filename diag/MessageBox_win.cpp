#include "diag/MessageBox.h"

#include <windows.h>

void ShowMessageBox(void* ownerWindow, const char* text, const char* caption, uint32_t style)
{
    MessageBoxA(static_cast<HWND>(ownerWindow), text, caption, style);
}
