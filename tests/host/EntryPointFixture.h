// The module driven through the host harness as a host drives it: natively the linked entry point with
// its state reset and its folders in a temporary directory, on Windows the built module file.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "IsolatedModuleState.h"
#include "host/FilterParameters.h"
#include "host/LastParameters.h"
#include "tools/harness/Harness.h"

class EntryPoint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!LoadModule(DefaultModulePath(), &module_))
            GTEST_SKIP() << "no module to load: " << module_.error;
    }
    void TearDown() override { UnloadModule(&module_); }

    PluginEntryProc Entry() const { return module_.entry; }

    IsolatedModuleState state_;
    LoadedModule module_;
};

// A small image with two bright stars, in 8 bits so that every host flavour takes it.
inline HostDocument SmallStarfield()
{
    HostDocument doc(40, 24, plugInModeRGBColor);
    doc.Fill([](int32_t, int32_t x, int32_t y) { return (x == 10 && y == 8) || (x == 28 && y == 16) ? 255.0 : 8.0; });
    return doc;
}

// A parameter block as hosts and files store it: little-endian fields after the version header.
inline std::vector<uint8_t> BlockOf(const FilterParameters& p, size_t size = kParameterBlockSize)
{
    std::vector<uint8_t> block(size < 30 ? 30 : size, 0);
    const uint16_t fields[15] = {p.versionMajor,
                                 p.versionMinor,
                                 p.versionRevision,
                                 p.versionBuild,
                                 uint16_t(p.intensity),
                                 uint16_t(p.length),
                                 uint16_t(p.angle),
                                 uint16_t(p.numberOfPoints),
                                 uint16_t(p.spikeSharpness),
                                 uint16_t(p.saturation),
                                 uint16_t(p.rainbowIntensity),
                                 uint16_t(p.rainbowFrequency),
                                 uint16_t(p.secondarySpikeIntensity),
                                 uint16_t(p.softFlareBrightness),
                                 p.outputSpikesOnly};
    for (size_t i = 0; i < 15; ++i) {
        block[2 * i] = uint8_t(fields[i] & 0xFF);
        block[2 * i + 1] = uint8_t(fields[i] >> 8);
    }
    block.resize(size);
    return block;
}

inline FilterParameters ParametersOf(const std::vector<uint8_t>& bytes)
{
    FilterParameters p{};
    EXPECT_GE(bytes.size(), sizeof(FilterParameters));
    if (bytes.size() >= sizeof(FilterParameters))
        std::memcpy(&p, bytes.data(), sizeof(p)); // the test machines are little-endian like the hosts
    return p;
}

inline void Register(Host* host, const std::vector<uint8_t>& block)
{
    host->RegisterData(kRegistryKey, kParameterBlockKey, block.data(), int32_t(block.size()), true);
}

inline const char* const kAllSuites[] = {"Photoshop Buffer Suite for Plug-ins", "Photoshop Property Suite for Plug-ins",
                                         "Photoshop Error Suite for Plug-ins", "61e608b0-40fd-11d1-8da3-00c04fd5f7ee",
                                         "df135115-c769-11d0-8079-00c04fd7ec47"};

// Everything the module borrowed from the host during the runs is back.
inline void ExpectNothingHeld(const Host& host)
{
    for (const char* suite : kAllSuites)
        EXPECT_EQ(host.SuiteBalance(suite), 0) << suite;
    EXPECT_EQ(host.LiveActionDescriptors(), 0);
    EXPECT_EQ(host.LiveBuffers(), 0);
    EXPECT_TRUE(host.Faults().empty()) << host.Faults().front();
}
