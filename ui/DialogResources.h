// What the dialog loads before it opens and releases after it closes: the accelerator table, the
// brush behind the zoom read-out, the zoom buttons' bitmaps, the tool icons and cursors, and what the
// layout needs to know about the system.
#pragma once

#include <windows.h>

using DwmIsCompositionEnabledProc = HRESULT(WINAPI*)(BOOL*);

struct DialogResources
{
    HACCEL accelerators; // table 190
    HBRUSH windowBrush;  // COLOR_WINDOW, behind the zoom read-out
    HMODULE dwmLibrary;
    DwmIsCompositionEnabledProc isCompositionEnabled; // null where the system has none
    OSVERSIONINFOA version;

    HBITMAP zoomIn, zoomInPressed, zoomInDisabled;
    HBITMAP zoomOut, zoomOutPressed, zoomOutDisabled;
    HICON hand, handSelected, zoom, zoomSelected, remove, removeSelected;
    HCURSOR openHand, closedHand, zoomInCursor, zoomOutCursor, zoomLimit, deleteCursor, restoreCursor, link;
};

extern DialogResources gResources;

// False, with the missing resource logged, when any of them could not be loaded.
bool InitDialogResources(HINSTANCE instance);
void FreeDialogResources();
