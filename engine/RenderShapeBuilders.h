// The builders of the two render shapes. They live with the spike and flare rasterisers; the
// detection start attaches them to gSpikeShape and gFlareShape through ConfigureRenderShapes(), so
// that a shape cleared at the end of a run gets its builder back with the next run.
#pragma once

#include <cstdint>

#include "engine/Shape.h"

// Fill the entry of `shape` for one quarter-pixel phase; false when the points could not be stored.
bool BuildSpikeShape(Shape* shape, int32_t xPhase, int32_t yPhase);
bool BuildFlareShape(Shape* shape, int32_t xPhase, int32_t yPhase);

// Attaches the builders and their key blocks to gSpikeShape and gFlareShape.
void ConfigureRenderShapes();
