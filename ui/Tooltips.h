// The dialog's one tooltip control and the registration of a control's tooltip with it.
#pragma once

#include <windows.h>

// A popup that always shows (also over an inactive dialog), owned by the dialog. Null on failure.
HWND CreateDialogTooltips(HWND dialog);

// Registers `text` for `control`, identified by its window; the tooltip control watches the control's
// mouse messages itself. Does nothing when either window is missing.
void AddTooltip(HWND tooltip, HWND dialog, HWND control, const char* text);
void AddTooltip(HWND tooltip, HWND dialog, int controlId, const char* text);
