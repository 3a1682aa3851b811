// The dialog paints through a memory bitmap as large as its window: the picture is composed off-screen
// and copied in one BitBlt, and the background is never erased, so nothing flickers.
#pragma once

#include <windows.h>

// Creates (on the first call also the memory device context) a bitmap of the dialog's window size and
// selects it, deleting the one it replaces. False when either could not be made.
bool CreateMemoryBitmap(HWND dialog);
// Selects the context's own bitmap back, deletes the memory bitmap and the context.
void ReleaseMemoryBitmap();

// WM_PAINT.
void PaintThroughMemoryBitmap(HWND dialog);
