// The Settings list (named parameter sets) and its menu. Listing, loading, saving and deleting sets join
// later; until then the list is empty, carries its tooltips, and a changed slider only restarts the
// preview.
#pragma once

#include <windows.h>

void InitSettingsList(HWND dialog, HWND tooltip);
// A WM_COMMAND from the list; true when it was handled.
bool OnSettingsListNotify(HWND dialog, int code, HWND list);
void ShowSettingsMenu(HWND dialog);
// After the user changed a parameter: the list shows which set (if any) the parameters now match. Ends by
// restarting the preview.
void UpdateSettingsSelection(HWND dialog);
void FreeSettingsList(HWND dialog);
