// The eleven user parameters of the effect, as the host keeps them in the parameters handle.
//
// The record is stored whole in host handles, the descriptor registry and parameter-set files, so its
// layout is frozen: fifteen little-endian 16-bit fields, 30 bytes, no padding.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct FilterParameters
{
    uint16_t versionMajor;
    uint16_t versionMinor;
    uint16_t versionRevision;
    uint16_t versionBuild;
    int16_t intensity;               // 0..100
    int16_t length;                  // 0..100
    int16_t angle;                   // -900..900, tenths of a degree, clockwise from up
    int16_t numberOfPoints;          // 1..32
    int16_t spikeSharpness;          // 0..100
    int16_t saturation;              // -100..100
    int16_t rainbowIntensity;        // 0..100
    int16_t rainbowFrequency;        // 0..100
    int16_t secondarySpikeIntensity; // 0..100
    int16_t softFlareBrightness;     // 0..100
    uint16_t outputSpikesOnly;       // 0 or 1
};
#pragma pack(pop)

static_assert(sizeof(FilterParameters) == 30);
static_assert(offsetof(FilterParameters, intensity) == 8);
static_assert(offsetof(FilterParameters, outputSpikesOnly) == 28);

constexpr FilterParameters kFactoryParameters{0, 0, 0, 4, 50, 50, 0, 4, 50, 30, 50, 50, 50, 50, 0};
