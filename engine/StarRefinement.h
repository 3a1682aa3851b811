// Whether a candidate is a star (and bright enough for spikes), and the tuning of its radius and centre
// by the brightness of rings and discs around it. All read the image being scanned.
#pragma once

#include "engine/StarList.h"

bool IsStar(const StarPosition& centre, float radius);
bool IsSpikeWorthy(const StarPosition& centre, float radius);
bool RefineRadiusAndCentre(StarPosition* centre, float* radius);
bool AdjustRadius(const StarPosition& centre, float* radius);
bool AdjustCentre(StarPosition* centre, float radius);
