#include "ui/DialogState.h"

MainDialogState gDialog{};

void ResetDialogState()
{
    gDialog = MainDialogState{};
}

void FailDialog(OSErr code)
{
    // CorvaneProc ends the dialog after the message that set the code.
    if (gDialog.resultCode == 0)
        gDialog.resultCode = code;
}
