// The per-point loops take the arithmetic quality as a template parameter, chosen once per measurement.
#include "engine/ShapeMeasurement.h"

#include <cmath>

#include "diag/ErrorReport.h"
#include "engine/PixelBrightness.h"
#include "engine/QualityMode.h"

namespace {

// (sum << 24) / weights << 8, capped at 1.0: the weighted mean of values that were scaled by their
// weight as fractions. The shift is done in 128 bits because the sum over a large bright disc reaches
// past 2^40.
uint32_t WeightedMean(uint64_t sum, uint64_t weights)
{
    if (weights == 0)
        return 0;
    const unsigned __int128 scaled = ((static_cast<unsigned __int128>(sum) << 24) / weights) << 8;
    return scaled < kFractionOne ? uint32_t(scaled) : kFractionOne;
}

const SubShapeEntry* ReadyEntry(Shape* shape, const StarPosition& position)
{
    if (!EnsureSubShape(shape, position.xPhase, position.yPhase))
        return nullptr;
    const SubShapeEntry& entry = EntryFor(*shape, position.xPhase, position.yPhase);
    if (entry.points.data == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "NULL SubShapeEntry pointer detected.");
        return nullptr;
    }
    return &entry;
}

template <class Quality>
BrightnessMeasurement SumBrightness(const SubShapeEntry& entry, const ImageBuffer& image, const StarPosition& at)
{
    const ShapePoint* points = PointsOf(entry);
    uint64_t sumWeights = 0;
    uint64_t sumValues = 0;
    bool anyInside = false;
    for (uint32_t i = 0; i < entry.pointCount; ++i) {
        const int32_t x = at.x + points[i].dx;
        const int32_t y = at.y + points[i].dy;
        if (!ContainsPoint(image.rect, x, y))
            continue;
        anyInside = true;
        const uint32_t b = BrightnessOf(image.getPixel(&image, x, y));
        sumWeights += points[i].weight;
        sumValues += MulFraction<Quality>(b, points[i].weight);
    }
    const uint32_t mean = WeightedMean(sumValues, sumWeights);
    if (!anyInside || sumWeights == 0)
        return BrightnessMeasurement{mean, 0.0f, true};

    // The spread is taken about the integer mean, over the same points.
    double sumSquares = 0.0;
    double weights = 0.0;
    for (uint32_t i = 0; i < entry.pointCount; ++i) {
        const int32_t x = at.x + points[i].dx;
        const int32_t y = at.y + points[i].dy;
        if (!ContainsPoint(image.rect, x, y))
            continue;
        const int64_t difference = int64_t(BrightnessOf(image.getPixel(&image, x, y))) - int64_t(mean);
        const uint64_t square = uint64_t(difference * difference);
        sumSquares += double(square) * double(points[i].weight);
        weights += double(points[i].weight);
    }
    return BrightnessMeasurement{mean, float(std::sqrt(sumSquares / weights)), true};
}

template <class Quality>
ColourMeasurement SumColour(const SubShapeEntry& entry, const ImageBuffer& image, const StarPosition& at)
{
    const ShapePoint* points = PointsOf(entry);
    uint64_t sumWeights = 0;
    uint64_t sumRed = 0;
    uint64_t sumGreen = 0;
    uint64_t sumBlue = 0;
    for (uint32_t i = 0; i < entry.pointCount; ++i) {
        const int32_t x = at.x + points[i].dx;
        const int32_t y = at.y + points[i].dy;
        if (!ContainsPoint(image.rect, x, y))
            continue;
        const PixelSample sample = image.getPixel(&image, x, y);
        const uint32_t weight = points[i].weight;
        sumWeights += weight;
        sumRed += MulFraction<Quality>(sample.red, weight);
        sumGreen += MulFraction<Quality>(sample.green, weight);
        sumBlue += MulFraction<Quality>(sample.blue, weight);
    }
    return ColourMeasurement{WeightedMean(sumRed, sumWeights), WeightedMean(sumGreen, sumWeights),
                             WeightedMean(sumBlue, sumWeights), true};
}

} // namespace

BrightnessMeasurement MeasureBrightness(Shape* shape, const ImageBuffer& image, const StarPosition& position)
{
    const SubShapeEntry* entry = ReadyEntry(shape, position);
    if (entry == nullptr)
        return BrightnessMeasurement{0, 0.0f, false};
    return gQuality.preciseArithmetic ? SumBrightness<PreciseArithmetic>(*entry, image, position)
                                      : SumBrightness<PreviewArithmetic>(*entry, image, position);
}

ColourMeasurement MeasureColour(Shape* shape, const ImageBuffer& image, const StarPosition& position)
{
    const SubShapeEntry* entry = ReadyEntry(shape, position);
    if (entry == nullptr)
        return ColourMeasurement{0, 0, 0, false};
    return gQuality.preciseArithmetic ? SumColour<PreciseArithmetic>(*entry, image, position)
                                      : SumColour<PreviewArithmetic>(*entry, image, position);
}
