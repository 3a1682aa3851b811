#include "tools/cli/SampleStarfield.h"

#include <cmath>

#include "tools/starfield/StarfieldGenerator.h"

namespace {

// Files hold gamma-encoded (sRGB) values, as the filter expects of a picture; the generator's output
// is linear light.
uint16_t EncodeSample(float linear)
{
    double v = linear <= 0.0f ? 0.0 : linear >= 1.0f ? 1.0 : double(linear);
    double encoded = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return uint16_t(std::lround(encoded * 65535.0));
}

} // namespace

bool MakeSampleStarfield(ImageFile* image, std::string* error)
{
    const StarfieldOptions options = SampleStarfieldOptions();
    const LinearImage field = RenderStarfield(options, GenerateStars(options));

    image->width = field.width;
    image->height = field.height;
    image->colourChannels = 3;
    image->hasAlpha = false;
    image->format = SampleFormat::U16;
    if (!AllocatePixels(image, error))
        return false;
    uint16_t* samples = SamplesAs<uint16_t>(*image);
    for (size_t i = 0; i < field.rgb.size(); ++i)
        samples[i] = EncodeSample(field.rgb[i]);
    return true;
}
