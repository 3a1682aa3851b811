// The little state that lives between the host's calls of the entry point.
#pragma once

#include "engine/FilterParameters.h"
#include "sdk/HostInterface.h"

struct PluginGlobals
{
    FilterRecord* filterRecord; // the record of the current call; null for the about selector
    AboutRecord* aboutRecord;   // the record of the about selector; null otherwise
    intptr_t* data;             // the host's data slot (holds the data handle)
    bool initialised;           // the one-time set-up of the first call is done

    const PSBufferSuite1* bufferSuite; // null while not held
    const PropertyProcs* propertySuite;
    const PSErrorSuite1* errorSuite;

    FilterParameters* parameters; // into the locked parameters handle
    uint8_t* showDialogFlag;      // into the locked data handle (one byte)

    void* parentWindow; // owner of dialogs and message boxes
};

extern PluginGlobals gPlugin;

// Hands the host's memory services of the current call to the image layer; called whenever the record
// or the Buffer suite changes, and with nothing held when the call ends.
void PublishHostMemory();

// Forgets everything, as after loading the module; for tests and hosts that keep it loaded.
void ResetPluginGlobals();
