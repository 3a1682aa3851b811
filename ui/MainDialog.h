// The interactive part of a run: the main dialog in which the user tunes the parameters, and the About
// box. The host layer reaches both through its user-interface table, which this folder fills when the
// module is loaded (UserInterfaceInstall.cpp).
#pragma once

#include "host/UserInterface.h"

// noErr after OK; userCanceledErr (-128) after Cancel, and the record is then as it was when the dialog
// opened; memFullErr when the dialog or one of its controls could not be made (the cause is logged).
OSErr RunMainDialog(const DialogRun& run);

// The About box, modal over `ownerWindow`.
void ShowAboutBox(void* ownerWindow);
