#include "host/PluginMain.h"

#include "diag/DebugLog.h"
#include "diag/ErrorReport.h"
#include "diag/ModuleVersion.h"
#include "engine/EngineState.h"
#include "engine/ParameterRanges.h"
#include "host/FilterRun.h"
#include "host/HostRects.h"
#include "host/ImageTransfer.h"
#include "host/LastParameters.h"
#include "host/PlatformServices.h"
#include "host/PluginGlobals.h"
#include "host/ScriptParameters.h"
#include "host/SelectorSteps.h"
#include "host/UserInterface.h"
#include "image/ToneTables.h"
#include "presets/UserFolders.h"

namespace {

void SetUpOnce(int16 selector, void* record)
{
    if (gPlugin.initialised)
        return;
    void* platformData = nullptr;
    if (record != nullptr) {
        platformData = selector == filterSelectorAbout ? static_cast<AboutRecord*>(record)->platformData
                                                       : static_cast<FilterRecord*>(record)->platformData;
    }
    gPlugin.parentWindow = WindowOfPlatformData(platformData);
    SetupUserFolders("Corvane", "Corvane Pro");
    SetDebugLogProductName("Corvane Pro");
    char logFolder[kPathCapacity];
    OpenDebugLog(gPlugin.parentWindow, GetDebugLogFolder(logFolder) ? logFolder : nullptr);
    gPlugin.initialised = true;
}

OSErr DoAbout()
{
    if (InitializeCom()) {
        InitializeCommonControls();
        const AboutRecord* about = gPlugin.aboutRecord;
        const UserInterface& ui = InstalledUserInterface();
        if (ui.showAboutBox != nullptr)
            ui.showAboutBox(WindowOfPlatformData(about != nullptr ? about->platformData : nullptr));
        UninitializeCom();
    }
    return noErr;
}

OSErr DoParameters()
{
    AcquireSuites();
    // Every parameters call starts from the factory values; the user's last choice comes back at
    // start from the persisted block.
    OSErr error = CreateHandles();
    if (error == noErr)
        error = FillNewHandles();
    if (error != noErr)
        ReleaseSuites();
    return error;
}

OSErr DoPrepare()
{
    AcquireSuites();
    if (!InitializeCom()) {
        ReleaseSuites();
        return memFullErr;
    }
    InitializeCommonControls();
    OSErr error = noErr;
    if (HaveBothHandles()) {
        error = LockHandles();
    } else {
        error = CreateHandles();
        if (error == noErr)
            error = FillNewHandles();
    }
    if (error == noErr)
        SetMemoryBudget(gPlugin.filterRecord);
    else
        CleanUp();
    return error;
}

// The dialog edits the parameters in place; a cancel comes back as userCanceledErr and ends the run.
OSErr RunDialog(ImageBuffer* image)
{
    const UserInterface& ui = InstalledUserInterface();
    OSErr error = noErr;
    if (ui.runMainDialog != nullptr)
        error = ui.runMainDialog(DialogRun{gPlugin.parameters, image, gPlugin.filterRecord, gPlugin.parentWindow});
    *gPlugin.showDialogFlag = 0;
    return error;
}

OSErr DoStart()
{
    FilterRecord* record = gPlugin.filterRecord;
    OSErr error = LockHandles();
    if (error != noErr) {
        CleanUp();
        return error;
    }
    SuspendHostWatch();
    RestoreLastParameters();
    bool showDialog = true;
    ReadScriptParameters(&showDialog);
    // The engine expects every value inside its range; a played-back action or a stored block may
    // hold anything, and a silent run never passes through the dialog that would clamp it.
    ClampParameters(gPlugin.parameters);

    BuildToneTables();
    // A host may keep the module loaded from run to run; nothing of an earlier image may leak into
    // this one.
    ResetEngine();
    ImageBuffer image{};
    error = ReadInputImage(record, &image);
    if (error == noErr && showDialog)
        error = RunDialog(&image);
    if (error == noErr)
        error = RunFilter(record, image, *gPlugin.parameters);
    ResetEngine();
    if (error == noErr)
        error = FinishImageTransfer(record);
    FreeImageBuffer(&image);
    if (error != noErr)
        CleanUp();
    return error;
}

OSErr DoContinue()
{
    // Every pixel moves inside start, so the host is asked for nothing more.
    const ImageRect empty{0, 0, 0, 0};
    SetInRect(gPlugin.filterRecord, empty);
    SetOutRect(gPlugin.filterRecord, empty);
    SetMaskRect(gPlugin.filterRecord, empty);
    return noErr;
}

OSErr DoFinish()
{
    const OSErr error = LockHandles();
    if (error == noErr) {
        WriteScriptParameters();
        PersistLastParameters();
    }
    CleanUp();
    return error;
}

OSErr Dispatch(int16 selector, OSErr incoming)
{
    // Every step checks the result first, so a host that calls with a failure already set gets nothing
    // done: only what an earlier call still holds (COM, the suites) is given back.
    if (incoming != noErr) {
        if (selector != filterSelectorAbout)
            CleanUp();
        return incoming;
    }
    switch (selector) {
    case filterSelectorAbout: return DoAbout();
    case filterSelectorParameters: return DoParameters();
    case filterSelectorPrepare: return DoPrepare();
    case filterSelectorStart: return DoStart();
    case filterSelectorContinue: return DoContinue();
    case filterSelectorFinish: return DoFinish();
    default: return noErr;
    }
}

} // namespace

extern "C" void PluginMain(int16 selector, void* record, intptr_t* data, int16* result)
{
    const bool about = selector == filterSelectorAbout;
    gPlugin.filterRecord = about ? nullptr : static_cast<FilterRecord*>(record);
    gPlugin.aboutRecord = about ? static_cast<AboutRecord*>(record) : nullptr;
    gPlugin.data = data;
    PublishHostMemory();
    ClearLastSystemError();
    SetUpOnce(selector, record);

    OSErr code = noErr;
    if (!about && gPlugin.filterRecord == nullptr) {
        code = filterBadParameters;
    } else {
        if (!about && gPlugin.filterRecord->bigDocumentData != nullptr)
            gPlugin.filterRecord->bigDocumentData->PluginUsing32BitCoordinates = 1;
        code = Dispatch(selector, result != nullptr ? *result : noErr);
        if (!about)
            UnlockHandles();
    }

    // The only place that writes the host's result; the host's initial 0 stands for success.
    if (code != noErr && result != nullptr)
        *result = code;
    if (code != noErr || selector == filterSelectorFinish || about)
        CloseDebugLog();
    // Nothing the host handed in is touched once the call has returned.
    gPlugin.filterRecord = nullptr;
    gPlugin.aboutRecord = nullptr;
    gPlugin.data = nullptr;
    PublishHostMemory();
}
