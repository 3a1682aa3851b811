// The engine's two number scales and the arithmetic on them.
//
//   Channel  = uint32_t, linear light, 0 black .. 0xFFFFFF white
//   Fraction = uint32_t, 0 is 0.0 and 0xFFFFFFFE is 1.0 (0xFFFFFFFF is never a fraction: in a written
//              sample it means "keep the stored value")
//
// Products come in two qualities. Final quality multiplies in 64 bits and keeps the high word;
// preview quality multiplies the truncated operands (a >> 14) x (f >> 18) in 32 bits, which is cheaper
// and slightly low (full scale x 1.0 gives 16759809 instead of 16777214). Hot loops take the quality as
// a template parameter, chosen once per render, so that no pixel pays for the choice; QualityMode.h
// holds the choice itself.
#pragma once

#include <cstdint>

using Channel = uint32_t;
using Fraction = uint32_t;

constexpr Channel kFullChannel = 0xFFFFFF;
constexpr Fraction kFractionOne = 0xFFFFFFFE;

struct PreciseArithmetic
{
    static constexpr bool kPrecise = true;
    static uint32_t Mul(uint32_t a, uint32_t f) { return uint32_t((uint64_t(a) * f) >> 32); }
};

struct PreviewArithmetic
{
    static constexpr bool kPrecise = false;
    static uint32_t Mul(uint32_t a, uint32_t f) { return (a >> 14) * (f >> 18); }
};

template <class Quality> inline uint32_t MulFraction(uint32_t a, Fraction f)
{
    return Quality::Mul(a, f);
}

// a / b as a fraction, capped at 1.0; a zero divisor gives 1.0.
inline Fraction RatioFraction(uint32_t a, uint32_t b)
{
    if (b == 0)
        return kFractionOne;
    const uint64_t ratio = (uint64_t(a) << 32) / b;
    return ratio < kFractionOne ? Fraction(ratio) : kFractionOne;
}

inline uint32_t MeanOfThree(uint32_t a, uint32_t b, uint32_t c)
{
    return uint32_t((uint64_t(a) + b + c) / 3);
}

inline Fraction OneMinus(Fraction f)
{
    return kFractionOne - f;
}
