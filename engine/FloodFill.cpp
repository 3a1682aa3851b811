// Marking a flat region so that its pixels are never seeds again.
//
// The region is filled a row span at a time from an explicit stack: a pixel-by-pixel fill keeps about
// half the region's pixels on its stack (gigabytes for a large saturated area), a span fill only a few
// entries per row. The marked set, the whole 4-connected region of the colour, is the same either way.
#include "engine/FloodFill.h"

#include <initializer_list>

#include "diag/ErrorReport.h"
#include "engine/StarDetection.h"

namespace {

constexpr uint32_t kStackGrowthPositions = 32768;

struct FillPosition
{
    int32_t x;
    int32_t y;
};

class FillStack
{
public:
    ~FillStack() { ReleaseBuffer(&block_); }

    bool Push(int32_t x, int32_t y)
    {
        if (count_ == capacity_) {
            const uint64_t positions = uint64_t(capacity_) + kStackGrowthPositions;
            const uint64_t bytes = positions * sizeof(FillPosition);
            const OSErr error = bytes > UINT32_MAX ? OSErr(memFullErr) : GrowBuffer(uint32_t(bytes), &block_);
            if (error != noErr) {
                ReportError(USER_SITE, kStyleError, kCaptionExiting,
                            "Unable to allocate memory for a flood fill list.");
                RecordEngineFailure(error);
                return false;
            }
            capacity_ = uint32_t(positions);
        }
        static_cast<FillPosition*>(block_.data)[count_++] = FillPosition{x, y};
        return true;
    }

    bool Pop(FillPosition* position)
    {
        if (count_ == 0)
            return false;
        *position = static_cast<FillPosition*>(block_.data)[--count_];
        return true;
    }

private:
    BufferRecord block_{};
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
};

struct Region
{
    ImageBuffer* image;
    uint32_t red;
    uint32_t green;
    uint32_t blue;

    // Unmarked, selected to any degree and of exactly the region's colour.
    bool Takes(int32_t x, int32_t y) const
    {
        const ImageRect& r = image->rect;
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom)
            return false;
        const PixelSample s = image->getPixel(image, x, y);
        return s.mask != 0 && s.red == red && s.green == green && s.blue == blue;
    }

    // Colour and transparency stay; only the mask becomes 0.
    void Mark(int32_t x, int32_t y) const
    {
        static const PixelSample kMarker{kKeepSample, kKeepSample, kKeepSample, kKeepSample, 0};
        image->putPixel(image, kMarker, x, y);
    }
};

} // namespace

void FloodFillMark(int32_t seedX, int32_t seedY, uint32_t red, uint32_t green, uint32_t blue)
{
    ImageBuffer* image = gDetection.image;
    // Without a mask block nothing can be marked, and the fill would never see its own progress.
    if (image->mask.data == nullptr || image->putPixel == nullptr)
        return;
    const Region region{image, red, green, blue};
    FillStack stack;
    region.Mark(seedX, seedY);
    if (!stack.Push(seedX, seedY))
        return;

    FillPosition p;
    while (stack.Pop(&p)) {
        int32_t left = p.x;
        while (region.Takes(left - 1, p.y))
            region.Mark(--left, p.y);
        int32_t right = p.x;
        while (region.Takes(right + 1, p.y))
            region.Mark(++right, p.y);

        // One entry per run of the rows above and below; popping it extends it to the whole run.
        for (const int32_t y : {p.y + 1, p.y - 1}) {
            bool inRun = false;
            for (int32_t x = left; x <= right; ++x) {
                if (!region.Takes(x, y)) {
                    inRun = false;
                    continue;
                }
                if (inRun)
                    continue;
                inRun = true;
                region.Mark(x, y);
                if (!stack.Push(x, y))
                    return;
            }
        }
    }
}
