#include "host/PlatformServices.h"

void ClearLastSystemError() {}

void* GetDesktopWindowHandle()
{
    return nullptr;
}

bool InitializeCom()
{
    return true;
}

void UninitializeCom() {}

void InitializeCommonControls() {}

bool EnterModuleActivationContext(uintptr_t*)
{
    return false;
}

void LeaveModuleActivationContext(uintptr_t) {}
