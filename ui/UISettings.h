// The user-interface state that carries from one dialog to the next: the dialog's window rectangle, the
// last tool and the Preview setting. Held in memory for the module's lifetime; reading and writing the
// settings file join later, and until then every dialog starts from the defaults.
#pragma once

#include <windows.h>

#include <cstdint>

bool LoadUISettings(); // true when a stored file was accepted
void SaveUISettings();

RECT GetSavedDialogRect(); // empty: the dialog opens centred
void SetSavedDialogRect(const RECT& rect);
uint32_t GetSavedTool();
void SetSavedTool(uint32_t tool);
uint32_t GetPreviewSetting(); // 1: the preview shows the effect
void SetPreviewSetting(uint32_t preview);
