// Placing the dialog on the screen and its controls in the dialog. Centring works now; recording the
// controls' anchoring, moving them on resize and restoring a saved place join later (the dialog then
// keeps its template layout when resized).
#pragma once

#include <windows.h>

void BuildInitialDialogItems(HWND dialog);
bool RepositionControls(HWND dialog); // true when every control was moved
void PlaceDialog(HWND dialog, const RECT& rect);
// Centres the dialog over its owner's client area (the desktop's when it has none), a little high.
void CenterDialog(HWND dialog);
// The size grip resizes the dialog; the preview frame keeps the progress strip from flickering.
void SubclassLayoutControls(HWND dialog);
// Composes the dialog's picture of `paint` (client coordinates) in `memoryDC`.
void PaintDialog(HWND dialog, HDC memoryDC, const RECT& paint);
// WM_GETMINMAXINFO and WM_NCCALCSIZE: true when answered.
bool SetMinimumTrackingSize(HWND dialog, MINMAXINFO* info);
bool AnswerValidRectangles(HWND dialog, WPARAM wParam, LPARAM lParam);
