#include "host/SelectorSteps.h"

#include <algorithm>

#include "host/HostRects.h"
#include "host/PlatformServices.h"
#include "host/PluginGlobals.h"

namespace {

constexpr int32 kParametersHandleSize = int32(sizeof(FilterParameters));
constexpr int32 kDataHandleSize = 1;
constexpr int32 kBudgetSideLimit = 1024;

const HandleProcs* Handles()
{
    FilterRecord* record = gPlugin.filterRecord;
    return record != nullptr ? record->handleProcs : nullptr;
}

Handle DataHandle()
{
    return gPlugin.data != nullptr ? reinterpret_cast<Handle>(*gPlugin.data) : nullptr;
}

// A handle smaller than its record would let every later write run past the host's block. Some hosts
// report 0 for every handle, so only a size they do report is held against the record.
bool HandleHolds(const HandleProcs* procs, Handle handle, int32 size)
{
    if (procs->numHandleProcs < 3 || procs->getSizeProc == nullptr)
        return true;
    const int32 reported = procs->getSizeProc(handle);
    return reported == 0 || reported >= size;
}

template <typename Suite> void AcquireSuite(SPBasicSuite* basic, const char* name, const Suite** suite)
{
    if (*suite != nullptr || basic == nullptr || basic->AcquireSuite == nullptr)
        return;
    const void* acquired = nullptr;
    if (basic->AcquireSuite(name, 1, &acquired) == kSPNoError)
        *suite = static_cast<const Suite*>(acquired);
}

template <typename Suite> void ReleaseSuite(SPBasicSuite* basic, const char* name, const Suite** suite)
{
    if (*suite != nullptr && basic != nullptr && basic->ReleaseSuite != nullptr)
        basic->ReleaseSuite(name, 1);
    *suite = nullptr;
}

SPBasicSuite* BasicSuite()
{
    return gPlugin.filterRecord != nullptr ? gPlugin.filterRecord->sSPBasic : nullptr;
}

} // namespace

bool HaveBothHandles()
{
    return gPlugin.filterRecord != nullptr && gPlugin.filterRecord->parameters != nullptr && DataHandle() != nullptr;
}

OSErr LockHandles()
{
    const HandleProcs* procs = Handles();
    if (!HaveBothHandles() || procs == nullptr || procs->lockProc == nullptr)
        return filterBadParameters;
    Handle parameters = gPlugin.filterRecord->parameters;
    Handle data = DataHandle();
    if (!HandleHolds(procs, parameters, kParametersHandleSize) || !HandleHolds(procs, data, kDataHandleSize))
        return filterBadParameters;
    gPlugin.parameters = reinterpret_cast<FilterParameters*>(procs->lockProc(parameters, true));
    gPlugin.showDialogFlag = reinterpret_cast<uint8_t*>(procs->lockProc(data, true));
    if (gPlugin.parameters == nullptr || gPlugin.showDialogFlag == nullptr)
        return memFullErr;
    return noErr;
}

void UnlockHandles()
{
    const HandleProcs* procs = Handles();
    const bool canUnlock = procs != nullptr && procs->unlockProc != nullptr;
    if (gPlugin.showDialogFlag != nullptr && canUnlock && DataHandle() != nullptr)
        procs->unlockProc(DataHandle());
    if (gPlugin.parameters != nullptr && canUnlock && gPlugin.filterRecord->parameters != nullptr)
        procs->unlockProc(gPlugin.filterRecord->parameters);
    gPlugin.showDialogFlag = nullptr;
    gPlugin.parameters = nullptr;
}

OSErr CreateHandles()
{
    FilterRecord* record = gPlugin.filterRecord;
    const HandleProcs* procs = Handles();
    if (record == nullptr || gPlugin.data == nullptr || procs == nullptr || procs->newProc == nullptr)
        return filterBadParameters;
    if (record->parameters == nullptr) {
        record->parameters = procs->newProc(kParametersHandleSize);
        if (record->parameters == nullptr)
            return memFullErr;
    }
    if (DataHandle() == nullptr) {
        Handle data = procs->newProc(kDataHandleSize);
        if (data == nullptr)
            return memFullErr;
        *gPlugin.data = reinterpret_cast<intptr_t>(data);
    }
    return noErr;
}

OSErr FillNewHandles()
{
    const OSErr error = LockHandles();
    if (error != noErr)
        return error;
    *gPlugin.parameters = kFactoryParameters;
    *gPlugin.showDialogFlag = 1;
    auto* platform = static_cast<PlatformData*>(gPlugin.filterRecord->platformData);
    if (platform != nullptr && platform->hwnd == 0)
        platform->hwnd = reinterpret_cast<intptr_t>(GetDesktopWindowHandle());
    return noErr;
}

void AcquireSuites()
{
    SPBasicSuite* basic = BasicSuite();
    AcquireSuite(basic, kPSBufferSuite, &gPlugin.bufferSuite);
    AcquireSuite(basic, kPSPropertySuite, &gPlugin.propertySuite);
    AcquireSuite(basic, kPSErrorSuite, &gPlugin.errorSuite);
    PublishHostMemory();
}

void ReleaseSuites()
{
    SPBasicSuite* basic = BasicSuite();
    ReleaseSuite(basic, kPSErrorSuite, &gPlugin.errorSuite);
    ReleaseSuite(basic, kPSPropertySuite, &gPlugin.propertySuite);
    ReleaseSuite(basic, kPSBufferSuite, &gPlugin.bufferSuite);
    PublishHostMemory();
}

void CleanUp()
{
    UninitializeCom();
    ReleaseSuites();
}

void SuspendHostWatch()
{
    const PropertyProcs* property = gPlugin.propertySuite;
    if (property == nullptr || property->numPropertyProcs < 2 || property->setPropertyProc == nullptr)
        return;
    property->setPropertyProc(kPhotoshopSignature, propWatchSuspension, 0, 1, nullptr);
}

void SetMemoryBudget(FilterRecord* record)
{
    record->bufferSpace = 0;
    const ImageRect rect = GetFilterRect(record);
    const int64_t width = std::clamp<int64_t>(int64_t(rect.right) - rect.left, 0, kBudgetSideLimit);
    const int64_t height = std::clamp<int64_t>(int64_t(rect.bottom) - rect.top, 0, kBudgetSideLimit);
    const int64_t planes = std::max<int64_t>(record->planes, 0) + (record->maskData != nullptr ? 1 : 0);
    // Wide enough that an absurd plane count cannot overflow; any budget above maxSpace leaves it alone.
    const int64_t budget = 2 * planes * width * height;
    if (record->maxSpace > budget)
        record->maxSpace = int32(budget);
}

void* WindowOfPlatformData(const void* platformData)
{
    const auto* platform = static_cast<const PlatformData*>(platformData);
    if (platform != nullptr && platform->hwnd != 0)
        return reinterpret_cast<void*>(platform->hwnd);
    return GetDesktopWindowHandle();
}
