// A document as the test host keeps it: colour planes, an optional transparency plane and an optional
// selection, each stored plane by plane with samples in the host's own scale.
//
//   HostDocument doc(64, 32, plugInModeRGB48);
//   doc.Fill([](int32_t plane, int32_t x, int32_t y) { return plane == 0 ? x * 100.0 : 32768.0; });
//   doc.SetSelection([](int32_t x, int32_t) { return uint8_t(x < 10 ? 255 : 0); });
//
// Sample scales: 8-bit 0..255, 16-bit 0..32768 (the host's range, not 65535), 32-bit float (0..1 is the
// nominal range; other values are kept so that tests can hand in out-of-range data).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/HostRects.h"
#include "sdk/HostInterface.h"

class HostDocument
{
public:
    HostDocument() = default;
    // Modes 1, 3, 10, 11, 16 and 17; any other mode gives a document with no planes (IsValid false).
    HostDocument(int32_t width, int32_t height, int16 mode, bool withTransparency = false);

    bool IsValid() const { return !planes_.empty(); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int16 Mode() const { return mode_; }
    int32_t BytesPerSample() const { return bytesPerSample_; }
    int32_t Depth() const { return bytesPerSample_ * 8; }
    int32_t ColorPlanes() const { return colorPlanes_; }
    int32_t PlaneCount() const { return int32_t(planes_.size()); } // colour planes, then transparency
    bool HasTransparency() const { return PlaneCount() > colorPlanes_; }
    bool HasSelection() const { return !selection_.empty(); }

    // The area the filter works on: the whole document unless set.
    ImageRect FilterRect() const { return filterRect_; }
    void SetFilterRect(const ImageRect& rect) { filterRect_ = rect; }

    // Samples in the host's scale; integer depths round to nearest and clamp on writing.
    double Sample(int32_t plane, int32_t x, int32_t y) const;
    void SetSample(int32_t plane, int32_t x, int32_t y, double value);
    void Fill(const std::function<double(int32_t plane, int32_t x, int32_t y)>& value);
    uint8_t* SampleAddress(int32_t plane, int32_t x, int32_t y);
    const uint8_t* SampleAddress(int32_t plane, int32_t x, int32_t y) const;

    // Selection: one byte per pixel, 255 = selected; having one makes the host set haveMask.
    void SetSelection(const std::function<uint8_t(int32_t x, int32_t y)>& value);
    void ClearSelection() { selection_.clear(); }
    uint8_t SelectionAt(int32_t x, int32_t y) const;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    int16 mode_ = 0;
    int32_t bytesPerSample_ = 0;
    int32_t colorPlanes_ = 0;
    ImageRect filterRect_{0, 0, 0, 0};
    std::vector<std::vector<uint8_t>> planes_; // width x height samples each, rows top to bottom
    std::vector<uint8_t> selection_;           // empty when the document has no selection
};

// Where two documents first differ, and by how much at most.
struct DocumentDifference
{
    int64_t count = 0; // samples that differ by more than the tolerance
    int32_t plane = -1, x = -1, y = -1;
    double first = 0, second = 0; // the two samples at the first difference
    double largest = 0;           // largest absolute difference seen
    bool shapeDiffers = false;    // size, mode or plane count differ: no samples compared
};

// Compares every sample of every plane (selections are not compared).
DocumentDifference CompareDocuments(const HostDocument& a, const HostDocument& b, double tolerance = 0.0);
// One line for a failing test: "2 samples differ; first at plane 1 (3, 4): 17 vs 18; largest 1".
std::string DescribeDifference(const DocumentDifference& difference);
