#include "host/PluginGlobals.h"

PluginGlobals gPlugin;

namespace {
int16 gDetachedResult; // the result code while no host call is in progress
}

OSErr ResultCode()
{
    return gPlugin.result != nullptr ? *gPlugin.result : gDetachedResult;
}

void SetResultCode(OSErr code)
{
    if (gPlugin.result != nullptr)
        *gPlugin.result = code;
    else
        gDetachedResult = code;
}

void ResetPluginGlobals()
{
    gPlugin = PluginGlobals{};
    gDetachedResult = 0;
}
