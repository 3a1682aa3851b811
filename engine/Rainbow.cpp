#include "engine/Rainbow.h"

#include "engine/EffectTables.h"
#include "engine/QualityMode.h"

namespace {
constexpr uint32_t kOnePercent = 42949672; // 2^32 / 100, truncated
constexpr uint32_t kFadeInPhase = 10000;   // tenths of a degree over which the amplitude builds up
} // namespace

ColourFractions RainbowColourFor(uint32_t distance40, int32_t rainbowIntensity, int32_t rainbowFrequency)
{
    // Unsigned 32-bit throughout: the phase and the amplitude ramp are sized to fit.
    const uint32_t phase = distance40 * 80 / uint32_t(103 - rainbowFrequency);
    const uint32_t fullAmplitude = uint32_t(rainbowIntensity) * kOnePercent;
    const Fraction amplitude = phase < kFadeInPhase ? fullAmplitude / kFadeInPhase * phase : fullAmplitude;
    const int32_t angle = int32_t(phase);
    return ColourFractions{OneMinus(MulFraction(HalfSineAt(angle), amplitude)),
                           OneMinus(MulFraction(HalfSineAt(angle + 1200), amplitude)),
                           OneMinus(MulFraction(HalfSineAt(angle + 2400), amplitude))};
}
