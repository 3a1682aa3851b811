#include "engine/RenderEffect.h"

#include "engine/Compositing.h"
#include "engine/RenderShapes.h"
#include "engine/StampShape.h"
#include "engine/StarList.h"
#include "engine/UserInput.h"

RenderResumeState gRenderResume;

namespace {

constexpr uint32_t kQuarterPercent = 10737418; // 2^32 / 400, truncated: the threshold per missing percent
constexpr uint32_t kEagerPollStars = 32;       // the first stars are the brightest and slowest to stamp
constexpr uint32_t kPollInterval = 64;

// The record is compared field by field rather than byte by byte: its padding bytes carry nothing and
// need not survive a copy of the record.
bool SameBufferRecord(const BufferRecord& a, const BufferRecord& b)
{
    return a.bufferId == b.bufferId && a.data == b.data && a.size == b.size;
}

bool SameDestination(const ImageBuffer& a, const ImageBuffer& b)
{
    bool same = a.getPixel == b.getPixel && a.putPixel == b.putPixel && a.rect == b.rect &&
                SameBufferRecord(a.image, b.image) && a.layerPlanes == b.layerPlanes &&
                a.transparencyPlanes == b.transparencyPlanes && a.width == b.width && a.height == b.height &&
                a.pixelCount == b.pixelCount && a.mode == b.mode && a.bitsPerSample == b.bitsPerSample &&
                a.bytesPerSample == b.bytesPerSample && SameBufferRecord(a.mask, b.mask);
    for (int i = 0; i < 4; ++i)
        same = same && a.planes[i] == b.planes[i];
    return same;
}

bool CanResume(const FilterParameters& parameters, const ImageBuffer* destination, const ImageRect& destRect)
{
    const RenderResumeState& saved = gRenderResume;
    return saved.resumable && parameters.saturation == saved.savedSaturation &&
           parameters.intensity == saved.savedIntensity &&
           parameters.softFlareBrightness == saved.savedSoftFlareBrightness &&
           int16_t(parameters.outputSpikesOnly) == saved.savedOutputSpikesOnly && destRect == saved.savedDestRect &&
           SameDestination(*destination, saved.savedDestination);
}

void SaveResumePoint(uint32_t nextSpikeStar, uint32_t nextFlareStar, const FilterParameters& parameters,
                     const ImageBuffer* destination, const ImageRect& destRect)
{
    RenderResumeState& saved = gRenderResume;
    saved.nextSpikeStar = nextSpikeStar;
    saved.nextFlareStar = nextFlareStar;
    saved.savedSaturation = parameters.saturation;
    saved.savedIntensity = parameters.intensity;
    saved.savedSoftFlareBrightness = parameters.softFlareBrightness;
    saved.savedOutputSpikesOnly = int16_t(parameters.outputSpikesOnly);
    saved.savedDestination = *destination;
    saved.savedDestRect = destRect;
    saved.resumable = true;
}

bool PrepareDestination(const FilterParameters& parameters, const ImageBuffer* source, const ImageRect& sourceRect,
                        ImageBuffer* destination, const ImageRect& destRect)
{
    if (parameters.outputSpikesOnly == 0)
        return CopyImageRect(source, sourceRect, destination, destRect);

    // The effect alone is drawn on black, but a layer keeps its transparency (and the selection its
    // shape), so those are copied before the colour is cleared.
    if (destination->transparencyPlanes > 0 || destination->mask.data != nullptr) {
        if (!CopyImageRect(source, sourceRect, destination, destRect))
            return false;
    }
    const ImageRect fill = IntersectRect(destRect, destination->rect);
    if (!IsEmptyRect(fill))
        FillImageRect(destination, PixelSample{0, 0, 0, kKeepSample, kKeepSample}, fill);
    return true;
}

// A star's strength for a pass with the setting `level` 1..100: stars at or below the threshold
// (100 - level) / 400 are skipped; above it the strength rises from 0 to `level` percent.
uint32_t PassThreshold(int32_t level)
{
    return uint32_t(100 - level) * kQuarterPercent;
}

Fraction StarStrength(int32_t level, uint32_t brightness, uint32_t threshold)
{
    return uint32_t(level) *
           (RatioFraction(RatioFraction(brightness - threshold, brightness), OneMinus(threshold)) / 100);
}

struct Pass
{
    Shape* shape;
    int32_t level;
    bool pollEagerly; // poll after each of the first stars as well
};

WorkStatus RunPass(const Pass& pass, uint32_t firstStar, int32_t saturation, ImageBuffer* destination,
                   const ImageRect& destRect, uint32_t* interruptedAt)
{
    const uint32_t threshold = PassThreshold(pass.level);
    const StarRecord* stars = StarRecords();
    for (uint32_t i = firstStar; i < gStarList.starCount; ++i) {
        const StarRecord& star = stars[i];
        // The list is sorted by brightness: no later star reaches the threshold either.
        if (star.brightness <= threshold)
            break;
        const Fraction strength = StarStrength(pass.level, star.brightness, threshold);
        // A star switched off by the user is still stamped, at opacity 0, so that it keeps its place in
        // the count and in the polling rhythm.
        const PixelSample colour{star.red, star.green, star.blue, MulFraction(star.spikesEnabled, strength), 0};
        const StarPosition position{star.x, star.xPhase, star.y, star.yPhase};
        // A failed stamp ends the render before any polling, so that it is never taken for a resumable
        // interruption.
        if (!StampShape(destination, destRect, pass.shape, colour, position, saturation))
            return WorkStatus::Failed;
        const bool poll = (pass.pollEagerly && i < kEagerPollStars) || i % kPollInterval == 0;
        if (poll && UserInputPending()) {
            *interruptedAt = i;
            return WorkStatus::Interrupted;
        }
    }
    return WorkStatus::Done;
}

} // namespace

WorkStatus RenderEffect(const RenderInputs& inputs, const ImageBuffer* source, const ImageRect& sourceRect,
                        ImageBuffer* destination, const ImageRect& destRect)
{
    const FilterParameters& parameters = inputs.parameters;
    gQuality = inputs.quality;

    // Points already stamped came from shapes that no longer exist: start afresh.
    if (RefreshRenderShapes(parameters, inputs.quality, inputs.imageWidth, inputs.imageHeight))
        gRenderResume.resumable = false;

    uint32_t firstSpikeStar = 0;
    uint32_t firstFlareStar = 0;
    const bool resume = CanResume(parameters, destination, destRect);
    // Any render other than the interrupted one discards what was left behind.
    gRenderResume.resumable = false;
    if (resume) {
        firstSpikeStar = gRenderResume.nextSpikeStar;
        firstFlareStar = gRenderResume.nextFlareStar;
    } else if (!PrepareDestination(parameters, source, sourceRect, destination, destRect)) {
        return WorkStatus::Failed;
    }

    uint32_t interruptedAt = 0;
    if (parameters.intensity > 0) {
        const Pass spikes{&gRenderShapes.spike, parameters.intensity, true};
        const WorkStatus status =
            RunPass(spikes, firstSpikeStar, parameters.saturation, destination, destRect, &interruptedAt);
        if (status == WorkStatus::Interrupted)
            SaveResumePoint(interruptedAt + 1, 0, parameters, destination, destRect);
        if (status != WorkStatus::Done)
            return status;
    }

    if (parameters.softFlareBrightness >= 1) {
        const Pass flare{&gRenderShapes.flare, parameters.softFlareBrightness, false};
        const WorkStatus status =
            RunPass(flare, firstFlareStar, parameters.saturation, destination, destRect, &interruptedAt);
        if (status == WorkStatus::Interrupted)
            SaveResumePoint(gStarList.starCount, interruptedAt + 1, parameters, destination, destRect);
        if (status != WorkStatus::Done)
            return status;
    }
    return WorkStatus::Done;
}
