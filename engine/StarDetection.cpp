#include "engine/StarDetection.h"

#include <algorithm>

#include "engine/EffectTables.h"
#include "engine/MeasureShapes.h"
#include "engine/PixelBrightness.h"
#include "engine/QualityMode.h"
#include "engine/RadialProfile.h"
#include "engine/ShapeMeasurement.h"
#include "engine/StarRefinement.h"
#include "engine/StarZoneIndex.h"
#include "engine/UserInput.h"

DetectionState gDetection{false, kDetectionNotStarted, 0, 0, 0, 0, nullptr, false};

namespace {

DetectionProgressHook gProgressHook;

// Seeds are pixels at least half as bright as white, selected at least halfway and not transparent.
constexpr uint32_t kSeedBrightness = 0x7FFFFF;
constexpr uint32_t kHalfSelected = 0x7FFFFFFF;
constexpr float kLargestRadius = 128.0f;
constexpr int32_t kPollColumns = 64;
constexpr int32_t kProgressRows = 32;

void StartDetection(ImageBuffer& image)
{
    gDetection.image = &image;
    ConfigureMeasureShapes();
    InitEffectTables();
    const ImageRect& rect = image.rect;
    gDetection.row = rect.top;
    gDetection.column = rect.left;
    gDetection.rowsTotal = rect.bottom - rect.top;
    gDetection.rowsDone = 0;
    gDetection.lastProgressRow = rect.top;
    // Without memory for the index the zone tests scan the whole list: slower, but the same stars.
    PrepareStarZoneIndex(rect);
    // An image without pixel access has nothing to scan.
    if (image.getPixel == nullptr)
        gDetection.row = rect.bottom;
}

void ReportProgressAtBoundary()
{
    if (gDetection.row % kProgressRows != 0)
        return;
    gDetection.rowsDone += gDetection.row - gDetection.lastProgressRow;
    gDetection.lastProgressRow = gDetection.row;
    if (gProgressHook != nullptr)
        gProgressHook(gDetection.rowsDone, gDetection.rowsTotal);
}

void MeasureAndClip(const StarPosition& position, float radii[kDirectionCount])
{
    MeasureRadialProfile(position, radii);
    const ClipResult first = ClipOutliers(radii, 0.0f);
    ClipOutliers(radii, 1.2f * first.deviation);
}

} // namespace

bool RefineSeed(StarPosition* position)
{
    const ImageBuffer& image = *gDetection.image;
    const uint32_t b0 = BrightnessOf(image.getPixel(&image, position->x, position->y));
    gStarList.maxSeedBrightness = std::max(gStarList.maxSeedBrightness, b0);
    for (const DirectionStep& step : kDirections) {
        if (BrightnessOf(image.getPixel(&image, position->x + step.dx, position->y + step.dy)) > b0)
            return false;
    }
    if (InsideStarZone(position->x, position->y))
        return false;

    // Walk the seed to the pixel nearest the estimated centre, so that the profile is measured from
    // the middle of the star rather than from a bright pixel on its flank.
    float radii[kDirectionCount];
    MeasureAndClip(*position, radii);
    for (int32_t iteration = 0; iteration < 12; ++iteration) {
        StarPosition estimate;
        if (!EstimateCentre(*position, radii, &estimate))
            return false;
        estimate = RoundToPixel(estimate);
        if (estimate == *position)
            break;
        *position = estimate;
        MeasureAndClip(*position, radii);
    }
    return !InsideStarZone(position->x, position->y);
}

void ProbeStar(int32_t column, int32_t row)
{
    StarPosition seed{column, 0, row, 0};
    if (!RefineSeed(&seed))
        return;

    float radii[kDirectionCount];
    MeasureRadialProfile(seed, radii);
    const ClipResult first = ClipOutliers(radii, 0.0f);
    if (first.deviation == -1.0f)
        return;
    ClipOutliers(radii, 0.75f * first.deviation);

    float sum = 0.0f;
    int32_t count = 0;
    for (const float v : radii) {
        if (v > 0.0f) {
            sum += v;
            ++count;
        }
    }
    if (count == 0)
        return;
    float r = sum / float(count);
    if (!(r > 0.0f && r <= kLargestRadius))
        return;

    StarPosition centre;
    if (!EstimateCentre(seed, radii, &centre) || !IsStar(centre, r) || !RefineRadiusAndCentre(&centre, &r))
        return;

    const ImageBuffer& image = *gDetection.image;
    const int32_t ringIndex = int32_t(4.0f * r + 0.5f);
    uint32_t red = kFullChannel, green = kFullChannel, blue = kFullChannel;
    if (ringIndex < kMeasureShapeCount) {
        const ColourMeasurement colour = MeasureColour(&gMeasureShapes.rings[ringIndex], image, centre);
        if (!colour.success)
            return;
        red = colour.red;
        green = colour.green;
        blue = colour.blue;
    }
    // No star is green (a hot body's colour runs from red through white to blue), so green is held to the
    // mean of red and blue.
    green = uint32_t(std::min<uint64_t>((uint64_t(red) + blue) / 2, green));
    const uint32_t strongest = std::max({red, green, blue});
    const uint32_t normalised[3] = {RatioFraction(red, strongest), RatioFraction(green, strongest),
                                    RatioFraction(blue, strongest)};

    const PixelSample under = image.getPixel(&image, centre.x, centre.y);
    const bool enabled = under.mask >= kHalfSelected && under.alpha != 0 && IsSpikeWorthy(centre, r);

    const float radiusSquared = r * r;
    const double area = double(radiusSquared) * 0.0078125;
    const uint32_t brightness = area > 255.0 ? kFractionOne : uint32_t(area * 16777215.0);
    AddStar(centre, radiusSquared, brightness, normalised, enabled);
}

WorkStatus FindStars(ImageBuffer& image)
{
    if (gDetection.finished)
        return WorkStatus::Done;
    gQuality = FinalQuality(image.bitsPerSample);
    if (gDetection.row == kDetectionNotStarted)
        StartDetection(image);

    const ImageRect rect = image.rect;
    while (gDetection.row < rect.bottom) {
        const int32_t row = gDetection.row;
        for (int32_t column = gDetection.column; column < rect.right;) {
            const PixelSample sample = image.getPixel(&image, column, row);
            if (sample.mask >= kHalfSelected && sample.alpha != 0 && BrightnessOf(sample) >= kSeedBrightness) {
                ProbeStar(column, row);
                // A refused block has been reported once and ends the run; probing on would ask again,
                // and report again, for every later seed.
                if (EngineFailure() != noErr)
                    return WorkStatus::Failed;
            }
            ++column;
            if (column % kPollColumns == 0 && UserInputPending()) {
                // Resume at the next pixel.
                gDetection.column = column;
                ReportProgressAtBoundary();
                return WorkStatus::Interrupted;
            }
        }
        gDetection.column = rect.left;
        ++gDetection.row;
        ReportProgressAtBoundary();
    }

    FinishStarList();
    ReleaseMeasureShapes();
    gDetection.finished = true;
    return WorkStatus::Done;
}

void SetDetectionProgressHook(DetectionProgressHook hook)
{
    gProgressHook = hook;
}
