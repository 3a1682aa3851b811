#include "engine/RadialProfile.h"

#include <cmath>

#include "engine/EffectTables.h"
#include "engine/FloodFill.h"
#include "engine/PixelBrightness.h"
#include "engine/StarDetection.h"

namespace {

// A walk that meets no edge within this many steps gives up on the direction.
constexpr int32_t kWalkSteps = 266;

inline int64_t Mean2(int64_t a, int64_t b)
{
    return (a + b) / 2;
}

inline int64_t Mean3(int64_t a, int64_t b, int64_t c)
{
    return (a + b + c) / 3;
}

// Looks for the fall-off of the profile p[0..s] at step s: the drop A - B between the two older
// averages must exceed the threshold and be steeper than the drop that follows. Wider averages farther
// out keep noise from firing it. On firing, the edge lies where the profile crosses the middle of its
// range between A and B.
bool EdgeTest(const int64_t* p, int32_t s, int64_t lo, int64_t hi, int64_t T, bool diagonal, float* radius)
{
    int64_t A, B, d2, threshold, divisor;
    float span, offset;
    if (s < 2) {
        return false;
    } else if (s == 2) {
        A = p[0];
        B = p[1];
        d2 = B - p[2];
        threshold = T;
        span = diagonal ? 1.41421f : 1.0f;
        offset = 0.0f;
        divisor = 141;
    } else if (s == 3) {
        A = Mean2(p[0], p[1]);
        B = Mean2(p[1], p[2]);
        d2 = B - Mean2(p[2], p[3]);
        threshold = T * 10 / 17;
        span = diagonal ? 1.41421f : 1.0f;
        offset = 0.5f;
        divisor = 141;
    } else if (s <= 7) {
        A = Mean2(p[s - 4], p[s - 3]);
        B = Mean2(p[s - 3], p[s - 2]);
        d2 = Mean2(p[s - 2], p[s - 1]) - Mean2(p[s - 1], p[s]);
        threshold = T * 10 / 24;
        span = diagonal ? 1.41421f : 1.0f;
        offset = float(s) - 3.5f;
        divisor = 141;
    } else if (s <= 11) {
        A = Mean3(p[s - 6], p[s - 5], p[s - 4]);
        B = Mean3(p[s - 4], p[s - 3], p[s - 2]);
        d2 = B - Mean3(p[s - 2], p[s - 1], p[s]);
        threshold = T * 10 / 35;
        span = diagonal ? 2.82843f : 2.0f;
        offset = float(s - 5);
        divisor = 283;
    } else {
        A = Mean3(p[s - 8], p[s - 7], p[s - 6]);
        B = Mean3(p[s - 5], p[s - 4], p[s - 3]);
        d2 = B - Mean3(p[s - 2], p[s - 1], p[s]);
        threshold = T * 10 / (s + 33);
        span = diagonal ? 4.24264f : 3.0f;
        offset = float(s - 7);
        divisor = 424;
    }
    int64_t d1 = A - B;
    if (diagonal) {
        d1 = d1 * 100 / divisor;
        d2 = d2 * 100 / divisor;
    }
    if (!(d1 > threshold && d1 - d2 > threshold))
        return false;
    const float f = A != B ? float(A - (lo + hi) / 2) / float(A - B) : 0.5f;
    *radius = diagonal ? f * span + 0.70711f * offset : f * span + offset;
    return true;
}

} // namespace

void MeasureRadialProfile(const StarPosition& seed, float radii[kDirectionCount])
{
    const ImageBuffer& image = *gDetection.image;
    const PixelSample centre = image.getPixel(&image, seed.x, seed.y);
    const int64_t c = BrightnessOf(centre);
    const int64_t T = gStarList.maxSeedBrightness / 85;
    int64_t p[kWalkSteps];

    for (int32_t d = 0; d < kDirectionCount; ++d) {
        radii[d] = kNoEdge;
        const DirectionStep step = kDirections[d];
        const bool diagonal = step.dx != 0 && step.dy != 0;
        p[0] = c;
        int64_t hi = c;
        int64_t lo = kFullChannel;
        bool changed = false;
        int32_t x = seed.x + step.dx;
        int32_t y = seed.y + step.dy;
        for (int32_t s = 1;;) {
            if (!ContainsPoint(image.rect, x, y))
                break;
            const PixelSample sample = image.getPixel(&image, x, y);
            const int64_t ps = BrightnessOf(sample);
            p[s] = ps;
            if (sample.red != centre.red || sample.green != centre.green || sample.blue != centre.blue)
                changed = true;
            if ((ps < lo ? ps : lo) < hi - hi / 35 && EdgeTest(p, s, lo, hi, T, diagonal, &radii[d]))
                break;
            hi = ps > hi ? ps : hi;
            lo = ps < lo ? ps : lo;
            ++s;
            x += step.dx;
            y += step.dy;
            if (s == kWalkSteps) {
                if (changed)
                    break;
                // A flat region of exactly the seed's colour (a saturated blob, a white border): mark it
                // so that none of its pixels is probed again.
                FloodFillMark(seed.x, seed.y, centre.red, centre.green, centre.blue);
                for (int32_t k = 0; k < kDirectionCount; ++k)
                    radii[k] = kNoEdge;
                return;
            }
        }
    }
}

ClipResult ClipOutliers(float radii[kDirectionCount], float tolerance)
{
    float sum = 0.0f;
    int32_t count = 0;
    for (int32_t d = 0; d < kDirectionCount; ++d) {
        if (radii[d] >= 0.0f) {
            sum += radii[d];
            ++count;
        }
    }
    if (count == 0)
        return ClipResult{-1.0f, -1.0f};
    const float mean = sum / float(count);

    float inlierSum = 0.0f;
    float squares = 0.0f;
    int32_t inliers = 0;
    for (int32_t d = 0; d < kDirectionCount; ++d) {
        float& v = radii[d];
        if (!(v >= 0.0f))
            continue;
        if (tolerance == 0.0f || std::fabs(v - mean) <= tolerance) {
            inlierSum += v;
            squares += (v - mean) * (v - mean);
            ++inliers;
        } else if (v > mean) {
            v = mean + tolerance;
        } else if (mean > tolerance) {
            v = mean - tolerance;
        } else {
            v = 0.1f;
        }
    }
    if (inliers == 0)
        return ClipResult{-1.0f, -1.0f};
    return ClipResult{inlierSum / float(inliers), std::sqrt(squares / float(inliers))};
}

namespace {

struct SideSum
{
    float sum = 0.0f;
    int32_t count = 0;
    void Add(float radius, float factor)
    {
        if (radius >= 0.0f) {
            sum += factor * radius;
            ++count;
        }
    }
};

} // namespace

bool EstimateCentre(const StarPosition& position, const float radii[kDirectionCount], StarPosition* centre)
{
    constexpr float h = 0.7071067f;
    SideSum east, west, south, north;
    east.Add(radii[0], 1.0f);
    east.Add(radii[1], h);
    east.Add(radii[7], h);
    west.Add(radii[3], h);
    west.Add(radii[4], 1.0f);
    west.Add(radii[5], h);
    south.Add(radii[1], h);
    south.Add(radii[2], 1.0f);
    south.Add(radii[3], h);
    north.Add(radii[5], h);
    north.Add(radii[6], 1.0f);
    north.Add(radii[7], h);

    bool found = true;
    float cx = float(position.x);
    float cy = float(position.y);
    if (east.count > 0 && west.count > 0)
        cx = cx - west.sum / float(west.count) + east.sum / float(east.count);
    else
        found = false;
    if (south.count > 0 && north.count > 0)
        cy = cy - north.sum / float(north.count) + south.sum / float(south.count);
    else
        found = false;
    *centre = ToStarPosition(cx, cy);
    return found;
}
