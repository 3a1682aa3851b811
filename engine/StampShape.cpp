#include "engine/StampShape.h"

#include "diag/ErrorReport.h"
#include "engine/Compositing.h"
#include "engine/EngineState.h"
#include "engine/QualityMode.h"
#include "engine/Saturation.h"

namespace {

// The per-point loop. The arithmetic quality and whether to saturate are fixed per stamp, so that no
// point pays for either choice; the image mode is behind the buffer's pixel procedures.
template <class Quality, bool kSaturate>
void StampPoints(ImageBuffer* destination, const ImageRect& destRect, const SubShapeEntry& entry,
                 const PixelSample& colour, int32_t x, int32_t y, int32_t saturation)
{
    const ShapePoint* points = PointsOf(entry);
    const uint32_t count = entry.pointCount;
    // A point is drawn once it reaches half the cut-off: the shapes already dropped everything below the
    // cut-off at full star colour, so this only thins out the points of faint or strongly tinted stars.
    const uint32_t visible = gQuality.visibilityCutoff / 2;
    const GetPixelProc getPixel = destination->getPixel;
    const PutPixelProc putPixel = destination->putPixel;

    for (uint32_t i = 0; i < count; ++i) {
        const ShapePoint& point = points[i];
        const int32_t px = x + point.dx;
        const int32_t py = y + point.dy;
        if (px < destRect.left || px >= destRect.right || py < destRect.top || py >= destRect.bottom)
            continue;

        ColourFractions tint{MulFraction<Quality>(colour.red, point.red),
                             MulFraction<Quality>(colour.green, point.green),
                             MulFraction<Quality>(colour.blue, point.blue)};
        uint32_t strongest = tint.red > tint.green ? tint.red : tint.green;
        strongest = strongest > tint.blue ? strongest : tint.blue;
        if (MulFraction<Quality>(strongest, point.weight) < visible)
            continue;
        const Fraction opacity = MulFraction<Quality>(point.weight, colour.alpha);
        if (kSaturate)
            SaturateColour(&tint, saturation);

        PixelSample pixel = getPixel(destination, px, py);
        BlendPixelWith<Quality>(pixel, PixelSample{tint.red, tint.green, tint.blue, opacity, 0});
        // Transparency and selection belong to the image, not to the effect.
        pixel.alpha = kKeepSample;
        pixel.mask = kKeepSample;
        putPixel(destination, pixel, px, py);
    }
}

template <class Quality>
void StampPointsIn(ImageBuffer* destination, const ImageRect& destRect, const SubShapeEntry& entry,
                   const PixelSample& colour, int32_t x, int32_t y, int32_t saturation)
{
    if (saturation != 0)
        StampPoints<Quality, true>(destination, destRect, entry, colour, x, y, saturation);
    else
        StampPoints<Quality, false>(destination, destRect, entry, colour, x, y, saturation);
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

    if (gQuality.preciseArithmetic)
        StampPointsIn<PreciseArithmetic>(destination, destRect, entry, colour, position.x, position.y, saturation);
    else
        StampPointsIn<PreviewArithmetic>(destination, destRect, entry, colour, position.x, position.y, saturation);
    return true;
}
