// The interactive part of a run: the main dialog in which the user tunes the parameters, and the About
// box. The host layer calls these two and nothing else of the folder.
//
//   MainDialogContext context{parameters, instance, ownerWindow};
//   OSErr result = RunMainDialog(context); // noErr: apply the effect; userCanceledErr: leave the image
#pragma once

#include "host/FilterParameters.h"
#include "sdk/HostTypes.h"

struct MainDialogContext
{
    FilterParameters* parameters; // the host's record, edited in place by the dialog
    void* instance;               // the module's HINSTANCE (resources)
    void* ownerWindow;            // the host's window
};

// noErr after OK; userCanceledErr (-128) after Cancel, and the record is then as it was when the dialog
// opened; memFullErr when the dialog or one of its controls could not be made (the cause is logged).
OSErr RunMainDialog(const MainDialogContext& context);

// The About box, modal over `ownerWindow`.
void ShowAboutBox(void* ownerWindow, void* instance);
