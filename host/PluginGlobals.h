// The little state that lives between the host's calls of the entry point.
#pragma once

#include "host/FilterParameters.h"
#include "sdk/HostInterface.h"

struct PluginGlobals
{
    FilterRecord* filterRecord; // the record of the current call; null for the about selector
    AboutRecord* aboutRecord;   // the record of the about selector; null otherwise
    intptr_t* data;             // the host's data slot (holds the data handle)
    int16* result;              // the host's result code; written only on failure
    bool initialised;           // the one-time set-up of the first call is done

    const PSBufferSuite1* bufferSuite; // null while not held
    const PropertyProcs* propertySuite;
    const PSErrorSuite1* errorSuite;

    FilterParameters* parameters; // into the locked parameters handle
    uint8_t* showDialogFlag;      // into the locked data handle (one byte)

    void* instance;     // the module instance (resources, version information)
    void* parentWindow; // owner of dialogs and message boxes
};

extern PluginGlobals gPlugin;

// The result code of the current call. Code that runs outside an entry-point call (unit tests, the
// engine alone) sees a module-local code instead of the host's.
OSErr ResultCode();
void SetResultCode(OSErr code);

// Forgets everything, as after loading the module; for tests and hosts that keep it loaded.
void ResetPluginGlobals();
