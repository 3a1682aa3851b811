// Blocks of host memory. Every large allocation of the module comes through here, so that the host
// can account for it and the module's current and peak usage are known.
//
// Blocks only grow: asking for no more than a record already holds costs nothing, which lets a buffer
// be reused for a series of equal or smaller tiles.
#pragma once

#include "sdk/HostInterface.h"

struct BufferRecord
{
    uint64_t bufferId; // the host's ID when the block came from bufferProcs; 0 from the Buffer suite
    void* data;        // start of the block; null when nothing is allocated
    uint32_t size;     // bytes granted by the host (at least the amount asked for)
};

// The host's memory services. The entry point fills this record for every host call and empties it
// afterwards, so that no block is ever asked of a host that has returned. The Buffer suite is used when
// the host offers it, the filter record's classic procedures otherwise.
struct HostMemory
{
    const PSBufferSuite1* bufferSuite; // null while not held
    BufferProcs* bufferProcs;          // the filter record's; null for the about selector
};

void SetHostMemory(const HostMemory& memory);

// Makes `record` hold at least `requested` bytes; the contents are not kept. Returns 0 or the host's code.
OSErr ReallocateBuffer(uint32_t requested, BufferRecord* record);

// As ReallocateBuffer, keeping the old contents. On failure the old block stays.
OSErr GrowBuffer(uint32_t requested, BufferRecord* record);

// Gives the block back and empties the record.
void ReleaseBuffer(BufferRecord* record);

// Bytes held by all blocks now, and the most ever held at once.
uint64_t CurrentBufferUsage();
uint64_t PeakBufferUsage();
void ResetBufferUsage(); // for tests
