// The version header at the start of every stored record: four unsigned 16-bit numbers (major, minor,
// revision, build), little-endian whatever the machine. A record is accepted only when all four match.
#pragma once

#include <cstdint>

struct RecordVersion
{
    uint16_t major;
    uint16_t minor;
    uint16_t revision;
    uint16_t build;
};

static_assert(sizeof(RecordVersion) == 8);

// Stored records travel between machines as files and registry data, so their byte order is fixed here
// rather than left to the in-memory layout.
inline uint16_t GetUint16(const uint8_t* at)
{
    return uint16_t(at[0] | (at[1] << 8));
}

inline void PutUint16(uint8_t* at, uint16_t value)
{
    at[0] = uint8_t(value & 0xFF);
    at[1] = uint8_t(value >> 8);
}

inline RecordVersion ReadRecordVersion(const void* record)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(record);
    return RecordVersion{GetUint16(bytes), GetUint16(bytes + 2), GetUint16(bytes + 4), GetUint16(bytes + 6)};
}

// True when the two match; a mismatch is logged with the record's version.
bool CheckRecordVersion(const RecordVersion& expected, const RecordVersion& actual);
