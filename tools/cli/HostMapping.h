// File images to host documents and back.
//
// 8-bit samples go across unchanged. 16-bit files hold 0..65535 but the host's
// 16-bit range is 0..32768, so samples are scaled with rounding:
//   host = (v * 32768 + 32767) / 65535        file = (h * 65535 + 16384) / 32768
// Every host value survives host -> file -> host exactly. The other way cannot be exact for all 65536
// file values (they share 32769 host values), so on the way back a sample whose host value the
// filter left unchanged keeps the file value it came from: a run that changes nothing is lossless,
// and only samples the effect touched are rounded.
//
// 32-bit floats go across as they are when they lie in 0..1, the range the host promises the filter.
// Others (camera counts, negative values, NaN, infinities) are clamped for the filter (NaN to 0), and
// the same rule brings them back: where the filter left the clamped value alone, the file keeps its own.
#pragma once

#include <cstdint>
#include <string>

#include "tools/cli/ImageFile.h"
#include "tools/harness/HostDocument.h"

inline uint16_t HostFromFile16(uint16_t v)
{
    return uint16_t((uint32_t(v) * 32768u + 32767u) / 65535u);
}

inline uint16_t FileFromHost16(uint16_t h)
{
    if (h > 32768)
        h = 32768; // the host's white; larger values cannot come from a well-behaved filter
    return uint16_t((uint32_t(h) * 65535u + 16384u) / 32768u);
}

// A float sample as the host is given it.
inline float HostFromFileFloat(float v)
{
    if (v > 1.0f)
        return 1.0f;
    return v >= 0.0f ? v : 0.0f; // below 0 and NaN; -0.0 stays as it is
}

// How many float samples of the image lie outside 0..1 (or are NaN) and reach the filter clamped; 0 for
// other sample formats.
size_t CountClampedSamples(const ImageFile& image);

// The host image mode for a file's channels and sample format (grey 1/10/17, RGB 3/11/16).
int16_t HostModeFor(const ImageFile& image);

// A new document of the image's size, mode and transparency holding its samples in host scale.
HostDocument DocumentFromImage(const ImageFile& image);

// Writes the document's samples back into `image` (same size, channels and format), in file scale.
// `image` must still hold the samples the document was made from: they decide which samples the
// filter left alone.
void StoreDocumentInImage(const HostDocument& document, ImageFile* image);

// Makes a grey image the document's selection (255 = selected). Fails with a reason when the image
// is not grey or not of the document's size.
bool ApplySelectionImage(const ImageFile& mask, HostDocument* document, std::string* error);
