#include "host/PluginMain.h"

#include "diag/DebugLog.h"
#include "engine/EngineLifetime.h"
#include "engine/StarDetection.h"
#include "host/AboutBox.h"
#include "host/FilterRun.h"
#include "host/HostRects.h"
#include "host/ImageTransfer.h"
#include "host/LastParameters.h"
#include "host/MainDialog.h"
#include "host/ParameterBlock.h"
#include "host/ParameterRanges.h"
#include "host/PlatformServices.h"
#include "host/PluginGlobals.h"
#include "host/PluginHooks.h"
#include "host/ScriptParameters.h"
#include "host/SelectorSteps.h"
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
    gPlugin.instance = GetModuleInstance();
    gPlugin.parentWindow = WindowOfPlatformData(platformData);
    SetupUserFolders("Corvane", "Corvane Pro");
    SetDebugLogProductName("Corvane Pro");
    OpenDebugLog(gPlugin.parentWindow);
    gPlugin.initialised = true;
}

OSErr DoAbout()
{
    if (InitializeCom()) {
        InitializeCommonControls();
        const AboutRecord* about = gPlugin.aboutRecord;
        ShowAboutBox(WindowOfPlatformData(about != nullptr ? about->platformData : nullptr));
        UninitializeCom();
    }
    return ResultCode();
}

OSErr DoParameters()
{
    if (ResultCode() != noErr) {
        ReleaseSuites();
        return ResultCode();
    }
    AcquireSuites();
    InstallHooks();
    CreateHandles();
    // Every parameters call starts from the factory values; the user's last choice comes back at
    // start from the persisted block.
    if (ResultCode() == noErr)
        FillNewHandles();
    if (ResultCode() != noErr)
        ReleaseSuites();
    return ResultCode();
}

OSErr DoPrepare()
{
    AcquireSuites();
    if (!InitializeCom()) {
        FailWith(memFullErr);
        ReleaseSuites();
        return ResultCode();
    }
    InitializeCommonControls();
    InstallHooks();
    if (HaveBothHandles()) {
        LockHandles();
    } else {
        CreateHandles();
        if (ResultCode() == noErr)
            FillNewHandles();
    }
    if (ResultCode() == noErr)
        SetMemoryBudget(gPlugin.filterRecord);
    if (ResultCode() != noErr)
        CleanUp();
    return ResultCode();
}

OSErr DoStart()
{
    LockHandles();
    if (ResultCode() != noErr) {
        CleanUp();
        return ResultCode();
    }
    SuspendHostWatch();
    RestoreLastParameters();
    bool showDialog = true;
    ReadScriptParameters(&showDialog);
    // The engine expects every value inside its range; a played-back action or a stored block may
    // hold anything, and a silent run never passes through the dialog that would clamp it.
    ClampParameters(gPlugin.parameters);

    BuildToneTables();
    ReadInputImage();
    // A host may keep the module loaded from run to run; the stars of an earlier image must not leak
    // into this one.
    ResetDetection();
    if (ResultCode() == noErr && showDialog) {
        RunMainDialog();
        *gPlugin.showDialogFlag = 0;
    }
    if (ResultCode() == noErr)
        DoFilter();
    ReleaseEngine();
    FinishImageTransfer();
    if (ResultCode() != noErr)
        CleanUp();
    return ResultCode();
}

OSErr DoContinue()
{
    // Every pixel moves inside start, so the host is asked for nothing more.
    const ImageRect empty{0, 0, 0, 0};
    SetInRect(gPlugin.filterRecord, empty);
    SetOutRect(gPlugin.filterRecord, empty);
    SetMaskRect(gPlugin.filterRecord, empty);
    if (ResultCode() != noErr)
        CleanUp();
    return ResultCode();
}

OSErr DoFinish()
{
    LockHandles();
    if (ResultCode() == noErr) {
        WriteScriptParameters();
        PersistLastParameters();
    }
    CleanUp();
    return ResultCode();
}

OSErr Dispatch(int16 selector)
{
    switch (selector) {
    case filterSelectorAbout:
        return DoAbout();
    case filterSelectorParameters:
        return DoParameters();
    case filterSelectorPrepare:
        return DoPrepare();
    case filterSelectorStart:
        return DoStart();
    case filterSelectorContinue:
        return DoContinue();
    case filterSelectorFinish:
        return DoFinish();
    default:
        return ResultCode();
    }
}

} // namespace

extern "C" void PluginMain(int16 selector, void* record, intptr_t* data, int16* result)
{
    const bool about = selector == filterSelectorAbout;
    gPlugin.filterRecord = about ? nullptr : static_cast<FilterRecord*>(record);
    gPlugin.aboutRecord = about ? static_cast<AboutRecord*>(record) : nullptr;
    gPlugin.data = data;
    gPlugin.result = result;
    ClearLastSystemError();
    SetUpOnce(selector, record);

    OSErr code = noErr;
    if (!about && gPlugin.filterRecord == nullptr) {
        code = filterBadParameters;
    } else {
        if (!about && gPlugin.filterRecord->bigDocumentData != nullptr)
            gPlugin.filterRecord->bigDocumentData->PluginUsing32BitCoordinates = 1;
        code = Dispatch(selector);
        if (!about)
            UnlockHandles();
    }

    if (code != noErr)
        SetResultCode(code);
    if (code != noErr || selector == filterSelectorFinish || about)
        CloseDebugLog();
    // Nothing the host handed in is touched once the call has returned.
    gPlugin.filterRecord = nullptr;
    gPlugin.aboutRecord = nullptr;
    gPlugin.data = nullptr;
    gPlugin.result = nullptr;
}
