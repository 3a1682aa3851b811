// corvane apply IN OUT [options]: read, filter silently, write in the input's (or OUT's) format.
#include <cstdio>
#include <cstring>

#include "presets/ParameterBlock.h"
#include "presets/ParameterSets.h"
#include "tools/cli/Commands.h"
#include "tools/cli/FilterSession.h"
#include "tools/cli/HostMapping.h"
#include "tools/cli/Interrupt.h"
#include "tools/cli/SafeOutput.h"

void PrintError(const std::string& subject, const std::string& reason)
{
    std::fprintf(stderr, "corvane: %s: %s\n", subject.c_str(), reason.c_str());
}

bool LoadImage(const std::string& path, ImageFile* image, FileFormat* format)
{
    std::string error;
    if (ReadImageFile(path, image, format, &error))
        return true;
    PrintError(path, error);
    return false;
}

int SaveImage(const std::string& path, FileFormat format, const ImageFile& image)
{
    std::string error;
    SafeOutput output;
    if (!BeginSafeOutput(path, &output, &error)) {
        PrintError(path, error);
        return kExitOutput;
    }
    if (!WriteImageFile(output.tempPath, format, image, &error)) {
        AbandonSafeOutput(&output);
        PrintError(path, error);
        return kExitOutput;
    }
    if (WasInterrupted()) {
        AbandonSafeOutput(&output);
        return kExitCancelled;
    }
    if (!CommitSafeOutput(&output, &error)) {
        PrintError(path, error);
        return kExitOutput;
    }
    return kExitOk;
}

namespace {

// The record's fields for each parameter, in the order of ParameterOptions().
void ParametersFromRecord(const FilterParameters& record, std::vector<ParameterValue>* values)
{
    const int32_t fields[] = {record.intensity,           record.length,           record.angle,
                              record.numberOfPoints,      record.spikeSharpness,   record.saturation,
                              record.rainbowIntensity,    record.rainbowFrequency, record.secondarySpikeIntensity,
                              record.softFlareBrightness, record.outputSpikesOnly};
    const std::vector<ParameterOption>& options = ParameterOptions();
    for (size_t i = 0; i < options.size(); ++i)
        values->push_back(ParameterValue{options[i].key, fields[i]});
}

bool LoadPreset(const std::string& path, std::vector<ParameterValue>* values)
{
    void* block = ReadParameterSet(path.c_str());
    if (block == nullptr) {
        PrintError(path, "not a usable parameter set (missing, damaged or of an unknown version)");
        return false;
    }
    FilterParameters record;
    std::memcpy(&record, block, sizeof record);
    FreeParameterBlock(block);
    ParametersFromRecord(record, values);
    return true;
}

// The preset's values with the options given on top.
std::vector<ParameterValue> MergeParameters(std::vector<ParameterValue> base, const std::vector<ParameterValue>& given)
{
    for (const ParameterValue& value : given) {
        bool replaced = false;
        for (ParameterValue& existing : base) {
            if (existing.key == value.key) {
                existing.value = value.value;
                replaced = true;
            }
        }
        if (!replaced)
            base.push_back(value);
    }
    return base;
}

} // namespace

int RunApply(const ApplyOptions& options)
{
    FileFormat outputFormat = FormatFromExtension(options.output);
    const bool namesFormat = outputFormat != FileFormat::Unknown;
    const size_t dot = options.output.find_last_of('.');
    const size_t slash = options.output.find_last_of('/');
    if (!namesFormat && dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
        dot + 1 < options.output.size()) {
        PrintError(options.output, "unsupported output format '" + options.output.substr(dot) +
                                       "' (use .tif, .png or .fits, or no extension for the input's format)");
        return kExitUsage;
    }

    std::vector<ParameterValue> parameters;
    if (!options.presetPath.empty() && !LoadPreset(options.presetPath, &parameters))
        return kExitInput;
    parameters = MergeParameters(parameters, options.parameters);

    ImageFile image;
    FileFormat inputFormat;
    if (!LoadImage(options.input, &image, &inputFormat))
        return kExitInput;
    if (!namesFormat)
        outputFormat = inputFormat;
    std::string reason = CheckStorable(outputFormat, image);
    if (!reason.empty()) {
        PrintError(options.output, reason);
        return kExitOutput;
    }

    HostDocument document = DocumentFromImage(image);
    if (!options.maskPath.empty()) {
        ImageFile mask;
        FileFormat maskFormat;
        if (!LoadImage(options.maskPath, &mask, &maskFormat))
            return kExitInput;
        if (!ApplySelectionImage(mask, &document, &reason)) {
            PrintError(options.maskPath, reason);
            return kExitInput;
        }
    }

    FilterSessionSettings settings;
    settings.descriptor = DescriptorFromParameters(parameters);
    settings.tileSize = options.tileSize;
    settings.profile = &image.iccProfile;
    settings.inputName = options.input;
    OSErr result = RunFilterSession(&document, settings);
    if (WasInterrupted() || result == userCanceledErr) {
        std::fprintf(stderr, "corvane: cancelled; %s was not written\n", options.output.c_str());
        return kExitCancelled;
    }
    if (result != noErr) {
        PrintError(options.input, "the filter failed (host result code " + std::to_string(result) + ")");
        return kExitFilter;
    }

    StoreDocumentInImage(document, &image);
    int status = SaveImage(options.output, outputFormat, image);
    if (status == kExitCancelled)
        std::fprintf(stderr, "corvane: cancelled; %s was not written\n", options.output.c_str());
    return status;
}
