// The module driven through the host harness as hosts drive it: natively the linked entry point, reset
// as after loading and with its user folders in a temporary directory; on Windows the built module.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/TestDataRoots.h"
#include "engine/FilterParameters.h"
#include "host/LastParameters.h"
#include "host/PluginGlobals.h"
#include "image/BufferRecord.h"
#include "presets/ParameterBlock.h"
#include "tools/harness/Harness.h"

class EntryPoint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ForgetModuleState();
        if (!LoadModule(DefaultModulePath(), &module_))
            GTEST_SKIP() << "no module to load: " << module_.error;
    }
    void TearDown() override
    {
        UnloadModule(&module_);
        CloseDebugLog();
        ForgetModuleState();
    }
    static void ForgetModuleState()
    {
        ResetPluginGlobals();
        ResetBufferUsage();
    }

    PluginEntryProc Entry() const { return module_.entry; }

    TestDataRoots roots_;
    LoadedModule module_;
};

// A small 8-bit image with two stars, which every host flavour takes.
inline HostDocument SmallStarfield()
{
    HostDocument doc(40, 24, plugInModeRGBColor);
    doc.Fill([](int32_t, int32_t x, int32_t y) { return (x == 10 && y == 8) || (x == 28 && y == 16) ? 255.0 : 8.0; });
    return doc;
}

// Blocks as hosts store them; the machines that run the tests are little-endian like the hosts.
inline std::vector<uint8_t> BlockOf(const FilterParameters& p, size_t size = kParameterBlockSize)
{
    std::vector<uint8_t> block(kParameterBlockSize, 0);
    std::memcpy(block.data(), &p, sizeof(p));
    block.resize(size);
    return block;
}

inline FilterParameters ParametersOf(const std::vector<uint8_t>& bytes)
{
    FilterParameters p{};
    if (bytes.size() >= sizeof(p))
        std::memcpy(&p, bytes.data(), sizeof(p));
    else
        ADD_FAILURE() << "only " << bytes.size() << " bytes of parameters";
    return p;
}

inline FilterParameters Factory(int16_t length)
{
    FilterParameters p = kFactoryParameters;
    p.length = length;
    return p;
}

inline void Register(Host* host, const std::vector<uint8_t>& block)
{
    host->RegisterData(kRegistryKey, kParameterBlockKey, block.data(), int32_t(block.size()), true);
}

// Everything the module borrowed from the host is back, and the host saw no misuse.
inline void ExpectNothingHeld(const Host& host)
{
    for (const char* suite :
         {kPSBufferSuite, kPSPropertySuite, kPSErrorSuite, kPSDescriptorRegistrySuite, kPSActionDescriptorSuite})
        EXPECT_EQ(host.SuiteBalance(suite), 0) << suite;
    EXPECT_EQ(host.LiveActionDescriptors(), 0);
    EXPECT_EQ(host.LiveBuffers(), 0);
    EXPECT_TRUE(host.Faults().empty()) << host.Faults().front();
}
