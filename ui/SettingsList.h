// The Settings list of named parameter sets and its menu.
//
// Item 0 is "Factory Settings", item 1 "Initial Settings" (the parameters as the dialog opened), the
// items from 2 on the sets of the Parameters folder. Every item owns its record; a saved set also knows
// the file it came from, so that deleting it removes exactly that file. Choosing an item applies it at
// once.
#pragma once

#include <windows.h>

constexpr int kFirstSavedSetting = 2;

void InitSettingsList(HWND dialog, HWND tooltip);
// A WM_COMMAND from the list; true when it was handled.
bool OnSettingsListNotify(HWND dialog, int code, HWND list);
// On a click of the menu icon or its key: Load, Save or Delete.
void ShowSettingsMenu(HWND dialog);
// After the user changed a parameter: the list shows the last chosen set while the parameters still
// equal it, and nothing otherwise. Ends by restarting the preview.
void UpdateSettingsSelection(HWND dialog);
void FreeSettingsList(HWND dialog);

// Copies `record` into the current parameters after checking its version; false (logged) when refused.
bool ApplyParameterRecord(HWND dialog, const void* record);
// After a record was applied: the controls show it, the focus leaves whatever control had it, and the
// preview starts over.
void AnnounceParametersLoaded(HWND dialog);

// Puts a saved set into the list, replacing the record and file of one with the same name (ignoring
// case) or inserted in order among the saved sets; applies it and selects it. Takes `record`.
void AddOrReplaceSetting(HWND dialog, const char* name, const char* fileName, void* record);
// The selected item's index (-1 for none), display name and file name.
int SelectedSetting(HWND dialog);
bool GetSettingNames(HWND dialog, int index, char* name, char* fileName);
// Frees the item's record and removes it; the list then shows no selection.
void RemoveSetting(HWND dialog, int index);
void SelectNoSetting(HWND dialog);
