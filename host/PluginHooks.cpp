#include "host/PluginHooks.h"

#include "host/ParameterBlock.h"

PluginHooks gHooks;

void InstallHooks()
{
    gHooks.displayName = "Corvane Pro";
    gHooks.parameterBlock = ParameterBlockProc;
}

void ResetHooks()
{
    gHooks = PluginHooks{};
}
