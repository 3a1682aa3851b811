#include "engine/StarRefinement.h"

#include "engine/EffectTables.h"
#include "engine/MeasureShapes.h"
#include "engine/RadialProfile.h"
#include "engine/ShapeMeasurement.h"
#include "engine/StarDetection.h"

namespace {

// Mean minus standard deviation: high for a ring that is bright and even.
inline float ScoreOf(const BrightnessMeasurement& measurement)
{
    return float(measurement.mean) - measurement.deviation;
}

// The ring just inside the star must stand out from the background beyond it by a margin set by F.
// Small stars get a second chance when the contrast, scaled up for their size, still beats M.
bool StandsOut(const StarPosition& centre, float radius, int32_t F)
{
    const ImageBuffer& image = *gDetection.image;
    const int32_t i = int32_t(4.0f * radius + 0.5f);
    const int32_t g = i < 24 ? i / 10 + 2 : i / 18 + 4;
    if (i < g) {
        return centre.x >= image.rect.left && centre.x < image.rect.right && centre.y >= image.rect.top &&
               centre.y < image.rect.bottom;
    }
    if (i + g + 11 >= kMeasureShapeCount)
        return false;
    const BrightnessMeasurement inside = MeasureBrightness(&gMeasureShapes.rings[i - g], image, centre);
    const BrightnessMeasurement near = MeasureBrightness(&gMeasureShapes.rings[i + g + 3], image, centre);
    const BrightnessMeasurement far = MeasureBrightness(&gMeasureShapes.rings[i + g + 11], image, centre);
    if (!inside.success || !near.success || !far.success)
        return false;
    const int32_t M = int32_t(gStarList.maxSeedBrightness);
    const int32_t a = int32_t(inside.mean);
    const int32_t bg = int32_t(near.mean < far.mean ? near.mean : far.mean);
    return !((M - a) * F >= (M - bg) * 10 && (i >= 10 || (a - bg) * (10 - i) <= M));
}

} // namespace

bool IsStar(const StarPosition& centre, float radius)
{
    return StandsOut(centre, radius, 11);
}

bool IsSpikeWorthy(const StarPosition& centre, float radius)
{
    return StandsOut(centre, radius, 21);
}

bool AdjustRadius(const StarPosition& centre, float* radius)
{
    const ImageBuffer& image = *gDetection.image;
    const float start = *radius;
    float r = start;
    float inner = 0.0f, ring = 0.0f, outer = 0.0f;
    int32_t innerIndex = -1, ringIndex = -1, outerIndex = -1;
    bool lastMoveWasGrowth = false;

    for (int32_t iteration = 0; iteration < 6; ++iteration) {
        int32_t i = int32_t(4.0f * r + 0.5f);
        if (i < 0)
            i = 0;
        const int32_t discIndex = i / 2 + 1;
        const int32_t outerRingIndex = 2 * i + 1;
        if (discIndex >= kMeasureShapeCount || i >= kMeasureShapeCount || outerRingIndex >= kMeasureShapeCount)
            break;
        // A failed measurement keeps the previous score.
        if (discIndex != innerIndex) {
            const BrightnessMeasurement m = MeasureBrightness(&gMeasureShapes.discs[discIndex], image, centre);
            if (m.success)
                inner = ScoreOf(m);
            innerIndex = discIndex;
        }
        if (i != ringIndex) {
            const BrightnessMeasurement m = MeasureBrightness(&gMeasureShapes.rings[i], image, centre);
            if (m.success)
                ring = ScoreOf(m);
            ringIndex = i;
        }
        if (outerRingIndex != outerIndex) {
            const BrightnessMeasurement m = MeasureBrightness(&gMeasureShapes.rings[outerRingIndex], image, centre);
            if (m.success)
                outer = ScoreOf(m);
            outerIndex = outerRingIndex;
        }

        if (!(inner > outer))
            break;
        if (ring > inner - (inner - outer) * 0.25f) {
            // The ring is still bright: the star reaches further.
            if (r >= 128.0f)
                break;
            r += 0.125f;
            lastMoveWasGrowth = true;
        } else {
            if (r < 0.25f)
                break;
            r -= 0.125f;
            // Growing and then shrinking means the edge lies between the two: stop there.
            if (lastMoveWasGrowth)
                break;
            lastMoveWasGrowth = false;
        }
    }
    *radius = r;
    return r != start;
}

namespace {

StarPosition QuarterStep(const StarPosition& p, int32_t dx, int32_t dy)
{
    StarPosition q = p;
    q.xPhase += dx;
    q.yPhase += dy;
    if (q.xPhase > 3) {
        q.xPhase -= 4;
        ++q.x;
    } else if (q.xPhase < 0) {
        q.xPhase += 4;
        --q.x;
    }
    if (q.yPhase > 3) {
        q.yPhase -= 4;
        ++q.y;
    } else if (q.yPhase < 0) {
        q.yPhase += 4;
        --q.y;
    }
    return q;
}

} // namespace

bool AdjustCentre(StarPosition* centre, float radius)
{
    const ImageBuffer& image = *gDetection.image;
    const int32_t i = int32_t(4.0f * radius);
    if (i < 0 || i >= kMeasureShapeCount)
        return false;
    Shape* ring = &gMeasureShapes.rings[i];
    const BrightnessMeasurement first = MeasureBrightness(ring, image, *centre);
    if (!first.success)
        return false;
    float best = ScoreOf(first);
    const StarPosition start = *centre;
    StarPosition current = start;
    // Large stars move in whole pixels, small ones in quarter pixels.
    const bool wholePixels = radius >= 8.0f;

    for (int32_t iteration = 0; iteration < 4; ++iteration) {
        bool moved = false;
        StarPosition winner = current;
        for (const DirectionStep& step : kDirections) {
            const StarPosition candidate =
                wholePixels ? StarPosition{current.x + step.dx, current.xPhase, current.y + step.dy, current.yPhase}
                            : QuarterStep(current, step.dx, step.dy);
            const BrightnessMeasurement m = MeasureBrightness(ring, image, candidate);
            if (!m.success)
                continue;
            const float score = ScoreOf(m);
            if (score > best + 0.000001f) {
                best = score;
                winner = candidate;
                moved = true;
            }
        }
        if (!moved)
            break;
        current = winner;
    }
    *centre = current;
    return !(current == start);
}

bool RefineRadiusAndCentre(StarPosition* centre, float* radius)
{
    if (*radius >= 8.0f)
        *centre = RoundToPixel(*centre);
    bool radiusMoved = AdjustRadius(*centre, radius);
    bool centreMoved = AdjustCentre(centre, *radius);
    const int32_t n = int32_t(*radius + 8.0f);
    int32_t iterations = 0;
    while (iterations < n && (radiusMoved || centreMoved)) {
        radiusMoved = AdjustRadius(*centre, radius);
        if (radiusMoved || centreMoved)
            centreMoved = AdjustCentre(centre, *radius);
        ++iterations;
    }
    // A large star that never settles is more likely a gradient or a blob than a star.
    return !(iterations == n && *radius > 4.0f);
}
