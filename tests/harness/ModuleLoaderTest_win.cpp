// The Windows loader against the module this tree builds: found through its PiPL as a host finds it,
// then run once without a dialog.
#include <gtest/gtest.h>

#include "tools/harness/Harness.h"

namespace {

TEST(ModuleLoader, LoadsTheBuiltModuleThroughItsPiplAndRunsIt)
{
    const std::string path = DefaultModulePath();
    if (path.empty())
        GTEST_SKIP() << "this build has no CorvanePro.8bf to load";
    LoadedModule module;
    ASSERT_TRUE(LoadModule(path, &module)) << module.error;
    EXPECT_EQ(module.entryName, "PluginMain");
    {
        Host host(module.entry);
        HostDocument before(40, 30, plugInModeRGBColor);
        before.Fill([](int32_t, int32_t x, int32_t y) { return x == 20 && y == 15 ? 255.0 : 12.0; });
        ASSERT_TRUE(host.SetDocument(before));
        host.SetDescriptor(Descriptor{}); // a played-back action without its dialog
        EXPECT_EQ(host.RunScripted(plugInDialogDontDisplay), noErr);
        EXPECT_GT(CompareDocuments(before, host.Document()).count, 0);
        EXPECT_EQ(host.LiveBuffers(), 0);
        EXPECT_TRUE(host.Faults().empty());
    }
    UnloadModule(&module);
    EXPECT_EQ(module.library, nullptr);
}

#ifdef CORVANE_HARNESS_PROBE_FILE
TEST(ModuleLoader, CallsTheEntryPointThePiplNames)
{
    LoadedModule module;
    ASSERT_TRUE(LoadModule(BuildOutputPath(CORVANE_HARNESS_PROBE_FILE), &module)) << module.error;
    EXPECT_EQ(module.entryName, "ProbeMain");
    intptr_t data = 0;
    int16 result = 0;
    module.entry(filterSelectorPrepare, nullptr, &data, &result);
    EXPECT_EQ(result, 4242);
    EXPECT_EQ(data, filterSelectorPrepare);
    UnloadModule(&module);
}
#endif

TEST(ModuleLoader, ExplainsModulesItCannotUse)
{
    LoadedModule module;
    EXPECT_FALSE(LoadModule("Z:\\no\\such\\folder\\Missing.8bf", &module));
    EXPECT_NE(module.error.find("LoadLibrary"), std::string::npos) << module.error;
    EXPECT_FALSE(LoadModule("kernel32.dll", &module)); // a library without a PiPL
    EXPECT_NE(module.error.find("PiPL"), std::string::npos) << module.error;
    EXPECT_EQ(module.entry, nullptr);
    EXPECT_EQ(module.library, nullptr);
}

} // namespace
