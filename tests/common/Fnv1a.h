// FNV-1a (64-bit), the checksum the golden values are stated in; `hash` carries on an earlier one.
#pragma once

#include <cstddef>
#include <cstdint>

inline uint64_t Fnv1a(const void* data, size_t bytes, uint64_t hash = 0xcbf29ce484222325ull)
{
    for (size_t i = 0; i < bytes; ++i)
        hash = (hash ^ static_cast<const uint8_t*>(data)[i]) * 0x100000001b3ull;
    return hash;
}
