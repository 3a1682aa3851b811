#include "image/BufferRecord.h"

#include <cinttypes>
#include <cstring>

#include "diag/ErrorReport.h"

namespace {

struct BufferUsage
{
    uint64_t current; // bytes held by all blocks now
    uint64_t peak;    // the most ever held at once
};

BufferUsage gUsage;
HostMemory gHostMemory;

// Hosts may hand in an older, shorter table; the four classic procedures are all we call.
bool HasBufferProcs(const BufferProcs* procs)
{
    if (procs == nullptr)
        return false;
    return procs->numBufferProcs >= 4 && procs->allocateProc != nullptr && procs->lockProc != nullptr &&
           procs->unlockProc != nullptr && procs->freeProc != nullptr;
}

// A block that the host handed out; `error` is the host's code when it refused.
struct HostBlock
{
    void* data;
    uint64_t bufferId;
    uint32_t size;
    OSErr error;
};

HostBlock ObtainBlock(uint32_t requested)
{
    HostBlock block{nullptr, 0, 0, noErr};
    const PSBufferSuite1* suite = gHostMemory.bufferSuite;
    if (suite != nullptr && suite->New != nullptr) {
        uint32 granted = requested;
        Ptr data = suite->New(&granted, requested);
        // A host that grants less than the minimum it was asked for would have us write past the block.
        if (data != nullptr && granted < requested) {
            suite->Dispose(&data);
            data = nullptr;
        }
        block.data = data;
        block.size = granted;
        return block;
    }

    BufferProcs* procs = gHostMemory.bufferProcs;
    if (!HasBufferProcs(procs))
        return block;
    BufferID id = nullptr;
    // The classic procedure takes a signed 32-bit size; larger blocks need the 64-bit one.
    if (requested <= uint32_t(INT32_MAX))
        block.error = procs->allocateProc(int32(requested), &id);
    else if (procs->numBufferProcs >= 7 && procs->allocateProc64 != nullptr)
        block.error = procs->allocateProc64(int64(requested), &id);
    else
        return block;
    if (block.error != noErr)
        return block;
    block.data = procs->lockProc(id, true);
    if (block.data == nullptr) {
        // The host's ID would otherwise leak: nothing else ever learns of it.
        procs->freeProc(id);
        return block;
    }
    block.bufferId = uint64_t(reinterpret_cast<uintptr_t>(id));
    block.size = requested;
    return block;
}

void GiveBlockBack(const BufferRecord& record)
{
    if (record.data == nullptr)
        return;
    if (record.bufferId == 0) {
        const PSBufferSuite1* suite = gHostMemory.bufferSuite;
        if (suite != nullptr && suite->Dispose != nullptr) {
            Ptr data = static_cast<Ptr>(record.data);
            suite->Dispose(&data);
        }
        return;
    }
    BufferProcs* procs = gHostMemory.bufferProcs;
    if (HasBufferProcs(procs)) {
        BufferID id = reinterpret_cast<BufferID>(uintptr_t(record.bufferId));
        procs->unlockProc(id);
        procs->freeProc(id);
    }
}

} // namespace

void SetHostMemory(const HostMemory& memory)
{
    gHostMemory = memory;
}

OSErr ReallocateBuffer(uint32_t requested, BufferRecord* record)
{
    if (requested <= record->size && (record->data != nullptr || requested == 0))
        return noErr;

    const HostBlock block = ObtainBlock(requested);
    if (block.data == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "ReallocateBuffer() Allocation Failed: Requested = %u, Current Usage = %" PRIu64
                    ", Peak Usage = %" PRIu64,
                    requested, gUsage.current, gUsage.peak);
        return block.error != noErr ? block.error : memFullErr;
    }

    gUsage.current += block.size;
    if (gUsage.current > gUsage.peak)
        gUsage.peak = gUsage.current;
    if (record->data != nullptr) {
        GiveBlockBack(*record);
        gUsage.current -= record->size;
    }
    record->bufferId = block.bufferId;
    record->data = block.data;
    record->size = block.size;
    return noErr;
}

OSErr GrowBuffer(uint32_t requested, BufferRecord* record)
{
    if (requested <= record->size && record->data != nullptr)
        return noErr;
    BufferRecord grown{0, nullptr, 0};
    const OSErr error = ReallocateBuffer(requested, &grown);
    if (error != noErr)
        return error;
    if (record->data != nullptr)
        std::memcpy(grown.data, record->data, record->size);
    ReleaseBuffer(record);
    *record = grown;
    return noErr;
}

void ReleaseBuffer(BufferRecord* record)
{
    if (record->data != nullptr) {
        gUsage.current -= record->size;
        GiveBlockBack(*record);
    }
    *record = BufferRecord{0, nullptr, 0};
}

uint64_t CurrentBufferUsage()
{
    return gUsage.current;
}

uint64_t PeakBufferUsage()
{
    return gUsage.peak;
}

void ResetBufferUsage()
{
    gUsage = BufferUsage{0, 0};
}
