#include "ui/ParameterFileDialog.h"

#include <commdlg.h>

#include <cstdio>

#include "diag/ErrorReport.h"
#include "diag/FolderListing.h"
#include "presets/ParameterSets.h"
#include "resources/ResourceIds.h"

namespace {

constexpr size_t kTitleCapacity = 128;
constexpr size_t kFileTitleCapacity = 256;

} // namespace

bool AskForParameterFile(HWND dialog, ParameterFileAction action, const char* folder, char* path)
{
    const bool load = action == ParameterFileAction::Load;
    char title[kTitleCapacity];
    std::snprintf(title, sizeof title, load ? "Load %s Parameter File" : "Save %s Parameter File", kProductName);
    char fileTitle[kFileTitleCapacity] = {};
    path[0] = '\0';

    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = GetDlgItem(dialog, IDC_SETTINGS_MENU);
    request.lpstrFilter = "Parameter Files\0 *.cvp\0";
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = kPathCapacity;
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = sizeof fileTitle;
    request.lpstrInitialDir = folder;
    request.lpstrTitle = title;
    request.lpstrDefExt = kParameterSetExtension;
    // Saving over a set asks first (the dialog does); a file the user may not write is never offered.
    request.Flags = load ? OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_DONTADDTORECENT
                         : OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN | OFN_DONTADDTORECENT;
    if (load ? GetOpenFileNameA(&request) : GetSaveFileNameA(&request))
        return true;
    const DWORD error = CommDlgExtendedError();
    if (error != 0)
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    load ? "GetOpenFileName() failed with error = '%d'" : "GetSaveFileName() failed with error = '%d'",
                    int(error));
    return false;
}
