// The Windows tests load the module as a host does; a loader that guessed the entry point's name
// instead of reading it from the PiPL would still find the usual one. The probe's PiPL names another.
#include <gtest/gtest.h>

#include "tools/harness/Harness.h"

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
