// The few operating-system services the entry point needs. Natively there is no window system and no
// COM: the calls succeed and do nothing, so the selectors run the same way under a command-line host.
#pragma once

#include <cstdint>

// Clears the calling thread's last system error, so a later report shows only what this call caused.
void ClearLastSystemError();

// The desktop window: the owner of dialogs when the host names none. Null natively.
void* GetDesktopWindowHandle();

// COM for the calling thread. InitializeCom is false when COM cannot be used; UninitializeCom undoes
// only an initialisation that succeeded, however often the selectors ask, so the host's thread keeps
// a balanced count.
bool InitializeCom();
void UninitializeCom();

// Registers the common controls and the RichEdit class that the dialog uses, in the module's own
// activation context; a failure is logged and the run goes on.
void InitializeCommonControls();

// Runs the enclosed calls with the module's manifest active (common controls version 6 whatever the
// host uses). Enter returns false when the context is unavailable; Leave is then not needed.
bool EnterModuleActivationContext(uintptr_t* cookie);
void LeaveModuleActivationContext(uintptr_t cookie);
