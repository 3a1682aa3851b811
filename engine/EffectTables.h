// Trigonometric and distance tables, the two profile caches and the quarter-pixel position rules.
//
// Rounding, written down once:
//   - SineTable: correctly rounded single-precision sine of the single-precision argument
//     i x 0.0017453294 (evaluated in double, rounded once), so that every platform builds the same
//     table; the second half is the negated first half.
//   - HalfSineTable: (0.5 +/- 0.5 s) summed in single precision, multiplied by 4294967294.0 in double,
//     truncated.
//   - Distance40: truncate(sqrt(k) x 10 + 0.5) in single precision, k = dx^2 + dy^2 in quarter pixels;
//     the distance in fortieths of a pixel.
//   - ToStarPosition: v' = v + 0.125 in single precision, x = floor(v'), phase = truncate((v' - x) x 4),
//     at most 3 even where v' - x rounds up to 1.0.
#pragma once

#include <cstdint>

#include "engine/StarList.h"

constexpr int32_t kAngleSteps = 3600;              // tenths of a degree in a full turn
constexpr uint32_t kDistanceCacheEntries = 429483; // k below this is cached (values fit 16 bits)
constexpr uint32_t kFlareProfileCacheEntries = 10000;
constexpr uint32_t kSpikeFalloffCacheEntries = 32768;

extern float SineTable[kAngleSteps];
extern uint32_t HalfSineTable[kAngleSteps]; // (1 + sin a) / 2 as a fraction

// Fills SineTable and HalfSineTable.
void InitEffectTables();

// Any angle in tenths of a degree, negative ones included.
inline int32_t ReduceAngle(int32_t a)
{
    const int32_t r = a % kAngleSteps;
    return r < 0 ? r + kAngleSteps : r;
}

inline float SineAt(int32_t a)
{
    return SineTable[ReduceAngle(a)];
}

inline float CosineAt(int32_t a)
{
    return SineTable[ReduceAngle(ReduceAngle(a) + 900)];
}

inline uint32_t HalfSineAt(int32_t a)
{
    return HalfSineTable[ReduceAngle(a)];
}

// Distance in fortieths of a pixel of an offset in quarter pixels; the flare and the spikes keep
// separate caches. Offsets beyond the cache are computed each time and returned in full.
uint32_t Distance40Flare(int32_t dx, int32_t dy);
uint32_t Distance40Spike(int32_t dx, int32_t dy);

// The profile caches, indexed by a Distance40 value. A stored 0 means "not yet computed". Each is valid
// for one length value: asking for it with another length zeroes it first.
uint32_t* FlareProfileCacheFor(int32_t length);  // kFlareProfileCacheEntries entries
double* SpikeFalloffCacheFor(int32_t rayLength); // kSpikeFalloffCacheEntries entries

StarPosition ToStarPosition(float fx, float fy);
StarPosition RoundToPixel(const StarPosition& position);

inline bool operator==(const StarPosition& a, const StarPosition& b)
{
    return a.x == b.x && a.xPhase == b.xPhase && a.y == b.y && a.yPhase == b.yPhase;
}
