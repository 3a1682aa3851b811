// Running the main dialog for the start selector: its resources, the preview's window class and the
// modal dialog itself, all inside the module's activation context.
#include <windows.h>

#include "diag/ErrorReport.h"
#include "diag/ModuleVersion.h"
#include "preview/ProxyDisplay.h"
#include "resources/ResourceIds.h"
#include "sdk/HostConstants.h"
#include "ui/CorvaneProc.h"
#include "ui/DialogResources.h"
#include "ui/DialogState.h"
#include "ui/MainDialog.h"
#include "ui/ModuleContextScope.h"
#include "ui/SliderTable.h"
#include "ui/Sliders.h"
#include "ui/UISettings.h"

namespace {

OSErr ReportedFailure(uint32_t line, const char* what)
{
    ReportError(ErrorSite{line, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected, "%s", what);
    return memFullErr;
}

OSErr ShowDialog(HINSTANCE instance, HWND owner)
{
    if (!RegisterProxyDisplay(instance))
        return ReportedFailure(__LINE__, "RegisterClassEx() failed for the preview control");
    const INT_PTR ended = DialogBoxParamA(instance, CORVANE_MAIN_DIALOG, owner, CorvaneProc, 0);
    OSErr result = gDialog.resultCode;
    if (ended == -1 || ended == 0)
        result = ReportedFailure(__LINE__, "DialogBoxParam() failed for the main dialog");
    else if (ended != IDOK && result == noErr)
        result = userCanceledErr;
    UnregisterProxyDisplay(instance);
    return result;
}

} // namespace

OSErr RunMainDialog(const DialogRun& run)
{
    if (run.parameters == nullptr)
        return filterBadParameters;
    HINSTANCE instance = static_cast<HINSTANCE>(OwnModule());
    ResetDialogState();
    ResetSliderBindings();
    gTrackbarDragging = false;
    gDialog.instance = instance;
    gDialog.parameters = run.parameters;
    gDialog.image = run.image;
    gDialog.filterRecord = run.filterRecord;
    gDialog.openedWith = *run.parameters;

    OSErr result = noErr;
    {
        const ModuleContextScope scope;
        if (!InitDialogResources(instance))
            result = memFullErr; // each missing resource was logged
        if (result == noErr) {
            LoadUISettings();
            result = ShowDialog(instance, static_cast<HWND>(run.ownerWindow));
        }
        FreeDialogResources();
    }

    // Nothing the dialog changed survives a cancel or a failure.
    if (result != noErr)
        *run.parameters = gDialog.openedWith;
    ResetSliderBindings();
    ResetDialogState();
    return result;
}
