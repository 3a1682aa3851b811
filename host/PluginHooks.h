// What the entry point hands to the parts that run inside the dialog: the product name for window
// titles and the one procedure through which parameter sets reach the current parameters.
#pragma once

#include <cstdint>

using ParameterBlockHook = void* (*)(int32_t operation, const void* block);

struct PluginHooks
{
    const char* displayName;           // "Corvane Pro"; null until installed
    ParameterBlockHook parameterBlock; // ParameterBlockProc; null until installed
};

extern PluginHooks gHooks;

void InstallHooks();
void ResetHooks(); // for tests
