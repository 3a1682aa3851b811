#include "host/PlatformServices.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "diag/ErrorReport.h"
#include "diag/ModuleVersion.h"
#include "resources/ResourceIds.h"

namespace {

struct PlatformState
{
    bool comInitialised;      // our CoInitialize succeeded and is not yet undone
    bool contextTried;        // the activation context was attempted once this load
    HANDLE activationContext; // INVALID_HANDLE_VALUE when the manifest could not be used
    bool richEditLoaded;
};

PlatformState gPlatform{false, false, INVALID_HANDLE_VALUE, false};

constexpr DWORD kCommonControlClasses = 0xC808; // tab, internet, standard and link classes

HANDLE ModuleActivationContext()
{
    if (!gPlatform.contextTried) {
        gPlatform.contextTried = true;
        ACTCTXA context{};
        context.cbSize = sizeof(context);
        context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.hModule = static_cast<HMODULE>(OwnModule());
        context.lpResourceName = MAKEINTRESOURCEA(IDR_MANIFEST);
        gPlatform.activationContext = CreateActCtxA(&context);
    }
    return gPlatform.activationContext;
}

using InitCommonControlsExProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

// Looked up inside the active context: the import table was bound when the host loaded us, to
// whatever version of the common controls the host itself uses.
bool CallInitCommonControlsEx()
{
    HMODULE controls = LoadLibraryA("comctl32.dll");
    if (controls == nullptr)
        return false;
    auto initialise = reinterpret_cast<InitCommonControlsExProc>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = kCommonControlClasses;
    return initialise != nullptr && initialise(&classes) != FALSE;
}

} // namespace

void ClearLastSystemError()
{
    SetLastError(0);
}

void* GetDesktopWindowHandle()
{
    return GetDesktopWindow();
}

bool InitializeCom()
{
    if (gPlatform.comInitialised)
        return true;
    // S_FALSE (already initialised on this thread) also counts and must be balanced.
    if (FAILED(CoInitialize(nullptr)))
        return false;
    gPlatform.comInitialised = true;
    return true;
}

void UninitializeCom()
{
    if (!gPlatform.comInitialised)
        return;
    CoUninitialize();
    gPlatform.comInitialised = false;
}

void InitializeCommonControls()
{
    uintptr_t cookie = 0;
    const bool activated = EnterModuleActivationContext(&cookie);
    if (!gPlatform.richEditLoaded)
        gPlatform.richEditLoaded = LoadLibraryA("riched20.dll") != nullptr;
    if (!CallInitCommonControlsEx())
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "InitCommonControlsEX failed");
    if (activated)
        LeaveModuleActivationContext(cookie);
}

bool EnterModuleActivationContext(uintptr_t* cookie)
{
    HANDLE context = ModuleActivationContext();
    if (context == INVALID_HANDLE_VALUE)
        return false;
    ULONG_PTR token = 0;
    if (!ActivateActCtx(context, &token))
        return false;
    *cookie = token;
    return true;
}

void LeaveModuleActivationContext(uintptr_t cookie)
{
    DeactivateActCtx(0, cookie);
}
