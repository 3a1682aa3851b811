// Host memory for tests that exercise the module without a host: installs a Buffer suite backed by the
// C heap into the plug-in globals for the lifetime of the object, and forgets it afterwards.
#pragma once

#include <cstdlib>

#include "host/BufferRecord.h"
#include "host/PluginGlobals.h"

class TestHostMemory
{
public:
    TestHostMemory()
    {
        ResetPluginGlobals();
        ResetBufferUsage();
        gPlugin.bufferSuite = &Suite();
    }
    ~TestHostMemory() { ResetPluginGlobals(); }
    TestHostMemory(const TestHostMemory&) = delete;
    TestHostMemory& operator=(const TestHostMemory&) = delete;

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
