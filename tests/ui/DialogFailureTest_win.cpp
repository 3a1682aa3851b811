// A dialog that cannot be made ends the run cleanly: a failure code for the host, no window left
// behind, and the parameters as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "host/FilterParameters.h"
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
    // The test program stands in for a module that lacks the dialog's template, pictures and keys.
    const MainDialogContext context{&parameters, GetModuleHandleA(nullptr), nullptr};
    EXPECT_EQ(RunMainDialog(context), memFullErr);
    EXPECT_EQ(std::memcmp(&parameters, &before, sizeof before), 0);
    int windows = 0;
    EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&windows));
    EXPECT_EQ(windows, 0);
}

} // namespace
