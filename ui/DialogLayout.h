// The resizable main dialog: where every control sits and how it follows a change of the dialog's size,
// where the dialog itself opens on the screen, and how it is composed off-screen for painting.
//
// The preview side grows with the dialog while the settings panel keeps its size at the right edge.
// Every control is recorded once, with its template rectangle and which of its edges follow the width
// and the height; a resize then moves all of them from those rectangles in one deferred batch.
#pragma once

#include <windows.h>

// At start-up, while the dialog still has its template's size: records every control and the dialog's
// window and client rectangles, which are also its smallest size.
void BuildInitialDialogItems(HWND dialog);
// At the dialog's end: the table and the smallest size are forgotten.
void ForgetDialogItems();
// Moves every control to where its anchors put it for the current client size. True when every control
// was moved; after a failing batch the controls already moved stay, and the next size change tries again.
// Only the moved controls' old and new places are repainted (through the memory bitmap, so nothing
// flickers); the rest of the client area keeps its pixels, which the system's default sizing preserves.
bool RepositionControls(HWND dialog);

// Moves the dialog to a saved window rectangle when that lies between (0, 0) and the virtual screen's
// size; otherwise keeps the saved size (the template's, when the saved one is larger than the screen)
// and centres the dialog. Either way the place it takes becomes the dialog's current rectangle.
void PlaceDialog(HWND dialog, const RECT& rect);
// Centres the dialog over its owner's client area (the desktop's when it has none), a little high.
void CenterDialog(HWND dialog);

// The size grip in the bottom-right corner resizes the dialog.
void SubclassLayoutControls(HWND dialog);
// Composes the part `paint` (client coordinates; empty: all) of the dialog in `memoryDC`: the background
// and every control that meets it, each printed by the control itself.
void PaintDialog(HWND dialog, HDC memoryDC, const RECT& paint);
// WM_GETMINMAXINFO: the dialog never gets smaller than its template. True when answered.
bool SetMinimumTrackingSize(MINMAXINFO* info);
