// Hands the dialog and the About box to the entry point when the host loads the module. The host layer
// below cannot include this folder, so it keeps a table that this layer fills.
#include <windows.h>

#include "host/UserInterface.h"
#include "ui/MainDialog.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    // Only stores two pointers: nothing that could wait on the loader lock.
    if (reason == DLL_PROCESS_ATTACH)
        InstallUserInterface(UserInterface{RunMainDialog, ShowAboutBox});
    return TRUE;
}
