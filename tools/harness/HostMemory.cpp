// Handles, buffers and the Buffer and Handle suites: all exactly sized heap blocks, so that a module
// reading or writing past what it asked for is caught by the address sanitizer, and all tracked, so
// that leaks and frees of unknown blocks show up in the host's faults.
#include <cstring>

#include "tools/harness/HostState.h"

namespace {

bool Refuse(int32_t* counter, int32_t allowed)
{
    ++*counter;
    return allowed >= 0 && *counter > allowed;
}

HostBuffer* FindBuffer(BufferID id)
{
    HostBuffer* buffer = reinterpret_cast<HostBuffer*>(id);
    return gHostState->buffers.count(buffer) != 0 ? buffer : nullptr;
}

// Handle procedures.

Handle HostNewHandle(int32 size)
{
    if (size < 0 || Refuse(&gHostState->handleNews, gHostState->options.handlesBeforeRefusal))
        return nullptr;
    return NewHostHandle(size);
}

void HostDisposeHandle(Handle handle)
{
    if (handle != nullptr)
        DisposeHostHandle(handle);
}

int32 HostGetHandleSize(Handle handle)
{
    HostHandleBlock* block = FindHostHandle(handle);
    if (block == nullptr || gHostState->Independent())
        return 0;
    return block->size;
}

OSErr HostSetHandleSize(Handle handle, int32 newSize)
{
    HostHandleBlock* block = FindHostHandle(handle);
    if (block == nullptr)
        return nilHandleErr;
    if (gHostState->Independent())
        return noErr; // this host accepts the call and keeps the old size
    if (newSize < 0)
        return paramErr;
    // A resized handle moves, as it may on any host.
    char* data = static_cast<char*>(std::malloc(newSize == 0 ? 1 : size_t(newSize)));
    if (data == nullptr)
        return memFullErr;
    std::memcpy(data, block->data, size_t(block->size < newSize ? block->size : newSize));
    std::free(block->data);
    block->data = data;
    block->size = newSize;
    return noErr;
}

Ptr HostLockHandle(Handle handle, Boolean)
{
    HostHandleBlock* block = FindHostHandle(handle);
    if (block == nullptr)
        return nullptr;
    block->locked = true;
    return block->data;
}

void HostUnlockHandle(Handle handle)
{
    HostHandleBlock* block = FindHostHandle(handle);
    if (block != nullptr)
        block->locked = false;
}

void HostRecoverSpace(int32) {}

void HostSetLock(Handle handle, Boolean lock, Ptr* address, Boolean* oldLock)
{
    HostHandleBlock* block = FindHostHandle(handle);
    if (oldLock != nullptr)
        *oldLock = block != nullptr && block->locked;
    if (address != nullptr)
        *address = block != nullptr ? block->data : nullptr;
    if (block != nullptr)
        block->locked = lock != 0;
}

// bufferProcs.

OSErr HostAllocateBuffer64(int64 size, BufferID* id)
{
    if (id == nullptr)
        return paramErr;
    *id = nullptr;
    if (size < 0)
        return paramErr;
    if (Refuse(&gHostState->bufferAllocations, gHostState->options.bufferProcsBeforeRefusal))
        return memFullErr;
    char* data = static_cast<char*>(std::malloc(size == 0 ? 1 : size_t(size)));
    if (data == nullptr)
        return memFullErr;
    HostBuffer* buffer = new HostBuffer{data, size};
    gHostState->buffers.insert(buffer);
    *id = reinterpret_cast<BufferID>(buffer);
    return noErr;
}

OSErr HostAllocateBuffer(int32 size, BufferID* id)
{
    return HostAllocateBuffer64(size, id);
}

Ptr HostLockBuffer(BufferID id, Boolean)
{
    HostBuffer* buffer = FindBuffer(id);
    if (buffer == nullptr) {
        gHostState->Fault("lockProc on an unknown buffer");
        return nullptr;
    }
    return buffer->data;
}

void HostUnlockBuffer(BufferID id)
{
    if (FindBuffer(id) == nullptr)
        gHostState->Fault("unlockProc on an unknown buffer");
}

void HostFreeBuffer(BufferID id)
{
    HostBuffer* buffer = FindBuffer(id);
    if (buffer == nullptr) {
        gHostState->Fault("freeProc on an unknown buffer");
        return;
    }
    gHostState->buffers.erase(buffer);
    std::free(buffer->data);
    delete buffer;
}

int32 HostBufferSpace()
{
    return gHostState->options.maxSpace;
}

int64 HostBufferSpace64()
{
    return gHostState->options.maxSpace;
}

OSErr HostReserveBufferSpace(int32)
{
    return noErr;
}

// Buffer suite.

Ptr SuiteNew64(uint64* requestedSize, uint64 minimumSize)
{
    const uint64 size = requestedSize != nullptr ? *requestedSize : minimumSize;
    if (size > 0xFFFFFFFFu || Refuse(&gHostState->suiteNews, gHostState->options.bufferSuiteBeforeRefusal))
        return nullptr;
    char* data = static_cast<char*>(std::malloc(size == 0 ? 1 : size_t(size)));
    if (data == nullptr)
        return nullptr;
    gHostState->suiteBlocks[data] = uint32_t(size);
    return data;
}

Ptr SuiteNew(uint32* requestedSize, uint32 minimumSize)
{
    uint64 size = requestedSize != nullptr ? *requestedSize : minimumSize;
    return SuiteNew64(&size, minimumSize);
}

void SuiteDispose(Ptr* buffer)
{
    if (buffer == nullptr || *buffer == nullptr)
        return;
    auto found = gHostState->suiteBlocks.find(*buffer);
    if (found == gHostState->suiteBlocks.end()) {
        gHostState->Fault("Buffer suite Dispose of an unknown block");
        return;
    }
    gHostState->suiteBlocks.erase(found);
    std::free(*buffer);
    *buffer = nullptr;
}

uint32 SuiteGetSize(Ptr buffer)
{
    auto found = gHostState->suiteBlocks.find(buffer);
    return found != gHostState->suiteBlocks.end() ? found->second : 0;
}

uint64 SuiteGetSize64(Ptr buffer)
{
    return SuiteGetSize(buffer);
}

uint32 SuiteGetSpace()
{
    return uint32(gHostState->options.maxSpace);
}

uint64 SuiteGetSpace64()
{
    return uint64(gHostState->options.maxSpace);
}

} // namespace

Handle NewHostHandle(int32_t size)
{
    char* data = static_cast<char*>(std::calloc(size == 0 ? 1 : size_t(size), 1));
    if (data == nullptr)
        return nullptr;
    HostHandleBlock* block = new HostHandleBlock{data, size, false, ++gHostState->handleSerials};
    gHostState->handles.insert(block);
    return &block->data;
}

HostHandleBlock* LookUpHostHandle(Handle handle)
{
    HostHandleBlock* block = reinterpret_cast<HostHandleBlock*>(handle);
    return handle != nullptr && gHostState->handles.count(block) != 0 ? block : nullptr;
}

HostHandleBlock* FindHostHandle(Handle handle)
{
    HostHandleBlock* block = LookUpHostHandle(handle);
    if (block == nullptr)
        gHostState->Fault("an unknown handle was passed to the host");
    return block;
}

void DisposeHostHandle(Handle handle)
{
    HostHandleBlock* block = FindHostHandle(handle);
    if (block == nullptr)
        return;
    gHostState->handles.erase(block);
    std::free(block->data);
    delete block;
}

void ReleaseHostMemory(Host::State* state)
{
    for (HostHandleBlock* block : state->handles) {
        std::free(block->data);
        delete block;
    }
    state->handles.clear();
    for (HostBuffer* buffer : state->buffers) {
        std::free(buffer->data);
        delete buffer;
    }
    state->buffers.clear();
    for (auto& block : state->suiteBlocks)
        std::free(block.first);
    state->suiteBlocks.clear();
}

void InstallMemoryProcs(Host::State* state)
{
    state->handleProcs = HandleProcs{
        kCurrentHandleProcsVersion, kCurrentHandleProcsCount, HostNewHandle,    HostDisposeHandle, HostGetHandleSize,
        HostSetHandleSize,          HostLockHandle,           HostUnlockHandle, HostRecoverSpace,  HostDisposeHandle};
    state->bufferProcs = BufferProcs{kCurrentBufferProcsVersion,
                                     state->options.numBufferProcs,
                                     HostAllocateBuffer,
                                     HostLockBuffer,
                                     HostUnlockBuffer,
                                     HostFreeBuffer,
                                     HostBufferSpace,
                                     HostReserveBufferSpace,
                                     HostAllocateBuffer64,
                                     HostBufferSpace64};
    if (state->options.numBufferProcs < 8) {
        // An older table: the procedures it does not count are not there.
        state->bufferProcs.allocateProc64 = nullptr;
        state->bufferProcs.spaceProc64 = nullptr;
        if (state->options.numBufferProcs < 6)
            state->bufferProcs.reserveProc = nullptr;
    }
    state->bufferSuite = PSBufferSuite2{SuiteNew,   SuiteDispose,   SuiteGetSize,   SuiteGetSpace,
                                        SuiteNew64, SuiteGetSize64, SuiteGetSpace64};
    state->handleSuite1 = PSHandleSuite1{HostNewHandle,     HostDisposeHandle, HostSetLock,
                                         HostGetHandleSize, HostSetHandleSize, HostRecoverSpace};
    state->handleSuite2 = PSHandleSuite2{HostNewHandle,     HostDisposeHandle, HostDisposeHandle, HostSetLock,
                                         HostGetHandleSize, HostSetHandleSize, HostRecoverSpace};
}
