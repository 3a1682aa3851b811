#include "host/MainDialog.h"

#include "host/PluginGlobals.h"
#include "host/SelectorSteps.h"
#include "ui/MainDialog.h"

bool RunMainDialog()
{
    const MainDialogContext context{gPlugin.parameters, gPlugin.instance,
                                    WindowOfPlatformData(gPlugin.filterRecord->platformData)};
    const OSErr result = RunMainDialog(context);
    if (result != noErr)
        FailWith(result);
    return result == noErr;
}
