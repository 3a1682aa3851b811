// A dialog that cannot be made ends the run cleanly: a failure code for the host, no window left
// behind, and the parameters as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "engine/FilterParameters.h"
#include "sdk/HostConstants.h"
#include "ui/MainDialog.h"

namespace {

BOOL CALLBACK CountOwnWindows(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(DialogFailure, AModuleWithoutTheDialogsResourcesFailsWithoutShowingAnythingOrChangingTheRecord)
{
    FilterParameters parameters = kFactoryParameters;
    parameters.outputSpikesOnly = 1;
    parameters.angle = -455;
    const FilterParameters before = parameters;
    // Linked into the test program, the dialog looks for its template, pictures and keys in the program,
    // which stands in for a module that lacks them.
    EXPECT_EQ(RunMainDialog(DialogRun{&parameters, nullptr, nullptr, nullptr}), memFullErr);
    EXPECT_EQ(std::memcmp(&parameters, &before, sizeof before), 0);
    int windows = 0;
    EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&windows));
    EXPECT_EQ(windows, 0);
}

} // namespace
