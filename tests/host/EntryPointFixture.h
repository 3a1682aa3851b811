// Helpers of the entry-point tests: a small document, parameter blocks as hosts store them, and the
// check that nothing borrowed from the host is left over.
#pragma once

#include <cstring>

#include "common/ModuleTest.h"
#include "host/LastParameters.h"
#include "presets/ParameterBlock.h"

using EntryPoint = ModuleTest;

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
