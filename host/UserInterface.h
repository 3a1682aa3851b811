// The interactive parts of a run: the main dialog and the About box. They are built above the host
// layer (Windows only), so the entry point reaches them through this table, which the module fills
// when it is loaded. Where nothing fills it (the native build) every run is silent and the about
// selector shows nothing.
#pragma once

#include "engine/FilterParameters.h"
#include "image/ImageBuffer.h"
#include "sdk/HostInterface.h"

// What the dialog works on.
struct DialogRun
{
    FilterParameters* parameters; // the host's record, edited in place
    ImageBuffer* image;           // the input image, for the preview
    FilterRecord* filterRecord;   // the host's record of the start call
    void* ownerWindow;
};

struct UserInterface
{
    // noErr after OK; userCanceledErr after Cancel, with the parameters as they were; another code when
    // the dialog could not be shown.
    OSErr (*runMainDialog)(const DialogRun& run);
    void (*showAboutBox)(void* ownerWindow);
};

void InstallUserInterface(const UserInterface& ui);
const UserInterface& InstalledUserInterface(); // all null until installed
