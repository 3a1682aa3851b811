// What the main dialog keeps while it runs. One dialog exists at a time (it is modal and runs on the
// host's thread), so its state is one module-wide record, reset before every dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/ImageBuffer.h"
#include "sdk/FilterRecord.h"
#include "sdk/HostTypes.h"
#include "ui/MainDialog.h"

struct MainDialogState
{
    HWND window;             // null outside WM_INITDIALOG .. WM_DESTROY
    HINSTANCE instance;      // the module (resources, window classes)
    RECT currentRect;        // window rectangle in screen coordinates, kept by every move and resize
    OSErr resultCode;        // handed back to the host: 0, userCanceledErr after Cancel, or a failure
    bool ending;             // OK, Cancel or a failure is ending the dialog
    bool closing;            // Cancel or a failure is ending it
    bool paintedOnce;        // the first WM_PAINT has been handled
    bool previewPending;     // the preview work has more slices to run
    int32_t timerReentrancy; // ticks in progress; a tick nested inside a slice does nothing
    HWND timerWindow;        // the window timer 1 runs on; null while no timer runs
    HHOOK messageFilterHook; // the accelerators' WH_MSGFILTER hook
    HWND tooltip;            // the one tooltip control
    HDC memoryDC;            // off-screen painting
    HBITMAP memoryBitmap;
    HBITMAP originalBitmap; // the memory DC's own bitmap, selected back before the DC is deleted
    HBRUSH progressBrush;   // COLOR_BTNFACE, behind the progress bar

    FilterParameters* parameters; // the host's record, edited in place
    ImageBuffer* image;           // the document, for the preview; null when there is none
    const FilterRecord* filterRecord;
    FilterParameters openedWith; // the record as the dialog found it, restored by Cancel
};

extern MainDialogState gDialog;

void ResetDialogState();

// Ends the dialog the way Cancel does, with `code` for the host; the first failure is kept.
void FailDialog(OSErr code);
