// sSPBasic and the small suites: Property, Error; also progress and abort, which only count.
#include <cstring>

#include "tools/harness/HostState.h"

namespace {

// A copy of the first `size` bytes of a suite table, kept until the Host ends.
const void* SuiteCopy(const std::string& name, int32 version, const void* table, size_t size)
{
    const std::string id = name + "/" + std::to_string(version);
    auto found = gHostState->suiteCopies.find(id);
    if (found != gHostState->suiteCopies.end())
        return found->second;
    void* copy = std::malloc(size);
    std::memcpy(copy, table, size);
    gHostState->suiteCopies[id] = copy;
    return copy;
}

const void* FindSuite(const std::string& name, int32 version)
{
    Host::State* s = gHostState;
    const HostOptions& o = s->options;
    if (name == kPSBufferSuite && o.bufferSuite) {
        if (version == 1)
            return SuiteCopy(name, version, &s->bufferSuite, sizeof(PSBufferSuite1));
        if (version == 2)
            return SuiteCopy(name, version, &s->bufferSuite, sizeof(PSBufferSuite2));
    }
    if (name == kPSPropertySuite && o.propertySuite && version == 1)
        return &s->propertyProcs;
    if (name == kPSErrorSuite && o.errorSuite && version == 1)
        return &s->errorSuite;
    if (name == kPSHandleSuite && o.handleSuite) {
        if (version == 1)
            return SuiteCopy(name, version, &s->handleSuite1, sizeof(PSHandleSuite1));
        if (version == 2)
            return SuiteCopy(name, version, &s->handleSuite2, sizeof(PSHandleSuite2));
    }
    if (name == kPSDescriptorRegistrySuite && o.descriptorRegistry && version == 1)
        return &s->registryProcs;
    if (name == kPSActionDescriptorSuite && version <= o.actionDescriptorVersion) {
        if (version == 2)
            return SuiteCopy(name, version, &s->actionDescriptorProcs, kActionDescriptorProcsSizeV2);
        if (version == 3)
            return SuiteCopy(name, version, &s->actionDescriptorProcs, kActionDescriptorProcsSizeV3);
    }
    if (name == kSPBasicSuite && version == 4)
        return &s->basicSuite;
    return nullptr;
}

SPErr AcquireSuite(const char* name, int32 version, const void** suite)
{
    if (name == nullptr || suite == nullptr)
        return kSPBadParameterError;
    *suite = FindSuite(name, version);
    if (*suite == nullptr)
        return kSPSuiteNotFoundError;
    ++gHostState->acquisitions[name];
    return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int32 version)
{
    if (name == nullptr || FindSuite(name, version) == nullptr)
        return kSPSuiteNotFoundError;
    ++gHostState->releases[name];
    return kSPNoError;
}

SPBoolean IsEqual(const char* token1, const char* token2)
{
    return token1 != nullptr && token2 != nullptr && std::strcmp(token1, token2) == 0;
}

SPErr AllocateBlock(size_t size, void** block)
{
    if (block == nullptr)
        return kSPBadParameterError;
    *block = std::malloc(size == 0 ? 1 : size);
    return *block != nullptr ? kSPNoError : kSPOutOfMemoryError;
}

SPErr FreeBlock(void* block)
{
    std::free(block);
    return kSPNoError;
}

SPErr ReallocateBlock(void* block, size_t newSize, void** newBlock)
{
    if (newBlock == nullptr)
        return kSPBadParameterError;
    *newBlock = std::realloc(block, newSize == 0 ? 1 : newSize);
    return *newBlock != nullptr ? kSPNoError : kSPOutOfMemoryError;
}

SPErr Undefined()
{
    return kSPNoError;
}

OSErr GetProperty(PIType signature, PIType key, int32, intptr_t* simple, Handle* complex)
{
    Host::State* s = gHostState;
    if (s->Independent())
        return noErr; // this host claims success and leaves both outputs as they were
    if (complex != nullptr)
        *complex = nullptr;
    if (signature != kPhotoshopSignature || simple == nullptr)
        return errPlugInPropertyUndefined;
    if (key == FourCC("nuch"))
        *simple = s->document.PlaneCount();
    else if (key == FourCC("mode"))
        *simple = s->document.Mode();
    else if (key == FourCC("docW"))
        *simple = s->document.Width();
    else if (key == FourCC("docH"))
        *simple = s->document.Height();
    else if (key == propWatchSuspension)
        *simple = 0;
    else
        return errPlugInPropertyUndefined;
    return noErr;
}

OSErr SetProperty(PIType signature, PIType key, int32 index, intptr_t simple, Handle complex)
{
    gHostState->propertySets.push_back(PropertyCall{signature, key, index, simple, complex != nullptr});
    if (signature == kPhotoshopSignature && key == propWatchSuspension)
        return noErr;
    return errPlugInPropertyUndefined;
}

SPErr SetErrorFromPString(const unsigned char*)
{
    return kSPNoError;
}

SPErr SetErrorFromCString(const char*)
{
    return kSPNoError;
}

SPErr SetErrorFromZString(ASZString)
{
    return kSPNoError;
}

} // namespace

void InstallSuites(Host::State* state)
{
    state->basicSuite =
        SPBasicSuite{AcquireSuite, ReleaseSuite, IsEqual, AllocateBlock, FreeBlock, ReallocateBlock, Undefined};
    state->propertyProcs =
        PropertyProcs{kCurrentPropertyProcsVersion, kCurrentPropertyProcsCount, GetProperty, SetProperty};
    state->errorSuite = PSErrorSuite1{SetErrorFromPString, SetErrorFromCString, SetErrorFromZString};
}
