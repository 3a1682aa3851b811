#include "engine/RenderShapes.h"

#include <cmath>

RenderShapes gRenderShapes;

namespace {

bool operator!=(const QualityMode& a, const QualityMode& b)
{
    return a.preciseArithmetic != b.preciseArithmetic || a.visibilityCutoff != b.visibilityCutoff;
}

bool operator!=(const SpikeShapeKey& a, const SpikeShapeKey& b)
{
    return a.length != b.length || a.angle != b.angle || a.numberOfPoints != b.numberOfPoints ||
           a.spikeSharpness != b.spikeSharpness || a.rainbowIntensity != b.rainbowIntensity ||
           a.rainbowFrequency != b.rainbowFrequency || a.secondarySpikeIntensity != b.secondarySpikeIntensity ||
           a.quality != b.quality || a.imageWidth != b.imageWidth || a.imageHeight != b.imageHeight;
}

bool operator!=(const FlareShapeKey& a, const FlareShapeKey& b)
{
    return a.length != b.length || a.quality != b.quality || a.imageDiagonal != b.imageDiagonal;
}

} // namespace

uint32_t ImageDiagonal(int32_t width, int32_t height)
{
    // Squares summed in 64 bits: equal to the 32-bit sum for every size a host offers, without the
    // wrap-around of larger sizes.
    const uint64_t w = uint64_t(width > 0 ? width : 0);
    const uint64_t h = uint64_t(height > 0 ? height : 0);
    return uint32_t(std::sqrt(float(w * w + h * h))) + 1;
}

bool RefreshRenderShapes(const FilterParameters& parameters, const QualityMode& quality, int32_t imageWidth,
                         int32_t imageHeight)
{
    RenderShapes& shapes = gRenderShapes;
    shapes.spike.builder = BuildSpikeShape;
    shapes.spike.builderParameters = &shapes.spikeKey;
    shapes.flare.builder = BuildFlareShape;
    shapes.flare.builderParameters = &shapes.flareKey;
    bool invalidated = false;

    const SpikeShapeKey spikeKey{parameters.length,
                                 parameters.angle,
                                 parameters.numberOfPoints,
                                 parameters.spikeSharpness,
                                 parameters.rainbowIntensity,
                                 parameters.rainbowFrequency,
                                 parameters.secondarySpikeIntensity,
                                 quality,
                                 imageWidth,
                                 imageHeight};
    if (spikeKey != shapes.spikeKey) {
        InvalidateShape(&shapes.spike);
        shapes.spikeKey = spikeKey;
        invalidated = true;
    }

    const FlareShapeKey flareKey{parameters.length, quality, ImageDiagonal(imageWidth, imageHeight)};
    if (flareKey != shapes.flareKey) {
        InvalidateShape(&shapes.flare);
        shapes.flareKey = flareKey;
        invalidated = true;
    }
    return invalidated;
}

void ReleaseRenderShapes()
{
    ClearShape(&gRenderShapes.spike);
    ClearShape(&gRenderShapes.flare);
    // No parameter record has a negative length, so the next refresh differs.
    gRenderShapes.spikeKey = SpikeShapeKey{};
    gRenderShapes.spikeKey.length = -1;
    gRenderShapes.flareKey = FlareShapeKey{};
    gRenderShapes.flareKey.length = -1;
}
