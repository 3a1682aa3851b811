// The Settings menu beside the list: loading a set from a file, saving the current parameters as one,
// and deleting the selected set.
#include <cstdio>
#include <cstring>

#include "diag/ErrorReport.h"
#include "diag/FolderListing.h"
#include "presets/ParameterBlock.h"
#include "presets/ParameterSets.h"
#include "presets/SettingsFiles.h"
#include "resources/ResourceIds.h"
#include "ui/DialogState.h"
#include "ui/ParameterFileDialog.h"
#include "ui/SettingsList.h"

namespace {

enum SettingsMenuCommand : UINT
{
    kLoadSettings = 1,
    kSaveSettings = 2,
    kDeleteSettings = 3,
};

// A set of our own folder joins the list under its file name less the extension.
void AddSetOfFile(HWND dialog, const char* path, void* record)
{
    const char* fileName = FileNameOfPath(path);
    char name[kSetNameCapacity];
    SetNameOfFile(fileName, SetNameCut::LastPeriod, name);
    AddOrReplaceSetting(dialog, name, fileName, record);
}

void LoadSettings(HWND dialog)
{
    char folder[kPathCapacity];
    char path[kPathCapacity];
    if (!CopyParametersFolder(folder) || !AskForParameterFile(dialog, ParameterFileAction::Load, folder, path))
        return;
    void* record = ReadParameterSet(path);
    if (record == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "LoadParameterStructure() failed with FilePath = '%s'",
                    path);
        return;
    }
    if (IsOwnParameterSet(path)) {
        AddSetOfFile(dialog, path, record);
        return;
    }
    // A set from elsewhere is used but not listed: the list holds the folder's sets only.
    if (ApplyParameterRecord(dialog, record))
        AnnounceParametersLoaded(dialog);
    FreeParameterBlock(record);
    SelectNoSetting(dialog);
}

void SaveSettings(HWND dialog)
{
    char folder[kPathCapacity];
    char path[kPathCapacity];
    if (!CopyParametersFolder(folder) || !AskForParameterFile(dialog, ParameterFileAction::Save, folder, path))
        return;
    void* record = ParameterBlockProc(kBlockCurrent, nullptr, gDialog.parameters);
    if (record == nullptr || !WriteParameterFile(path, record)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "SaveParametersFile() failed with FilePath = '%s'",
                    path);
        FreeParameterBlock(record);
        return;
    }
    if (IsOwnParameterSet(path))
        AddSetOfFile(dialog, path, record);
    else
        FreeParameterBlock(record);
}

void DeleteSelectedSetting(HWND dialog)
{
    const int index = SelectedSetting(dialog);
    char name[kSetNameCapacity];
    char fileName[MAX_PATH];
    if (index < kFirstSavedSetting || !GetSettingNames(dialog, index, name, fileName))
        return;
    // The question names the file itself: a set listed under a shortened name ("my" for my.stars.cvp)
    // would otherwise seem to be another file.
    char stem[kSetNameCapacity];
    SetNameOfFile(fileName, SetNameCut::LastPeriod, stem);
    const char* period = std::strrchr(fileName, '.');
    char caption[128];
    char text[2 * MAX_PATH];
    std::snprintf(caption, sizeof caption, "Delete %s Parameter File", kProductName);
    std::snprintf(text, sizeof text, "The %s saved parameter file '%s.%s' will be deleted.", kProductName, stem,
                  period != nullptr ? period + 1 : kParameterSetExtension);
    if (MessageBoxA(dialog, text, caption, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    char folder[kPathCapacity];
    if (!CopyParametersFolder(folder))
        return;
    RemoveSetting(dialog, index);
    DeleteParameterSet(folder, fileName);
}

} // namespace

void ShowSettingsMenu(HWND dialog)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        ReportError(ErrorSite{__LINE__, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected,
                    "CreatePopupMenu() failed for the Settings menu");
        return;
    }
    const bool deletable = SelectedSetting(dialog) >= kFirstSavedSetting;
    AppendMenuA(menu, MF_STRING, kLoadSettings, "Load Settings");
    AppendMenuA(menu, MF_STRING, kSaveSettings, "Save Settings");
    AppendMenuA(menu, MF_STRING | (deletable ? MF_ENABLED : MF_GRAYED), kDeleteSettings, "Delete Settings");

    // A menu of a window that is not in the foreground stays open when the user clicks elsewhere.
    SetForegroundWindow(dialog);
    RECT icon{};
    GetWindowRect(GetDlgItem(dialog, IDC_SETTINGS_MENU), &icon);
    SetLastError(0);
    const UINT command = UINT(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                             icon.right, icon.bottom, 0, dialog, nullptr));
    const DWORD error = GetLastError();
    // Without a message after it, the next menu opened soon after may close at once.
    PostMessageA(dialog, WM_NULL, 0, 0);
    DestroyMenu(menu);

    switch (command) {
    case kLoadSettings: LoadSettings(dialog); break;
    case kSaveSettings: SaveSettings(dialog); break;
    case kDeleteSettings: DeleteSelectedSetting(dialog); break;
    case 0:
        if (error != 0) // otherwise the user closed the menu
            ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "TrackPopupMenu() failed with error code 0x%X",
                        unsigned(error));
        break;
    default:
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "TrackPopupMenu() returned unexpected value 0x%X",
                    command);
        break;
    }
}
