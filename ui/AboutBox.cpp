// The About box: the product, its version as the version resource gives it, what the parameters do, and
// the folders where the settings, parameter sets and logs live.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "diag/ModuleVersion.h"
#include "presets/UserFolders.h"
#include "resources/ResourceIds.h"
#include "ui/MainDialog.h"
#include "ui/ModuleContextScope.h"

namespace {

void ShowVersion(HWND box, HINSTANCE instance)
{
    uint32_t version[4];
    char text[64];
    if (GetFixedFileInfo(instance, version))
        std::snprintf(text, sizeof text, "Version %u.%u.%u.%u", unsigned(version[0]), unsigned(version[1]),
                      unsigned(version[2]), unsigned(version[3]));
    else
        std::snprintf(text, sizeof text, "Version unknown");
    SetDlgItemTextA(box, IDC_ABOUT_VERSION, text);
}

void ShowFolders(HWND box)
{
    char settings[kPathCapacity] = "(not available)";
    char parameters[kPathCapacity] = "(not available)";
    char logs[kPathCapacity] = "(not available)";
    GetUserSettingsFolder(settings);
    GetUserParametersFolder(parameters);
    GetDebugLogFolder(logs);
    char text[3 * kPathCapacity + 64];
    std::snprintf(text, sizeof text, "Settings: %s\r\nParameter sets: %s\r\nLogs: %s", settings, parameters, logs);
    SetDlgItemTextA(box, IDC_ABOUT_FOLDERS, text);
}

INT_PTR CALLBACK AboutProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    switch (message) {
    case WM_INITDIALOG:
        ShowVersion(box, reinterpret_cast<HINSTANCE>(lParam));
        ShowFolders(box);
        // On OK rather than on the folder list, which would show its text selected.
        SetFocus(GetDlgItem(box, IDOK));
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(box, LOWORD(wParam));
            result = TRUE;
        }
        break;
    default: break;
    }
    return result;
}

} // namespace

void ShowAboutBox(void* ownerWindow)
{
    void* instance = OwnModule();
    const ModuleContextScope scope;
    DialogBoxParamA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(IDD_ABOUT), static_cast<HWND>(ownerWindow),
                    AboutProc, reinterpret_cast<LPARAM>(instance));
}
