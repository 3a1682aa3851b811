// The preview's three tools (Hand, Zoom, Delete): their buttons, the cursors that follow the tool and
// the Ctrl and Alt keys, and the zoom buttons beside the read-out.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr uint32_t kNoTool = 0;
constexpr uint32_t kHandTool = 1;
constexpr uint32_t kZoomTool = 2;
constexpr uint32_t kDeleteTool = 3;

// At dialog start: the keyboard hook, the preview's input handlers, the zoom buttons and the tooltips.
void InitTools(HWND dialog, HWND tooltip);
void SelectTool(uint32_t tool);
uint32_t CurrentTool();
// Chooses the cursors for the tool and the keys (both taken as released with `ignoreKeys`) and makes the
// current one the preview class's cursor.
void UpdateToolCursor(bool ignoreKeys);

// Whether a modifier key is down as the message being handled was sent.
bool KeyHeld(int key);

// What the gestures show: the cursor while no button is held and the one while it is.
HCURSOR CurrentToolCursor();
HCURSOR DragToolCursor();
