// Where a star's effect lands, for redrawing one star after its spikes were switched.
#pragma once

#include "engine/StarList.h"
#include "image/ImageRect.h"

// The union of the spike and flare sub-shapes' rectangles for the star's phases, moved to the star's
// pixel; empty when neither has ever been built.
ImageRect StarEffectRect(const StarRecord& star);
