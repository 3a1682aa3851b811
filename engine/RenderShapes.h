// The two shapes that rendering stamps at every star, the spike shape (main and secondary spikes) and
// the flare shape, with the keys they were built for. A shape is built phase by phase on first use and
// stays valid until a setting it depends on changes.
#pragma once

#include <cstdint>

#include "engine/FilterParameters.h"
#include "engine/QualityMode.h"
#include "engine/Shape.h"

// Everything a spike shape depends on. Its builder reads nothing else.
struct SpikeShapeKey
{
    int32_t length;
    int32_t angle;
    int32_t numberOfPoints;
    int32_t spikeSharpness;
    int32_t rainbowIntensity;
    int32_t rainbowFrequency;
    int32_t secondarySpikeIntensity;
    QualityMode quality;
    int32_t imageWidth; // rays end at the image's far edge, whatever their strength
    int32_t imageHeight;
};

// Everything a flare shape depends on.
struct FlareShapeKey
{
    int32_t length;
    QualityMode quality;
    uint32_t imageDiagonal; // no flare reaches beyond the image's diagonal
};

struct RenderShapes
{
    Shape spike;
    Shape flare;
    SpikeShapeKey spikeKey; // the builders' parameter blocks
    FlareShapeKey flareKey;
};

extern RenderShapes gRenderShapes;

// Integer part of the diagonal of a width x height image, plus one.
uint32_t ImageDiagonal(int32_t width, int32_t height);

// Points the shapes at their builders and invalidates each shape whose key differs from the settings
// given; returns true when it invalidated either (the caller's resume state is then stale).
bool RefreshRenderShapes(const FilterParameters& parameters, const QualityMode& quality, int32_t imageWidth,
                         int32_t imageHeight);

// Releases both shapes and forgets their keys, so that the next refresh invalidates them.
void ReleaseRenderShapes();

// Fill the entry of `shape` for one quarter-pixel phase from the key block the shape carries, points
// in row order; false when the points could not be stored.
bool BuildSpikeShape(Shape* shape, int32_t xPhase, int32_t yPhase);
bool BuildFlareShape(Shape* shape, int32_t xPhase, int32_t yPhase);
