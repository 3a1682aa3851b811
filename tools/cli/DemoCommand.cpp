// corvane demo [FOLDER]: makes (or reuses) the sample starfield in FOLDER, applies the filter with the
// factory parameters and writes the result next to it, with 8-bit PNG previews of both.
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include "engine/FilterParameters.h"
#include "tools/cli/Commands.h"
#include "tools/cli/FilterSession.h"
#include "tools/cli/HostMapping.h"
#include "tools/cli/Interrupt.h"
#include "tools/cli/SampleStarfield.h"

namespace {

// An 8-bit copy for viewing; 16-bit samples are rounded, floats clipped to 0..1.
ImageFile PreviewOf(const ImageFile& image)
{
    ImageFile preview;
    preview.width = image.width;
    preview.height = image.height;
    preview.colourChannels = image.colourChannels;
    preview.hasAlpha = image.hasAlpha;
    preview.format = SampleFormat::U8;
    preview.iccProfile = image.iccProfile;
    std::string ignored;
    if (!AllocatePixels(&preview, &ignored))
        return preview;
    const size_t count = size_t(image.width) * image.height * image.Channels();
    uint8_t* out = SamplesAs<uint8_t>(preview);
    for (size_t i = 0; i < count; ++i) {
        switch (image.format) {
        case SampleFormat::U8: out[i] = SamplesAs<uint8_t>(image)[i]; break;
        case SampleFormat::U16:
            out[i] = uint8_t((uint32_t(SamplesAs<uint16_t>(image)[i]) * 255u + 32767u) / 65535u);
            break;
        case SampleFormat::F32: {
            float f = SamplesAs<float>(image)[i];
            out[i] = f > 0.0f ? (f >= 1.0f ? 255 : uint8_t(f * 255.0f + 0.5f)) : 0;
            break;
        }
        }
    }
    return preview;
}

// Applies the factory parameters, so the demo looks the same whatever the last run left behind.
Descriptor FactoryDescriptor()
{
    const FilterParameters& p = kFactoryParameters;
    std::vector<ParameterValue> values = {
        {FourCC("Intn"), p.intensity},
        {FourCC("Lngt"), p.length},
        {FourCC("Angl"), p.angle},
        {FourCC("numP"), p.numberOfPoints},
        {FourCC("spsH"), p.spikeSharpness},
        {FourCC("Strt"), p.saturation},
        {FourCC("rbwI"), p.rainbowIntensity},
        {FourCC("rbwF"), p.rainbowFrequency},
        {FourCC("sspI"), p.secondarySpikeIntensity},
        {FourCC("sflB"), p.softFlareBrightness},
        {FourCC("opsO"), p.outputSpikesOnly},
    };
    return DescriptorFromParameters(values);
}

} // namespace

int RunDemo(const std::string& folder)
{
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        PrintError(folder, "cannot create the folder");
        return kExitOutput;
    }
    const std::string samplePath = folder + "/starfield.tif";
    const std::string resultPath = folder + "/starfield-spikes.tif";

    ImageFile image;
    struct stat info;
    if (stat(samplePath.c_str(), &info) == 0) {
        FileFormat format;
        if (!LoadImage(samplePath, &image, &format))
            return kExitInput;
        std::fprintf(stderr, "corvane: using the sample %s\n", samplePath.c_str());
    } else {
        std::string error;
        if (!MakeSampleStarfield(&image, &error)) {
            PrintError(samplePath, error);
            return kExitInput;
        }
        int status = SaveImage(samplePath, FileFormat::Tiff, image);
        if (status != kExitOk)
            return status;
        std::fprintf(stderr, "corvane: made the sample %s\n", samplePath.c_str());
    }
    int status = SaveImage(folder + "/starfield.png", FileFormat::Png, PreviewOf(image));
    if (status != kExitOk)
        return status;

    HostDocument document = DocumentFromImage(image);
    FilterSessionSettings settings;
    settings.descriptor = FactoryDescriptor();
    settings.profile = &image.iccProfile;
    settings.inputName = samplePath;
    OSErr result = RunFilterSession(&document, settings);
    if (WasInterrupted() || result == userCanceledErr)
        return CancelledExitStatus();
    if (result != noErr) {
        PrintError(samplePath, "the filter failed (host result code " + std::to_string(result) + ")");
        return kExitFilter;
    }
    StoreDocumentInImage(document, &image);
    status = SaveImage(resultPath, FileFormat::Tiff, image);
    if (status == kExitOk)
        status = SaveImage(folder + "/starfield-spikes.png", FileFormat::Png, PreviewOf(image));
    if (status == kExitOk)
        std::printf("%s\n%s\n", resultPath.c_str(), (folder + "/starfield-spikes.png").c_str());
    return status;
}
