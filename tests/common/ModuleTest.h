// The module driven through the host harness as hosts drive it. Natively it is the linked entry point,
// reset as after loading; in the Windows build it is CorvanePro.8bf, loaded the way a host loads it,
// so the same tests check the shipped module. User folders and the log live in a temporary folder.
#pragma once

#include "common/TestDataRoots.h"
#include "engine/UserInput.h"
#include "host/PluginGlobals.h"
#include "host/PluginMain.h"
#include "image/BufferRecord.h"
#include "tools/harness/Harness.h"

class ModuleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ForgetLinkedModule();
        const std::string path = DefaultModulePath();
        const bool loaded = LoadModule(path, &module_);
        // Natively the linked module always loads; the Windows build may not have made the .8bf yet.
        if (!loaded && path.empty())
            GTEST_SKIP() << "this build has no CorvanePro.8bf to load: " << module_.error;
        ASSERT_TRUE(loaded) << module_.error;
    }
    void TearDown() override
    {
        UnloadModule(&module_);
        CloseDebugLog();
        ForgetLinkedModule();
    }
    static void ForgetLinkedModule()
    {
        SetUserInputPendingHook(nullptr);
        ResetPluginGlobals();
        ResetBufferUsage();
    }

    // The module as a host finds it.
    PluginEntryProc Module() const { return module_.entry; }
    // The module whose engine this test program can reach (a loaded one keeps its own copy).
    static PluginEntryProc Linked() { return PluginMain; }

    TestDataRoots roots_;
    LoadedModule module_;
};

// Everything the module borrowed from the host is back, and the host saw no misuse.
inline void ExpectNothingHeld(const Host& host)
{
    for (const char* suite :
         {kPSBufferSuite, kPSPropertySuite, kPSErrorSuite, kPSDescriptorRegistrySuite, kPSActionDescriptorSuite})
        EXPECT_EQ(host.SuiteBalance(suite), 0) << suite;
    EXPECT_EQ(host.LiveActionDescriptors(), 0);
    EXPECT_EQ(host.LiveBuffers(), 0);
    EXPECT_TRUE(host.Faults().empty()) << host.Faults().front();
}
