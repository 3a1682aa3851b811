#include "engine/FixedPoint.h"
#include "engine/Shape.h"

Shape gSpikeShape;
Shape gFlareShape;
SpikeShapeKey gSpikeShapeKey;
FlareShapeKey gFlareShapeKey;

namespace {
// The arithmetic quality the render shapes were last built under: their strengths are cut off at a
// quality-dependent level, so a change of quality makes them stale.
bool gShapesPreciseArithmetic;

bool operator!=(const SpikeShapeKey& a, const SpikeShapeKey& b)
{
    return a.length != b.length || a.angle != b.angle || a.numberOfPoints != b.numberOfPoints ||
           a.spikeSharpness != b.spikeSharpness || a.rainbowIntensity != b.rainbowIntensity ||
           a.rainbowFrequency != b.rainbowFrequency || a.secondarySpikeIntensity != b.secondarySpikeIntensity;
}
} // namespace

bool RefreshRenderShapes(const FilterParameters& parameters)
{
    const bool qualityChanged = gQuality.preciseArithmetic != gShapesPreciseArithmetic;
    bool invalidated = false;

    const SpikeShapeKey spikeKey{parameters.length,
                                 parameters.angle,
                                 parameters.numberOfPoints,
                                 parameters.spikeSharpness,
                                 parameters.rainbowIntensity,
                                 parameters.rainbowFrequency,
                                 parameters.secondarySpikeIntensity};
    if (qualityChanged || spikeKey != gSpikeShapeKey) {
        InvalidateShape(&gSpikeShape);
        gSpikeShapeKey = spikeKey;
        invalidated = true;
    }

    const FlareShapeKey flareKey{parameters.length};
    if (qualityChanged || flareKey.length != gFlareShapeKey.length) {
        InvalidateShape(&gFlareShape);
        gFlareShapeKey = flareKey;
        invalidated = true;
    }

    gShapesPreciseArithmetic = gQuality.preciseArithmetic;
    return invalidated;
}

void ReleaseRenderShapes()
{
    ClearShape(&gSpikeShape);
    ClearShape(&gFlareShape);
    // No parameter record has zero points or a negative length, so the next refresh differs.
    gSpikeShapeKey = SpikeShapeKey{-1, 0, 0, 0, 0, 0, 0};
    gFlareShapeKey = FlareShapeKey{-1};
}
