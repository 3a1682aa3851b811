// The user-interface state that carries from one dialog to the next: the dialog's window rectangle, the
// last tool and the Preview setting, and two fields of a debug image display that are only carried
// through. Held in memory for the module's lifetime, read from UISettings.bin before every dialog and
// written when the dialog ends with OK.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "presets/RecordVersion.h"

// The file is this record byte for byte. The module runs only on little-endian Windows, where the
// in-memory layout is the stored one; the asserts keep it so.
struct StoredRect
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct UISettings
{
    RecordVersion version;     // 0.0.0.9; a file of any other version is not used
    StoredRect dialogRect;     // screen coordinates of the main dialog's window; empty: centre it
    uint32_t tool;             // 1 Hand, 2 Zoom, 3 Delete
    uint32_t preview;          // 1 when "Preview" was checked
    StoredRect debugImageRect; // a debug image display's window
    uint32_t debugImageZoom;   // its zoom choice, 0..3 for X1..X8
};

static_assert(sizeof(UISettings) == 52);
static_assert(offsetof(UISettings, dialogRect) == 8);
static_assert(offsetof(UISettings, tool) == 24);
static_assert(offsetof(UISettings, preview) == 28);
static_assert(offsetof(UISettings, debugImageRect) == 32);
static_assert(offsetof(UISettings, debugImageZoom) == 48);

constexpr RecordVersion kUISettingsVersion{0, 0, 0, 9};
constexpr const char* kUISettingsFileName = "UISettings.bin";

// Reads the file over the settings in memory when it is whole and of the current version; a missing
// file is silent, a short one or one of another version is logged and changes nothing. Returns whether
// a file has been accepted since the module was loaded.
bool LoadUISettings();
void SaveUISettings();
// Back to the defaults and not loaded, as after loading the module.
void ResetUISettings();

RECT GetSavedDialogRect(); // empty: the dialog opens centred
void SetSavedDialogRect(const RECT& rect);
uint32_t GetSavedTool();
void SetSavedTool(uint32_t tool);
uint32_t GetPreviewSetting(); // 1: the preview shows the effect
void SetPreviewSetting(uint32_t preview);
