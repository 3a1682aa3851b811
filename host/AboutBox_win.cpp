#include "host/AboutBox.h"

#include "host/PluginGlobals.h"
#include "ui/MainDialog.h"

void ShowAboutBox(void* ownerWindow)
{
    ShowAboutBox(ownerWindow, gPlugin.instance);
}
