#include "host/SelectorSteps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "IsolatedModuleState.h"
#include "host/PluginGlobals.h"
#include "host/PluginHooks.h"
#include "host/PluginMain.h"

// The entry point's bookkeeping against a bare filter record: only the services each case needs.
namespace {

struct FakeHandles
{
    int created = 0, locked = 0, unlocked = 0;
    bool refuseNew = false, refuseLock = false;
    std::vector<Handle> all;
};
FakeHandles* gHandles;

Handle NewHandle(int32 size)
{
    if (gHandles->refuseNew)
        return nullptr;
    Handle h = static_cast<Handle>(std::malloc(sizeof(char*)));
    *h = static_cast<char*>(std::calloc(1, size_t(size)));
    ++gHandles->created;
    gHandles->all.push_back(h);
    return h;
}
Ptr LockHandle(Handle h, Boolean)
{
    if (gHandles->refuseLock)
        return nullptr;
    ++gHandles->locked;
    return *h;
}
void UnlockHandle(Handle)
{
    ++gHandles->unlocked;
}

std::vector<std::string>* gSuiteLog;
const PropertyProcs kProperty{1, 2, nullptr, nullptr};
SPErr Acquire(const char* name, int32 version, const void** suite)
{
    gSuiteLog->push_back(std::string("+") + name + "/" + std::to_string(version));
    *suite = &kProperty; // any non-null table will do: none of them is called here
    return kSPNoError;
}
SPErr Release(const char* name, int32)
{
    gSuiteLog->push_back(std::string("-") + name);
    return kSPNoError;
}

class Selectors : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gHandles = &handles;
        gSuiteLog = &suiteLog;
        procs.numHandleProcs = 8;
        procs.newProc = NewHandle;
        procs.lockProc = LockHandle;
        procs.unlockProc = UnlockHandle;
        basic.AcquireSuite = Acquire;
        basic.ReleaseSuite = Release;
        record.handleProcs = &procs;
        record.sSPBasic = &basic;
        record.planes = 3;
        record.filterRect = Rect{0, 0, 3000, 5000};
        record.maxSpace = 100000000;
        record.platformData = &platform;
    }
    void TearDown() override
    {
        for (Handle h : handles.all) {
            std::free(*h);
            std::free(h);
        }
    }

    OSErr Call(int16 selector)
    {
        int16 result = 0;
        PluginMain(selector, &record, &data, &result);
        return result;
    }

    IsolatedModuleState state;
    FakeHandles handles;
    std::vector<std::string> suiteLog;
    HandleProcs procs{};
    SPBasicSuite basic{};
    PlatformData platform{0};
    FilterRecord record{};
    intptr_t data = 0;
};

} // namespace

TEST_F(Selectors, ParametersCreatesFillsAndUnlocksBothHandles)
{
    EXPECT_EQ(Call(filterSelectorParameters), noErr);
    const Handle parameters = record.parameters; // a packed field: read it by value
    ASSERT_NE(parameters, nullptr);
    ASSERT_NE(data, 0);
    EXPECT_EQ(handles.created, 2);
    EXPECT_EQ(std::memcmp(*record.parameters, &kFactoryParameters, sizeof(FilterParameters)), 0);
    EXPECT_EQ(**reinterpret_cast<Handle>(data), 1); // the next start shows the dialog
    EXPECT_EQ(handles.unlocked, handles.locked);
    EXPECT_EQ(gPlugin.parameters, nullptr);
    EXPECT_EQ(gPlugin.showDialogFlag, nullptr);
    EXPECT_STREQ(gHooks.displayName, "Corvane Pro");
    EXPECT_NE(gHooks.parameterBlock, nullptr);
    // Suites stay held for prepare and start.
    EXPECT_NE(gPlugin.propertySuite, nullptr);

    // Prepare with both handles present only locks them: the user's values survive.
    (*reinterpret_cast<FilterParameters**>(record.parameters))->length = 77;
    EXPECT_EQ(Call(filterSelectorPrepare), noErr);
    EXPECT_EQ(handles.created, 2);
    EXPECT_EQ(reinterpret_cast<FilterParameters*>(*record.parameters)->length, 77);
    EXPECT_EQ(record.maxSpace, 6291456);
    EXPECT_EQ(record.bufferSpace, 0);
}

TEST_F(Selectors, SuitesAreTakenOnceAndReleasedErrorPropertyBuffer)
{
    EXPECT_EQ(Call(filterSelectorParameters), noErr);
    EXPECT_EQ(Call(filterSelectorPrepare), noErr); // already held: not acquired again
    EXPECT_EQ(Call(filterSelectorFinish), noErr);
    const std::vector<std::string> expected = {
        "+Photoshop Buffer Suite for Plug-ins/1", "+Photoshop Property Suite for Plug-ins/1",
        "+Photoshop Error Suite for Plug-ins/1",  "-Photoshop Error Suite for Plug-ins",
        "-Photoshop Property Suite for Plug-ins", "-Photoshop Buffer Suite for Plug-ins"};
    std::vector<std::string> bufferPropertyError;
    for (const std::string& entry : suiteLog)
        if (entry.find("Photoshop") != std::string::npos)
            bufferPropertyError.push_back(entry);
    EXPECT_EQ(bufferPropertyError, expected);
    EXPECT_EQ(gPlugin.bufferSuite, nullptr);
    EXPECT_EQ(gPlugin.errorSuite, nullptr);
}

TEST_F(Selectors, MissingHandleServicesGiveBadParametersNotACrash)
{
    record.handleProcs = nullptr;
    EXPECT_EQ(Call(filterSelectorParameters), filterBadParameters);
    EXPECT_EQ(Call(filterSelectorPrepare), filterBadParameters);
    EXPECT_EQ(Call(filterSelectorStart), filterBadParameters);
    EXPECT_EQ(Call(filterSelectorFinish), filterBadParameters);

    // Handles the host never kept: start and finish refuse to run.
    record.handleProcs = &procs;
    EXPECT_EQ(Call(filterSelectorStart), filterBadParameters);
    EXPECT_EQ(Call(filterSelectorFinish), filterBadParameters);
    EXPECT_EQ(handles.locked, 0);

    int16 result = 0;
    PluginMain(filterSelectorStart, nullptr, &data, &result);
    EXPECT_EQ(result, filterBadParameters);
}

TEST_F(Selectors, RefusedHandlesGiveMemFull)
{
    handles.refuseNew = true;
    EXPECT_EQ(Call(filterSelectorParameters), memFullErr);
    EXPECT_EQ(Call(filterSelectorPrepare), memFullErr);
    EXPECT_EQ(record.maxSpace, 100000000); // a failed prepare sets no budget

    handles.refuseNew = false;
    EXPECT_EQ(Call(filterSelectorParameters), noErr);
    handles.refuseLock = true;
    EXPECT_EQ(Call(filterSelectorStart), memFullErr);
    EXPECT_EQ(Call(filterSelectorFinish), memFullErr);
    EXPECT_EQ(gPlugin.parameters, nullptr);
}

TEST_F(Selectors, ContinueEmptiesTheRectanglesTheHostReads)
{
    record.inRect = Rect{1, 2, 3, 4};
    record.outRect = Rect{1, 2, 3, 4};
    record.maskRect = Rect{1, 2, 3, 4};
    BigDocumentStruct big{};
    big.inRect32 = VRect{1, 2, 3, 4};
    big.outRect32 = VRect{1, 2, 3, 4};
    big.maskRect32 = VRect{1, 2, 3, 4};
    record.bigDocumentData = &big;
    EXPECT_EQ(Call(filterSelectorContinue), noErr);
    EXPECT_EQ(big.PluginUsing32BitCoordinates, 1);
    for (const VRect& r : {big.inRect32, big.outRect32, big.maskRect32})
        EXPECT_TRUE(r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0);

    record.bigDocumentData = nullptr;
    EXPECT_EQ(Call(filterSelectorContinue), noErr);
    for (const Rect& r : {record.inRect, record.outRect, record.maskRect})
        EXPECT_TRUE(r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0);
}

TEST_F(Selectors, FirstCallTakesItsOwnerFromTheAboutRecord)
{
    PlatformData aboutWindow{0x1234};
    AboutRecord about{};
    about.platformData = &aboutWindow;
    int16 result = 0;
    PluginMain(filterSelectorAbout, &about, &data, &result);
    EXPECT_EQ(result, noErr);
    EXPECT_TRUE(gPlugin.initialised);
    EXPECT_EQ(gPlugin.parentWindow, reinterpret_cast<void*>(0x1234));

    platform.hwnd = 0x5678; // later calls keep the owner of the first
    EXPECT_EQ(Call(filterSelectorParameters), noErr);
    EXPECT_EQ(gPlugin.parentWindow, reinterpret_cast<void*>(0x1234));
}

TEST(MemoryBudget, LowersMaxSpaceToTwoCappedImagesNeverRaisesIt)
{
    FilterRecord record{};
    record.planes = 3;
    record.filterRect = Rect{0, 0, 3000, 5000};
    record.maxSpace = 100000000;
    record.bufferSpace = 12345;
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 2 * 3 * 1024 * 1024);
    EXPECT_EQ(record.bufferSpace, 0);

    record.maxSpace = 1000000;
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 1000000);

    // A selection adds a plane; small rectangles are not rounded up to 1024.
    int dummy = 0;
    record.maskData = &dummy;
    record.filterRect = Rect{10, 20, 60, 120};
    record.maxSpace = 100000000;
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 2 * 4 * 100 * 50);

    // 32-bit coordinates, once in use, decide the size; an absurd plane count must not overflow.
    BigDocumentStruct big{};
    big.PluginUsing32BitCoordinates = 1;
    big.filterRect32 = VRect{0, 0, 20, 40000};
    record.bigDocumentData = &big;
    record.maskData = nullptr;
    record.planes = 1;
    record.maxSpace = 100000000;
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 2 * 1 * 1024 * 20);
    big.filterRect32 = VRect{0, 0, 30000, 30000};
    record.planes = 32767;
    record.maxSpace = 2000000000;
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 2000000000);
}
