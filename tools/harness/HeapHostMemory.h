// Host memory for code that runs the engine without a host (tests, benchmarks, the render tool): a
// Buffer suite backed by the C heap, handed to the image layer for the lifetime of the object.
#pragma once

#include <cstdlib>

#include "image/BufferRecord.h"

class HeapHostMemory
{
public:
    HeapHostMemory()
    {
        ResetBufferUsage();
        SetHostMemory(HostMemory{&Suite(), nullptr});
    }
    ~HeapHostMemory() { SetHostMemory(HostMemory{}); }
    HeapHostMemory(const HeapHostMemory&) = delete;
    HeapHostMemory& operator=(const HeapHostMemory&) = delete;

    // Refuses every allocation from now on while set.
    static bool& RefuseAll()
    {
        static bool refuse = false;
        return refuse;
    }

private:
    static Ptr New(uint32* requestedSize, uint32)
    {
        if (RefuseAll() || requestedSize == nullptr)
            return nullptr;
        return static_cast<Ptr>(std::malloc(*requestedSize == 0 ? 1 : *requestedSize));
    }
    static void Dispose(Ptr* buffer)
    {
        std::free(*buffer);
        *buffer = nullptr;
    }
    static uint32 GetSize(Ptr) { return 0; }
    static uint32 GetSpace() { return 0x7FFFFFFF; }
    static const PSBufferSuite1& Suite()
    {
        static const PSBufferSuite1 suite{New, Dispose, GetSize, GetSpace};
        return suite;
    }
};
