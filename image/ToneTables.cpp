#include "image/ToneTables.h"

#include <cmath>

ToneTables gToneTables;

namespace {

// The C libraries of the two builds disagree in the last bit of powf for a few arguments; the
// double-precision result rounded once to single precision is the same everywhere.
float PowerOf(float base, float exponent)
{
    return float(std::pow(double(base), double(exponent)));
}

// sRGB-encoded 0..1 to linear 0..1.
float Decode(float v)
{
    return v <= 0.03928f ? v / 12.92f : PowerOf((v + 0.055f) / 1.055f, 2.4f);
}

// Linear 0..1 to sRGB-encoded 0..1.
float Encode(float v)
{
    return v <= 0.00304f ? 12.92f * v : 1.055f * PowerOf(v, 1.0f / 2.4f) - 0.055f;
}

// x + 0.5 truncated toward zero; every argument here is at least 0 and below 2^32.
uint32_t Round(float x)
{
    return uint32_t(x + 0.5f);
}

void BuildReadTables(ToneTables& t)
{
    for (uint32_t i = 0; i < 255; ++i) {
        t.toLinear8[i] = Round(Decode(float(i) / 255.0f) * 16777215.0f);
        t.toFraction8[i] = Round(float(i) / 255.0f * 4294967296.0f);
    }
    t.toLinear8[255] = 0xFFFFFF;
    t.toFraction8[255] = 0xFFFFFFFE;

    for (uint32_t i = 0; i < 65536; ++i) {
        if (i < 32768) {
            t.toLinear16[i] = Round(Decode(float(i) / 32768.0f) * 16777215.0f);
            t.toFraction16[i] = Round(float(i) / 32768.0f * 4294967296.0f);
        } else {
            t.toLinear16[i] = 0xFFFFFF;
            t.toFraction16[i] = 0xFFFFFFFE;
        }
    }
}

void BuildWriteTables(ToneTables& t)
{
    for (uint32_t i = 0; i < 65536; ++i) {
        const float v = float(i) / 65535.0f;
        t.fromLinear8[i] = uint8_t(Round(Encode(v) * 255.0f));
        t.fromFraction8[i] = uint8_t(Round(v * 255.0f));
        t.fromLinear16[i] = uint16_t(Round(Encode(v) * 32768.0f));
        t.fromFraction16[i] = uint16_t(Round(v * 32768.0f));
    }
}

// Host value h + 1 wins from the midpoint between the linear values of h and h + 1 on; 32768 (full
// scale) is never chosen here because the writers send 0xFFFFFF and above to full scale directly.
void BuildExactEncode16(ToneTables& t)
{
    for (uint32_t h = 0; h < 32768; ++h)
        t.linear16Threshold[h] = (t.toLinear16[h] + t.toLinear16[h + 1]) / 2 + 1;
    t.linear16Threshold[32768] = 0xFFFFFFFF;

    uint32_t h = 0;
    constexpr uint32_t kBuckets = sizeof(t.linear16Start) / sizeof(t.linear16Start[0]);
    for (uint32_t bucket = 0; bucket < kBuckets; ++bucket) {
        const uint32_t v = bucket << kLinear16Shift;
        while (v >= t.linear16Threshold[h])
            ++h;
        t.linear16Start[bucket] = uint16_t(h);
    }
}

} // namespace

void BuildToneTables()
{
    if (gToneTables.built)
        return;
    BuildReadTables(gToneTables);
    BuildWriteTables(gToneTables);
    BuildExactEncode16(gToneTables);
    gToneTables.built = true;
}
