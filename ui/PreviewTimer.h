// The preview is never computed inside a message handler: a change only restarts the work, and the work
// runs in slices on the dialog's timer 1, so that dragging a slider stays smooth.
#pragma once

#include <windows.h>

constexpr UINT_PTR kPreviewTimer = 1;
constexpr UINT kPreviewTickMilliseconds = 10;

// WM_RESTARTPREVIEW: a fresh snapshot of the job, and the timer running.
void RestartPreview(HWND dialog);
// WM_TIMER 1: one slice; the timer stops when the work is done.
void OnPreviewTick(HWND dialog);
// WM_DESTROY.
void StopPreviewTimer(HWND dialog);
