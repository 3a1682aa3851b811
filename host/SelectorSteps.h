// Steps that several selectors share: the two host-kept handles, the host suites, the memory budget
// and the clean-up. A step that can fail returns the host code; the caller stops at the first failure.
#pragma once

#include "sdk/HostInterface.h"

// Locks the parameters handle and the data handle and points gPlugin at them. filterBadParameters
// when either is missing, memFullErr when the host cannot lock one.
OSErr LockHandles();
// Unlocks what LockHandles locked and forgets the pointers into the handles.
void UnlockHandles();

// Creates whichever of the two handles the host has not handed in (30 and 1 bytes).
OSErr CreateHandles();
bool HaveBothHandles();
// After creating: factory parameters, the dialog wanted, and an owner window the host can use.
OSErr FillNewHandles();

// Buffer, Property and Error suite, each only while not yet held; a missing suite stays null.
void AcquireSuites();
void ReleaseSuites(); // Error, Property, Buffer
void CleanUp();       // COM, then the suites

// Asks the host to stop animating its busy cursor while the module shows its own interface.
void SuspendHostWatch();

// Lowers maxSpace to twice the bytes of a 1024 x 1024 piece of the image; never raises it.
void SetMemoryBudget(FilterRecord* record);

// The owner window named by a host's PlatformData, or the desktop when it names none.
void* WindowOfPlatformData(const void* platformData);
