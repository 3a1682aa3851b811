// The steps of star detection, each on the detection image and the star list. Exposed for the tests;
// FindStars is the only caller in the module.
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

void ProbeStar(int32_t column, int32_t row);
bool RefineSeed(StarPosition* position);
void MeasureRadialProfile(const StarPosition& seed, float radii[kDirectionCount]);
ClipResult ClipOutliers(float radii[kDirectionCount], float tolerance);
bool EstimateCentre(const StarPosition& position, const float radii[kDirectionCount], StarPosition* centre);
bool IsStar(const StarPosition& centre, float radius);
bool IsSpikeWorthy(const StarPosition& centre, float radius);
bool RefineRadiusAndCentre(StarPosition* centre, float* radius);
bool AdjustRadius(const StarPosition& centre, float* radius);
bool AdjustCentre(StarPosition* centre, float radius);

// Colour is the normalised colour as three fractions.
void AddStar(const StarPosition& position, float radiusSquared, uint32_t brightness, const uint32_t colour[3],
             bool enabled);
void FinishStarList();
// True when (x, y) lies in the exclusion zone of a star already in the list.
bool InsideStarZone(int32_t x, int32_t y);

// Marks the 4-connected region of pixels of exactly this colour around the seed, so that none of them
// is a seed again.
void FloodFillMark(int32_t seedX, int32_t seedY, uint32_t red, uint32_t green, uint32_t blue);
