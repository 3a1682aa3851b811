// The preview's three tools (Hand, Zoom, Delete): their buttons, tooltips and cursors. The tools' mouse
// handling joins later; until then the buttons carry their tooltips and selecting a tool does nothing.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr uint32_t kNoTool = 0;
constexpr uint32_t kHandTool = 1;
constexpr uint32_t kZoomTool = 2;
constexpr uint32_t kDeleteTool = 3;

// At dialog start: the tool buttons, the zoom buttons and their tooltips.
void InitTools(HWND dialog, HWND tooltip);
void SelectTool(uint32_t tool);
void UpdateToolCursor(bool ignoreKeys);
