#include "engine/StampShape.h"

#include <algorithm>

#include "diag/ErrorReport.h"
#include "engine/Compositing.h"
#include "engine/EngineState.h"
#include "engine/QualityMode.h"
#include "engine/Saturation.h"
#include "image/PixelAccess.h"
#include "image/SampleFormats.h"

namespace {

// One point's read, blend and write through the buffer's procedures: the way for any buffer, and what
// the direct way below must reproduce. It takes none of the direct way's shortcuts: every point is
// tested against the rectangle and has its hue worked out afresh.
struct ThroughProcedures
{
    static constexpr bool kShortcuts = false;

    ImageBuffer* buffer;
    GetPixelProc getPixel;
    PutPixelProc putPixel;

    template <class Quality> void Blend(int32_t x, int32_t y, const BlendHue& hue, Fraction alpha) const
    {
        PixelSample pixel = getPixel(buffer, x, y);
        BlendHueWith<Quality>(pixel, hue, alpha);
        // Transparency and selection belong to the image, not to the effect.
        pixel.alpha = kKeepSample;
        pixel.mask = kKeepSample;
        putPixel(buffer, pixel, x, y);
    }
};

// The same on the planes of a buffer that uses its mode's procedures. Only points inside the buffer
// come here: outside it the procedures read a clamped pixel and drop the write, which leaves no trace.
// Coverage and selection are neither read (the blend ignores them) nor written (they are kept).
template <class Planes> struct DirectPixels
{
    static constexpr bool kShortcuts = true;

    Planes planes;
    int32_t left;
    int32_t top;
    size_t width;

    explicit DirectPixels(const ImageBuffer& buffer)
        : planes(buffer), left(buffer.rect.left), top(buffer.rect.top), width(size_t(buffer.width))
    {
    }

    size_t IndexOf(int32_t x, int32_t y) const { return size_t(y - top) * width + size_t(x - left); }

    template <class Quality> void Blend(int32_t x, int32_t y, const BlendHue& hue, Fraction alpha) const
    {
        const size_t i = IndexOf(x, y);
        PixelSample pixel = planes.Read(i);
        BlendHueWith<Quality>(pixel, hue, alpha);
        planes.Write(i, pixel);
    }

    // The rays that cross a row lie far apart in it, so nearly every spike point needs a line that is
    // not cached; asking for it a few points ahead lets the blends overlap the waiting.
    void Prefetch(int32_t x, int32_t y) const
    {
        const size_t i = IndexOf(x, y);
        for (int p = 0; p < Planes::kColourPlanes; ++p)
            __builtin_prefetch(&planes.plane[p][i], 1);
    }
};

// Far enough ahead for a line to arrive while the points before it are blended.
constexpr uint32_t kPrefetchAhead = 16;

// The first of the row-ordered points whose row offset is at least `dy`.
uint32_t FirstPointFromRow(const ShapePoint* points, uint32_t count, int64_t dy)
{
    uint32_t low = 0;
    uint32_t high = count;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        if (points[middle].dy < dy)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// The first point from `from` on (before `end`) at or after offset `dx` in row `dy`. The search gallops
// from `from`, so that skipping a few points costs a few comparisons.
uint32_t SkipToPoint(const ShapePoint* points, uint32_t from, uint32_t end, int32_t dy, int64_t dx)
{
    auto before = [dy, dx](const ShapePoint& p) { return p.dy < dy || (p.dy == dy && p.dx < dx); };
    uint32_t low = from;
    uint32_t step = 1;
    while (low < end && before(points[low])) {
        const uint32_t next = end - low > step ? low + step : end;
        if (next == end || !before(points[next]))
            return uint32_t(std::partition_point(points + low + 1, points + next, before) - points);
        low = next + 1;
        step *= 2;
    }
    return low;
}

// The per-point loop, one instance per way of reaching the pixels, arithmetic quality and whether to
// saturate, so that no point pays for any of these choices.
template <class Pixels, class Quality, bool kSaturate>
void StampPoints(const Pixels& pixels, const ImageRect& clip, const SubShapeEntry& entry, const PixelSample& colour,
                 int32_t x, int32_t y, int32_t saturation)
{
    const ShapePoint* points = PointsOf(entry);
    uint32_t first = 0;
    uint32_t end = entry.pointCount;
    if constexpr (Pixels::kShortcuts) {
        // The points are in row order, so the rows inside the rectangle are one stretch of them: a star
        // whose spikes cross several tiles costs each tile only the points of its own rows.
        first = FirstPointFromRow(points, end, int64_t(clip.top) - y);
        end = first + FirstPointFromRow(points + first, end - first, int64_t(clip.bottom) - y);
    }
    // A point is drawn once it reaches half the cut-off: the shapes already dropped everything below the
    // cut-off at full star colour, so this only thins out the points of faint or strongly tinted stars.
    const uint32_t visible = gQuality.visibilityCutoff / 2;
    // What a point's colour gives, kept while the colour stays the same: for all of a flare's points.
    bool haveTint = false;
    ColourFractions pointColour{0, 0, 0};
    uint32_t strongest = 0;
    BlendHue hue{};

    for (uint32_t i = first; i < end; ++i) {
        const ShapePoint& point = points[i];
        const int32_t px = x + point.dx;
        const int32_t py = y + point.dy;
        // The direct way skips from left of the rectangle to the row's first point inside, and from
        // right of it to the next row.
        if (px < clip.left) {
            if constexpr (Pixels::kShortcuts)
                i = SkipToPoint(points, i + 1, end, point.dy, int64_t(clip.left) - x) - 1;
            continue;
        }
        if (px >= clip.right) {
            if constexpr (Pixels::kShortcuts)
                i = SkipToPoint(points, i + 1, end, point.dy + 1, INT64_MIN) - 1;
            continue;
        }
        if constexpr (!Pixels::kShortcuts) {
            if (py < clip.top || py >= clip.bottom)
                continue;
        }
        if constexpr (Pixels::kShortcuts) {
            if (i + kPrefetchAhead < end) {
                const int32_t aheadX = x + points[i + kPrefetchAhead].dx;
                if (aheadX >= clip.left && aheadX < clip.right)
                    pixels.Prefetch(aheadX, y + points[i + kPrefetchAhead].dy);
            }
        }

        if (!Pixels::kShortcuts || !haveTint || point.red != pointColour.red || point.green != pointColour.green ||
            point.blue != pointColour.blue) {
            ColourFractions tint{MulFraction<Quality>(colour.red, point.red),
                                 MulFraction<Quality>(colour.green, point.green),
                                 MulFraction<Quality>(colour.blue, point.blue)};
            strongest = tint.red > tint.green ? tint.red : tint.green;
            strongest = strongest > tint.blue ? strongest : tint.blue;
            if (kSaturate)
                SaturateColour(&tint, saturation);
            hue = HueOf(tint.red, tint.green, tint.blue);
            pointColour = ColourFractions{point.red, point.green, point.blue};
            haveTint = true;
        }
        if (MulFraction<Quality>(strongest, point.weight) < visible)
            continue;
        pixels.template Blend<Quality>(px, py, hue, MulFraction<Quality>(point.weight, colour.alpha));
    }
}

template <class Pixels>
void StampPointsWith(const Pixels& pixels, const ImageRect& clip, const SubShapeEntry& entry, const PixelSample& colour,
                     const StarPosition& position, int32_t saturation)
{
    const int32_t x = position.x;
    const int32_t y = position.y;
    if (gQuality.preciseArithmetic) {
        if (saturation != 0)
            StampPoints<Pixels, PreciseArithmetic, true>(pixels, clip, entry, colour, x, y, saturation);
        else
            StampPoints<Pixels, PreciseArithmetic, false>(pixels, clip, entry, colour, x, y, saturation);
    } else {
        if (saturation != 0)
            StampPoints<Pixels, PreviewArithmetic, true>(pixels, clip, entry, colour, x, y, saturation);
        else
            StampPoints<Pixels, PreviewArithmetic, false>(pixels, clip, entry, colour, x, y, saturation);
    }
}

} // namespace

bool StampShape(ImageBuffer* destination, const ImageRect& destRect, Shape* shape, const PixelSample& colour,
                const StarPosition& position, int32_t saturation)
{
    if (!EnsureSubShape(shape, position.xPhase, position.yPhase)) {
        // A refused block has recorded its code already; a shape without a builder is a mistake of the
        // caller, and the render must still end as failed with a code, never as an interruption.
        if (EngineFailure() == noErr) {
            ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "StampShape() found a shape without a builder.");
            RecordEngineFailure(paramErr);
        }
        return false;
    }
    const SubShapeEntry& entry = EntryFor(*shape, position.xPhase, position.yPhase);

    // Whole stars that cannot reach the rectangle cost one test.
    const ImageRect reach{entry.left + position.x, entry.top + position.y, entry.right + position.x,
                          entry.bottom + position.y};
    if (IsEmptyRect(IntersectRect(reach, destRect)))
        return true;

    if (entry.points.data == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "NULL SubShapeEntry pointer detected.");
        RecordEngineFailure(paramErr);
        return false;
    }

    const bool direct =
        HasModePixelProcs(*destination) && VisitPixelFormat(destination->mode, [&](auto format) {
            const DirectPixels<decltype(format)> pixels(*destination);
            StampPointsWith(pixels, IntersectRect(destRect, destination->rect), entry, colour, position, saturation);
        });
    if (!direct) {
        const ThroughProcedures pixels{destination, destination->getPixel, destination->putPixel};
        StampPointsWith(pixels, destRect, entry, colour, position, saturation);
    }
    return true;
}
