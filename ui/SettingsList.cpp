#include "ui/SettingsList.h"

#include "resources/ResourceIds.h"
#include "ui/DialogMessages.h"
#include "ui/Tooltips.h"

void InitSettingsList(HWND dialog, HWND tooltip)
{
    AddTooltip(tooltip, dialog, IDC_SETTINGS_LIST, "Settings (T) - Select a set of saved parameters");
    AddTooltip(tooltip, dialog, IDC_SETTINGS_MENU, "Menu (M) - Save, load, or delete the current parameter set");
}

bool OnSettingsListNotify(HWND, int, HWND)
{
    return false;
}

void ShowSettingsMenu(HWND) {}

void UpdateSettingsSelection(HWND dialog)
{
    PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
}

void FreeSettingsList(HWND) {}
