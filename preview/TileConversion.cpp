// The step from the preview's 8-bit planes to display pixels.
#include <cstdint>

#include "diag/ErrorReport.h"
#include "preview/DisplayBitmap.h"

namespace {

constexpr uint32_t kLightSquare = 255;
constexpr uint32_t kDarkSquare = 207;

// Squares of 8 by 8 pixels, counted from the drawn rectangle's corner.
uint32_t BoardAt(int32_t x, int32_t y)
{
    return ((x >> 3) & 1) == ((y >> 3) & 1) ? kDarkSquare : kLightSquare;
}

uint32_t OverBoard(uint32_t channel, uint32_t alpha, uint32_t board)
{
    return (channel * alpha + (255 - alpha) * board) / 256;
}

} // namespace

bool DrawTileIntoConversionDIB(const BITMAPV5HEADER* header, void* bits, const ImageBuffer* image, const RECT& rect)
{
    if (bits == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "DrawTileIntoConversionDIB() called with NULL DIB pointer.");
        return false;
    }
    const int32_t rowLength = header->bV5Width;
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    const auto* red = static_cast<const uint8_t*>(image->planes[0]);
    const auto* green = image->layerPlanes == 3 ? static_cast<const uint8_t*>(image->planes[1]) : red;
    const auto* blue = image->layerPlanes == 3 ? static_cast<const uint8_t*>(image->planes[2]) : red;
    const auto* alpha =
        image->transparencyPlanes > 0 ? static_cast<const uint8_t*>(image->planes[image->layerPlanes]) : nullptr;

    // The tile's top row goes last: the tile fills the bottom-left corner of the bottom-up DIB, where
    // StretchDIBits finds a source rectangle at (0, 0).
    for (int32_t row = 0; row < height; ++row) {
        const size_t first =
            size_t(rect.top + row - image->rect.top) * size_t(image->width) + size_t(rect.left - image->rect.left);
        uint32_t* out = static_cast<uint32_t*>(bits) + size_t(height - 1 - row) * size_t(rowLength);
        if (alpha == nullptr) {
            for (int32_t x = 0; x < width; ++x)
                out[x] = uint32_t(red[first + x]) << 16 | uint32_t(green[first + x]) << 8 | blue[first + x];
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t a = alpha[first + x];
            const uint32_t board = BoardAt(x, row);
            out[x] = OverBoard(red[first + x], a, board) << 16 | OverBoard(green[first + x], a, board) << 8 |
                     OverBoard(blue[first + x], a, board);
        }
    }
    return true;
}
