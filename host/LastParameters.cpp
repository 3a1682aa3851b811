#include "host/LastParameters.h"

#include <cstdlib>
#include <initializer_list>

#include "host/PluginGlobals.h"
#include "presets/ParameterBlock.h"
#include "presets/ParameterSets.h"
#include "presets/SettingsFiles.h"

namespace {

// Registered blocks are ours and 255 bytes long; anything far larger is not worth an allocation.
constexpr int32 kLargestAcceptedBlock = 64 * 1024;

struct RegistrySuites
{
    SPBasicSuite* basic;
    const PSDescriptorRegistryProcs* registry;
    const PSActionDescriptorProcs* descriptors;
    int32 descriptorsVersion; // the version acquired, released with the same
};

const void* Acquire(SPBasicSuite* basic, const char* name, int32 version)
{
    const void* suite = nullptr;
    if (basic->AcquireSuite(name, version, &suite) != kSPNoError)
        return nullptr;
    return suite;
}

// Hosts that predate version 3 of the action descriptor suite serve 2, which has every procedure
// used here.
OSErr AcquireRegistrySuites(SPBasicSuite* basic, RegistrySuites* suites)
{
    suites->basic = basic;
    if (basic == nullptr || basic->AcquireSuite == nullptr)
        return errPlugInHostInsufficient;
    suites->registry = static_cast<const PSDescriptorRegistryProcs*>(Acquire(basic, kPSDescriptorRegistrySuite, 1));
    if (suites->registry == nullptr)
        return errPlugInHostInsufficient;
    for (int32 version : {3, 2}) {
        suites->descriptors =
            static_cast<const PSActionDescriptorProcs*>(Acquire(basic, kPSActionDescriptorSuite, version));
        if (suites->descriptors != nullptr) {
            suites->descriptorsVersion = version;
            return noErr;
        }
    }
    return errPlugInHostInsufficient;
}

void ReleaseRegistrySuites(RegistrySuites* suites)
{
    SPBasicSuite* basic = suites->basic;
    if (basic == nullptr || basic->ReleaseSuite == nullptr)
        return;
    if (suites->descriptors != nullptr)
        basic->ReleaseSuite(kPSActionDescriptorSuite, suites->descriptorsVersion);
    if (suites->registry != nullptr)
        basic->ReleaseSuite(kPSDescriptorRegistrySuite, 1);
    *suites = RegistrySuites{};
}

bool CanRead(const RegistrySuites& s)
{
    return s.registry->Get != nullptr && s.descriptors->Free != nullptr && s.descriptors->GetDataLength != nullptr &&
           s.descriptors->GetData != nullptr;
}

bool CanWrite(const RegistrySuites& s)
{
    return s.registry->Register != nullptr && s.descriptors->Make != nullptr && s.descriptors->Free != nullptr &&
           s.descriptors->PutData != nullptr;
}

// Stored blocks are little-endian whatever the machine.
bool HasCurrentVersion(const uint8_t* block)
{
    const uint16_t parts[4] = {kCurrentParametersVersion.major, kCurrentParametersVersion.minor,
                               kCurrentParametersVersion.revision, kCurrentParametersVersion.build};
    for (int i = 0; i < 4; ++i) {
        if (block[2 * i] != (parts[i] & 0xFF) || block[2 * i + 1] != (parts[i] >> 8))
            return false;
    }
    return true;
}

OSErr ApplyRegisteredBlock(const uint8_t* block)
{
    if (HasCurrentVersion(block)) {
        ParameterBlockProc(kBlockApply, block, gPlugin.parameters);
        return noErr;
    }
    void* converted = ParameterBlockProc(kBlockConvert, block, gPlugin.parameters);
    if (converted == nullptr)
        return errHostVersionIncompatible;
    ParameterBlockProc(kBlockApply, converted, gPlugin.parameters);
    FreeParameterBlock(converted);
    return noErr;
}

OSErr ReadRegisteredBlock(const RegistrySuites& suites, PIActionDescriptor* descriptor)
{
    if (!CanRead(suites))
        return errPlugInHostInsufficient;
    OSErr err = suites.registry->Get(kRegistryKey, descriptor);
    if (err != noErr)
        return err;
    if (*descriptor == nullptr)
        return errPlugInHostInsufficient;
    int32 length = 0;
    if (suites.descriptors->GetDataLength(*descriptor, kParameterBlockKey, &length) != noErr || length == 0)
        return errPlugInPropertyUndefined;
    // Too short to hold a record, or implausibly long: treated like a block of an unknown version.
    if (length < int32(sizeof(FilterParameters)) || length > kLargestAcceptedBlock)
        return errHostVersionIncompatible;
    auto* block = static_cast<uint8_t*>(std::calloc(1, size_t(length)));
    if (block == nullptr)
        return memFullErr;
    err = suites.descriptors->GetData(*descriptor, kParameterBlockKey, block);
    if (err == noErr)
        err = ApplyRegisteredBlock(block);
    std::free(block);
    return err;
}

void WriteLastParametersFile()
{
    void* block = ParameterBlockProc(kBlockCurrent, nullptr, gPlugin.parameters);
    if (block == nullptr)
        return;
    WriteSettingsFile(kLastSavedParametersFile, block, kParameterBlockSize);
    FreeParameterBlock(block);
}

bool RegisterCurrentBlock(const RegistrySuites& suites, PIActionDescriptor* descriptor)
{
    if (!CanWrite(suites) || suites.descriptors->Make(descriptor) != noErr || *descriptor == nullptr)
        return false;
    void* block = ParameterBlockProc(kBlockCurrent, nullptr, gPlugin.parameters);
    if (block == nullptr)
        return false;
    const bool stored =
        suites.descriptors->PutData(*descriptor, kParameterBlockKey, int32(kParameterBlockSize), block) == noErr &&
        suites.registry->Register(kRegistryKey, *descriptor, true) == noErr;
    FreeParameterBlock(block);
    return stored;
}

SPBasicSuite* BasicSuite()
{
    return gPlugin.filterRecord != nullptr ? gPlugin.filterRecord->sSPBasic : nullptr;
}

} // namespace

void RestoreLastParameters()
{
    RegistrySuites suites{};
    PIActionDescriptor descriptor = nullptr;
    OSErr err = AcquireRegistrySuites(BasicSuite(), &suites);
    if (err == noErr)
        err = ReadRegisteredBlock(suites, &descriptor);
    if (err != noErr && !RestoreLastSavedParameters(gPlugin.parameters))
        *gPlugin.parameters = kFactoryParameters;
    if (descriptor != nullptr && suites.descriptors != nullptr && suites.descriptors->Free != nullptr)
        suites.descriptors->Free(descriptor);
    ReleaseRegistrySuites(&suites);
}

void PersistLastParameters()
{
    RegistrySuites suites{};
    PIActionDescriptor descriptor = nullptr;
    bool stored = false;
    if (AcquireRegistrySuites(BasicSuite(), &suites) == noErr)
        stored = RegisterCurrentBlock(suites, &descriptor);
    if (!stored)
        WriteLastParametersFile();
    if (descriptor != nullptr)
        suites.descriptors->Free(descriptor);
    ReleaseRegistrySuites(&suites);
}
