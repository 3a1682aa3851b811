// The edge of a star traced along eight directions from a seed, the outliers among the edge distances
// clipped, and the centre estimated from what is left. All read the image being scanned.
#pragma once

#include <cstdint>

#include "engine/StarList.h"

constexpr int32_t kDirectionCount = 8;

// (column, row) steps: E, SE, S, SW, W, NW, N, NE. Radial profiles follow this order.
struct DirectionStep
{
    int32_t dx;
    int32_t dy;
};
constexpr DirectionStep kDirections[kDirectionCount] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                                        {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

constexpr float kNoEdge = -1.0f;

struct ClipResult
{
    float mean;      // -1 when nothing usable was left
    float deviation; // -1 likewise
};

void MeasureRadialProfile(const StarPosition& seed, float radii[kDirectionCount]);
ClipResult ClipOutliers(float radii[kDirectionCount], float tolerance);
bool EstimateCentre(const StarPosition& position, const float radii[kDirectionCount], StarPosition* centre);
