// Conversion between the host's sample values and the module's linear light and fractions.
//
// The host's 8- and 16-bit colour values are sRGB-encoded; 32-bit values are linear. Colour goes to
// linear light 0..0xFFFFFF, transparency and selection to fractions 0..0xFFFFFFFE. All tables are
// built in single precision with round(x) = x + 0.5 truncated, and every power is the correctly rounded
// single-precision value of a double-precision evaluation, so that both builds hold identical tables.
//
// The 16-bit encodes do not use fromLinear16 and fromFraction16: indexed by v >> 8 it folds several dark host values
// into one, so a pixel read and written back unchanged would come back posterised. EncodeLinear16
// instead picks the host value whose linear value is nearest, which restores every value that was read.
#pragma once

#include <cstdint>

struct ToneTables
{
    uint32_t toLinear8[256];
    uint32_t toFraction8[256];
    uint32_t toLinear16[65536];
    uint32_t toFraction16[65536];
    uint8_t fromLinear8[65536];
    uint8_t fromFraction8[65536];
    uint16_t fromLinear16[65536];
    uint16_t fromFraction16[65536];

    // The exact 16-bit encode: linear16Start[v >> kLinear16Shift] is the host value nearest to the
    // start of v's bucket, linear16Threshold[h] the smallest linear value nearer to h + 1 than to h.
    // Host values lie at least 39 linear units apart, so a bucket of 32 holds at most one threshold.
    uint16_t linear16Start[1u << 19];
    uint32_t linear16Threshold[32769];

    bool built;
};

constexpr uint32_t kLinear16Shift = 5;

extern ToneTables gToneTables;

// Builds the tables once per module load; later calls return at once.
void BuildToneTables();

// Linear light below full scale (v < 0xFFFFFF) to the 16-bit host value whose linear value is nearest.
inline uint16_t EncodeLinear16(uint32_t v)
{
    uint32_t h = gToneTables.linear16Start[v >> kLinear16Shift];
    h += v >= gToneTables.linear16Threshold[h] ? 1u : 0u;
    return uint16_t(h);
}

// A fraction to the 16-bit host range 0..32768, rounded to nearest in integers: the single-precision
// fromFraction16 rounds a few values read from the host (32704 among them) one step up.
inline uint16_t EncodeFraction16(uint32_t v)
{
    return uint16_t((uint64_t(v) + 0x10000) >> 17);
}

// The 32-bit float whose reading, truncate(f x 16777215), gives back v (v below 0xFFFFFF). (v + 1) x 2^-24
// lies inside [v, v + 1) / 16777215 and is exact in single precision; black stays exactly 0.
inline float EncodeLinear32(uint32_t v)
{
    return v == 0 ? 0.0f : float(v + 1) * (1.0f / 16777216.0f);
}
