// A stand-in module for testing the host itself: each selector runs the test's own routine, and its
// non-zero result goes back to the host as the module's result code.
#pragma once

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "tools/harness/Harness.h"

struct FakeModule
{
    using Step = std::function<OSErr(FilterRecord*)>;
    Step parameters, prepare, start, proceed, finish;
};

inline FakeModule& Fake()
{
    static FakeModule module;
    return module;
}

inline void FakeEntry(int16 selector, void* record, intptr_t*, int16* result)
{
    FakeModule& m = Fake();
    const FakeModule::Step* step = nullptr;
    switch (selector) {
    case filterSelectorParameters: step = &m.parameters; break;
    case filterSelectorPrepare: step = &m.prepare; break;
    case filterSelectorStart: step = &m.start; break;
    case filterSelectorContinue: step = &m.proceed; break;
    case filterSelectorFinish: step = &m.finish; break;
    default: return;
    }
    if (*step) {
        const OSErr error = (*step)(static_cast<FilterRecord*>(record));
        if (error != noErr)
            *result = error;
    }
}

class FakeModuleTest : public ::testing::Test
{
protected:
    void SetUp() override { Fake() = FakeModule{}; }
    void TearDown() override { Fake() = FakeModule{}; }
};

inline Rect MakeRect(int16 left, int16 top, int16 right, int16 bottom)
{
    return Rect{top, left, bottom, right};
}

template <typename T> T ReadAt(const void* base, int64_t offset)
{
    T value;
    std::memcpy(&value, static_cast<const uint8_t*>(base) + offset, sizeof value);
    return value;
}

template <typename T> void WriteAt(void* base, int64_t offset, T value)
{
    std::memcpy(static_cast<uint8_t*>(base) + offset, &value, sizeof value);
}

template <typename Suite> const Suite* AcquireSuite(FilterRecord* r, const char* name, int32 version)
{
    const void* suite = nullptr;
    if (r->sSPBasic == nullptr || r->sSPBasic->AcquireSuite(name, version, &suite) != kSPNoError)
        return nullptr;
    return static_cast<const Suite*>(suite);
}
