#include "ui/SettingsList.h"

#include <cstdio>
#include <cstdlib>

#include "diag/ErrorReport.h"
#include "presets/ParameterBlock.h"
#include "presets/ParameterSets.h"
#include "preview/DialogMessages.h"
#include "resources/ResourceIds.h"
#include "ui/DialogState.h"
#include "ui/Tooltips.h"

namespace {

// What an item of the list owns.
struct SettingItem
{
    void* record;            // 255-byte block (FreeParameterBlock)
    char fileName[MAX_PATH]; // the set's file in the Parameters folder; empty for the two fixed items
};

// Lives for the module's load: the remembered item carries over from one dialog to the next.
struct SettingsListState
{
    int chosenIndex = 1;   // the item last chosen; -1 once it was deleted
    bool choosing = false; // a choice is being applied: the focus it takes away comes back to the list
};

SettingsListState gSettingsList;

HWND ListOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_SETTINGS_LIST);
}

int ItemCount(HWND list)
{
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : int(count);
}

SettingItem* ItemAt(HWND list, int index)
{
    if (index < 0 || index >= ItemCount(list))
        return nullptr;
    const LRESULT data = SendMessageA(list, CB_GETITEMDATA, WPARAM(index), 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<SettingItem*>(data);
}

void FreeItem(SettingItem* item)
{
    if (item == nullptr)
        return;
    FreeParameterBlock(item->record);
    std::free(item);
}

bool GetItemText(HWND list, int index, char* name)
{
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length < 0 || length >= LRESULT(kSetNameCapacity))
        return false;
    return SendMessageA(list, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(name)) != CB_ERR;
}

// Gives the item at `index` this record and file, replacing what it had. An item that could not be
// given a record stays in the list without one, so that the indices of the others hold; choosing it
// does nothing.
void AttachRecord(HWND list, int index, const char* fileName, void* record)
{
    SettingItem* item = ItemAt(list, index);
    if (item == nullptr && record != nullptr) {
        item = static_cast<SettingItem*>(std::calloc(1, sizeof(SettingItem)));
        if (item == nullptr)
            ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Settings list item allocation failed.");
        else
            SendMessageA(list, CB_SETITEMDATA, WPARAM(index), reinterpret_cast<LPARAM>(item));
    }
    if (item == nullptr) {
        FreeParameterBlock(record);
        return;
    }
    FreeParameterBlock(item->record);
    item->record = record;
    std::snprintf(item->fileName, sizeof item->fileName, "%s", fileName);
}

// Inserts before `before`, or appends when it is -1. The index the item took, or -1.
int InsertSetting(HWND list, int before, const char* name, const char* fileName, void* record)
{
    const LRESULT index = before < 0
                              ? SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name))
                              : SendMessageA(list, CB_INSERTSTRING, WPARAM(before), reinterpret_cast<LPARAM>(name));
    if (index < 0) {
        FreeParameterBlock(record);
        return -1;
    }
    AttachRecord(list, int(index), fileName, record);
    return int(index);
}

void AppendListedSet(const char* fileName, void* record, void* list)
{
    char name[kSetNameCapacity];
    SetNameOfFile(fileName, SetNameCut::FirstPeriod, name);
    InsertSetting(static_cast<HWND>(list), -1, name, fileName, record);
}

// A saved set of this name, ignoring case; -1 when there is none. The fixed items do not take part: a
// set saved as "Factory Settings" is a set of its own, as the next dialog lists it.
int FindSavedSetting(HWND list, const char* name)
{
    char text[kSetNameCapacity];
    for (int index = kFirstSavedSetting; index < ItemCount(list); ++index)
        if (GetItemText(list, index, text) && lstrcmpiA(text, name) == 0)
            return index;
    return -1;
}

// Where a new saved set goes: before the first saved set whose name sorts after it, ignoring case.
int InsertionPoint(HWND list, const char* name)
{
    char text[kSetNameCapacity];
    for (int index = kFirstSavedSetting; index < ItemCount(list); ++index)
        if (GetItemText(list, index, text) && lstrcmpiA(text, name) > 0)
            return index;
    return -1;
}

void SelectSetting(HWND list, int index)
{
    SendMessageA(list, CB_SETCURSEL, WPARAM(index), 0);
}

} // namespace

void InitSettingsList(HWND dialog, HWND tooltip)
{
    AddTooltip(tooltip, dialog, IDC_SETTINGS_LIST, "Settings (T) - Select a set of saved parameters");
    AddTooltip(tooltip, dialog, IDC_SETTINGS_MENU, "Menu (M) - Save, load, or delete the current parameter set");
    HWND list = ListOf(dialog);
    InsertSetting(list, -1, "Factory Settings", "", ParameterBlockProc(kBlockFactory, nullptr, nullptr));
    InsertSetting(list, -1, "Initial Settings", "", ParameterBlockProc(kBlockCurrent, nullptr, gDialog.parameters));
    ListParameterSets(AppendListedSet, list);
    SelectSetting(list, 1);
    SendMessageA(list, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

bool OnSettingsListNotify(HWND dialog, int code, HWND list)
{
    switch (code) {
    case CBN_SELCHANGE: {
        gSettingsList.choosing = true;
        const int index = int(SendMessageA(list, CB_GETCURSEL, 0, 0));
        const SettingItem* item = ItemAt(list, index);
        if (item != nullptr && ApplyParameterRecord(dialog, item->record))
            AnnounceParametersLoaded(dialog);
        gSettingsList.chosenIndex = index;
        // Normally the focus came back while the choice was applied; if the list never had it, no later
        // loss of focus may be mistaken for this choice.
        gSettingsList.choosing = false;
        return true;
    }
    case CBN_KILLFOCUS:
        // The sliders take the focus away as they show a chosen set; the arrow keys must go on
        // moving through the list.
        if (gSettingsList.choosing)
            SetFocus(list);
        gSettingsList.choosing = false;
        return true;
    default: return false;
    }
}

void UpdateSettingsSelection(HWND dialog)
{
    if (!gSettingsList.choosing) {
        HWND list = ListOf(dialog);
        const int index = gSettingsList.chosenIndex;
        const SettingItem* item = ItemAt(list, index);
        const bool same =
            item != nullptr && ParameterBlockProc(kBlockEquals, item->record, gDialog.parameters) != nullptr;
        SelectSetting(list, same ? index : -1);
    }
    PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
}

void FreeSettingsList(HWND dialog)
{
    HWND list = ListOf(dialog);
    for (int index = 0; index < ItemCount(list); ++index) {
        FreeItem(ItemAt(list, index));
        SendMessageA(list, CB_SETITEMDATA, WPARAM(index), 0);
    }
}

bool ApplyParameterRecord(HWND, const void* record)
{
    if (record == nullptr)
        return false;
    const RecordVersion version = ReadRecordVersion(record);
    if (!CheckRecordVersion(kCurrentParametersVersion, version)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "Parameter Set version mismatch: Major Version = '%d', Minor Version = '%d', Revision = '%d', "
                    "Build = '%d'",
                    version.major, version.minor, version.revision, version.build);
        return false;
    }
    return ParameterBlockProc(kBlockApply, record, gDialog.parameters) != nullptr;
}

void AnnounceParametersLoaded(HWND dialog)
{
    SendMessageA(dialog, WM_PARAMETERSLOADED, 0, 0);
    // The whole record changed at once: no control keeps the focus as if one value were still being edited.
    SetFocus(nullptr);
    PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
}

void AddOrReplaceSetting(HWND dialog, const char* name, const char* fileName, void* record)
{
    HWND list = ListOf(dialog);
    int index = FindSavedSetting(list, name);
    if (index >= 0)
        AttachRecord(list, index, fileName, record);
    else
        index = InsertSetting(list, InsertionPoint(list, name), name, fileName, record);
    const SettingItem* item = ItemAt(list, index);
    if (item != nullptr && ApplyParameterRecord(dialog, item->record))
        AnnounceParametersLoaded(dialog);
    SelectSetting(list, index);
    gSettingsList.chosenIndex = index;
}

int SelectedSetting(HWND dialog)
{
    return int(SendMessageA(ListOf(dialog), CB_GETCURSEL, 0, 0));
}

bool GetSettingNames(HWND dialog, int index, char* name, char* fileName)
{
    HWND list = ListOf(dialog);
    const SettingItem* item = ItemAt(list, index);
    if (item == nullptr || !GetItemText(list, index, name))
        return false;
    std::snprintf(fileName, MAX_PATH, "%s", item->fileName);
    return true;
}

void RemoveSetting(HWND dialog, int index)
{
    HWND list = ListOf(dialog);
    FreeItem(ItemAt(list, index));
    SendMessageA(list, CB_DELETESTRING, WPARAM(index), 0);
    if (gSettingsList.chosenIndex == index)
        gSettingsList.chosenIndex = -1;
    else if (gSettingsList.chosenIndex > index)
        --gSettingsList.chosenIndex;
    SelectSetting(list, -1);
}

void SelectNoSetting(HWND dialog)
{
    SelectSetting(ListOf(dialog), -1);
}
