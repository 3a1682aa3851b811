// The host's state behind the callbacks. Callbacks carry no context, so the one live Host publishes its
// state through gHostState; each service file fills its part of the tables here.
#pragma once

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/harness/Host.h"

// A host handle: the Handle the module sees is the address of `data`, the block's first member.
struct HostHandleBlock
{
    char* data;
    int32_t size;
    bool locked;
    uint64_t serial; // tells a new handle from a freed one at the same address
};

struct HostBuffer
{
    char* data;
    int64_t size;
};

// One of the three transfer buffers (in, out, mask) as last loaded for the module.
struct TransferArea
{
    std::vector<uint8_t> bytes;
    bool loaded = false;
    ImageRect rect{0, 0, 0, 0};
    int32_t firstChannel = 0; // document plane of the first interleaved sample
    int32_t planeCount = 0;
    int32_t rowBytes = 0;
};

struct ReadToken
{
    Descriptor entries;
    size_t next = 0;
    const DescriptorEntry* current = nullptr;
    DescriptorKeyID* keys = nullptr; // the module's key array
    size_t keyCount = 0;             // its length when opened; entries zeroed later do not shorten it
    OSErr lastError = noErr;
};

struct WriteToken
{
    Descriptor entries;
};

struct ActionDescriptorObject
{
    Descriptor entries;
};

struct RegistryEntry
{
    Descriptor descriptor;
    bool persistent;
};

struct Host::State
{
    HostOptions options;
    PluginEntryProc entry = nullptr;
    HostDocument document;

    // The record and the tables it points to.
    FilterRecord* record = nullptr; // options.recordSize bytes
    BigDocumentStruct bigDocument{};
    bool bigDocumentProvided = false;
    PlatformData platform{};
    AboutRecord about{};
    Str255 errorString{};
    HandleProcs handleProcs{};
    BufferProcs bufferProcs{};
    PropertyProcs propertyProcs{};
    PIDescriptorParameters descriptorParameters{};
    ReadDescriptorProcs readProcs{};
    WriteDescriptorProcs writeProcs{};
    SPBasicSuite basicSuite{};
    PSBufferSuite2 bufferSuite{};
    PSErrorSuite1 errorSuite{};
    PSHandleSuite1 handleSuite1{};
    PSHandleSuite2 handleSuite2{};
    PSDescriptorRegistryProcs registryProcs{};
    PSActionDescriptorProcs actionDescriptorProcs{};
    // Suite tables handed out at exactly their version's size, so that reading past the end is caught.
    std::map<std::string, void*> suiteCopies;

    intptr_t dataSlot = 0;

    // Live host objects.
    std::set<HostHandleBlock*> handles;
    std::set<HostBuffer*> buffers;
    std::map<void*, uint32_t> suiteBlocks; // Buffer suite blocks and their sizes
    std::set<ActionDescriptorObject*> actionDescriptors;
    std::set<ReadToken*> readTokens;
    std::set<WriteToken*> writeTokens;
    std::map<std::string, RegistryEntry> registry;

    // Scripting.
    Descriptor scriptDescriptor;
    bool hasScriptDescriptor = false;
    Descriptor recordedDescriptor;
    Handle handedInDescriptor = nullptr;
    uint64_t handedInSerial = 0;
    uint64_t handleSerials = 0;
    int16 recordInfo = 0;

    // Transfer.
    TransferArea in, out, mask;

    // Counters for failure injection and the log.
    int32_t handleNews = 0;
    int32_t bufferAllocations = 0;
    int32_t suiteNews = 0;
    int32_t advanceStateCalls = 0;
    int32_t abortCalls = 0;
    bool aborted = false;
    std::vector<int16> selectors;
    std::vector<TransferRequest> transfers;
    std::vector<ProgressCall> progress;
    std::vector<PropertyCall> propertySets;
    std::map<std::string, int32_t> acquisitions;
    std::map<std::string, int32_t> releases;
    std::vector<std::string> faults;
    std::vector<std::string> registryProblems; // each once

    bool Independent() const { return options.flavor == HostFlavor::Independent; }
    // True when the host allocated `offset` .. `offset + size` of the record and fills such fields.
    bool RecordHas(size_t offset, size_t size) const;
    // The big-document record when the host hands one to the module, else null.
    BigDocumentStruct* ProvidedBigDocument() const;
    void Fault(const std::string& text) { faults.push_back(text); }
};

extern Host::State* gHostState;

// Set-up of each service's tables (one per source file).
void InstallMemoryProcs(Host::State* state);
void InstallSuites(Host::State* state);
void InstallDescriptorProcs(Host::State* state);

// Host handles, for the parts of the host that make or read them itself.
Handle NewHostHandle(int32_t size);
void DisposeHostHandle(Handle handle);
HostHandleBlock* FindHostHandle(Handle handle);   // notes a fault when the handle is unknown
HostHandleBlock* LookUpHostHandle(Handle handle); // quietly null when unknown
// Releases every object the module did not give back.
void ReleaseHostMemory(Host::State* state);
void ReleaseDescriptorObjects(Host::State* state);

// Descriptors in host handles and in the registry file.
void SerializeDescriptor(const Descriptor& descriptor, std::vector<uint8_t>* bytes);
bool DeserializeDescriptor(const uint8_t* bytes, size_t size, Descriptor* descriptor);
// Both note any trouble with the file in registryProblems.
bool LoadRegistryFile(Host::State* state);
bool SaveRegistryFile(Host::State* state);
PIActionDescriptor NewActionDescriptor(const Descriptor& entries);

// The host's side of advanceState: commit the last output, load the requested areas.
OSErr TransferForModule();
OSErr TransferForHost();
bool AnyRequestedRect(const Host::State* state);
void CommitAndReleaseAreas(Host::State* state, bool commit);
