#include "engine/RenderShapeBuilders.h"

void ConfigureRenderShapes()
{
    gSpikeShape.builder = BuildSpikeShape;
    gSpikeShape.builderParameters = &gSpikeShapeKey;
    gFlareShape.builder = BuildFlareShape;
    gFlareShape.builderParameters = &gFlareShapeKey;
}
