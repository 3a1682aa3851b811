#include "engine/EffectTables.h"

#include <cmath>
#include <cstring>

float SineTable[kAngleSteps];
uint32_t HalfSineTable[kAngleSteps];

namespace {

constexpr int32_t kHalfTurn = kAngleSteps / 2;

// Values computed on first use. They depend on nothing but their index (and, for the profiles, the one
// length they were filled for), so they need no reset.
struct EffectCaches
{
    uint16_t flareDistance[kDistanceCacheEntries];
    uint16_t spikeDistance[kDistanceCacheEntries];
    uint32_t flareProfile[kFlareProfileCacheEntries];
    double spikeFalloff[kSpikeFalloffCacheEntries];
    // The length each profile cache was filled for; no parameter value is this small, so the first
    // request of any length counts as a change and starts from a zeroed cache.
    int32_t flareProfileLength = INT32_MIN;
    int32_t spikeFalloffLength = INT32_MIN;
};

EffectCaches gCaches;

uint32_t ComputeDistance40(uint64_t k)
{
    const float distance = std::sqrt(static_cast<float>(k)) * 10.0f + 0.5f;
    return static_cast<uint32_t>(distance);
}

uint32_t CachedDistance40(uint16_t* cache, int32_t dx, int32_t dy)
{
    // Offsets reach a few hundred thousand quarter pixels in a large image: square in 64 bits.
    const uint64_t k = uint64_t(int64_t(dx) * dx) + uint64_t(int64_t(dy) * dy);
    if (k >= kDistanceCacheEntries)
        return ComputeDistance40(k);
    uint16_t& slot = cache[k];
    if (slot == 0)
        slot = static_cast<uint16_t>(ComputeDistance40(k));
    return slot;
}

} // namespace

void InitEffectTables()
{
    for (int32_t i = 0; i < kHalfTurn; ++i) {
        // The C libraries' sinf differ in the last bit between platforms; a double sine rounded once to
        // single precision is the correctly rounded value everywhere.
        const float argument = static_cast<float>(i) * 0.0017453294f;
        const float s = static_cast<float>(std::sin(static_cast<double>(argument)));
        SineTable[i] = s;
        SineTable[kHalfTurn + i] = -s;

        const float half = 0.5f * s;
        const float upper = 0.5f + half;
        const float lower = 0.5f - half;
        HalfSineTable[i] = static_cast<uint32_t>(static_cast<double>(upper) * 4294967294.0);
        HalfSineTable[kHalfTurn + i] = static_cast<uint32_t>(static_cast<double>(lower) * 4294967294.0);
    }
}

uint32_t Distance40Flare(int32_t dx, int32_t dy)
{
    return CachedDistance40(gCaches.flareDistance, dx, dy);
}

uint32_t Distance40Spike(int32_t dx, int32_t dy)
{
    return CachedDistance40(gCaches.spikeDistance, dx, dy);
}

uint32_t* FlareProfileCacheFor(int32_t length)
{
    if (length != gCaches.flareProfileLength) {
        std::memset(gCaches.flareProfile, 0, sizeof gCaches.flareProfile);
        gCaches.flareProfileLength = length;
    }
    return gCaches.flareProfile;
}

double* SpikeFalloffCacheFor(int32_t rayLength)
{
    if (rayLength != gCaches.spikeFalloffLength) {
        std::memset(gCaches.spikeFalloff, 0, sizeof gCaches.spikeFalloff);
        gCaches.spikeFalloffLength = rayLength;
    }
    return gCaches.spikeFalloff;
}

namespace {

// A true floor: truncation alone would put a negative whole coordinate one pixel too far left with a
// phase of 4, past the last of the 16 sub-shapes.
void SplitCoordinate(float v, int32_t* whole, int32_t* phase)
{
    const float shifted = v + 0.125f;
    int32_t floorValue = static_cast<int32_t>(shifted);
    if (shifted < 0.0f && static_cast<float>(floorValue) != shifted)
        --floorValue;
    *whole = floorValue;
    // Just below a whole number, shifted - floor rounds up to 1.0 in single precision; the phase must
    // still name one of the four quarters, and the floor makes it the last.
    const int32_t quarters = static_cast<int32_t>((shifted - static_cast<float>(floorValue)) * 4.0f);
    *phase = quarters < 3 ? quarters : 3;
}

} // namespace

StarPosition ToStarPosition(float fx, float fy)
{
    StarPosition position{};
    SplitCoordinate(fx, &position.x, &position.xPhase);
    SplitCoordinate(fy, &position.y, &position.yPhase);
    return position;
}

StarPosition RoundToPixel(const StarPosition& position)
{
    StarPosition rounded = position;
    if (rounded.xPhase >= 2)
        ++rounded.x;
    if (rounded.yPhase >= 2)
        ++rounded.y;
    rounded.xPhase = 0;
    rounded.yPhase = 0;
    return rounded;
}
