// The About box, shown for the about selector with the host's window as owner.
#pragma once

void ShowAboutBox(void* ownerWindow);
