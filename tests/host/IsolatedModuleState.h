// The module as after loading, with the user's data folders in a fresh temporary directory, so that
// tests neither read nor leave settings, parameter files or logs in the real home.
#pragma once

#include "common/TestDataRoots.h"
#include "host/BufferRecord.h"
#include "host/PluginGlobals.h"
#include "host/PluginHooks.h"

class IsolatedModuleState
{
public:
    IsolatedModuleState() { Forget(); }
    ~IsolatedModuleState()
    {
        CloseDebugLog();
        Forget();
    }
    IsolatedModuleState(const IsolatedModuleState&) = delete;
    IsolatedModuleState& operator=(const IsolatedModuleState&) = delete;

    TestDataRoots roots;

private:
    static void Forget()
    {
        ResetPluginGlobals();
        ResetHooks();
        ResetBufferUsage();
    }
};
