// The user-interface state that carries from one dialog to the next: the dialog's window rectangle, the
// last tool and the Preview setting, and two fields of a debug image display that are only carried
// through. Held in memory for the module's lifetime, read from UISettings.bin before every dialog and
// written when the dialog ends with OK.
#pragma once

#include <windows.h>

#include <cstdint>

#include "presets/UISettingsRecord.h"

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
