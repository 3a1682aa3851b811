// corvane apply IN OUT [options]: read, filter silently, write in the input's (or OUT's) format.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "presets/ParameterBlock.h"
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

void ReportClampedSamples(const std::string& path, const ImageFile& image)
{
    const size_t clamped = CountClampedSamples(image);
    if (clamped != 0)
        std::fprintf(stderr,
                     "corvane: %s: %zu samples lie outside 0..1 and were clamped for the filter; the file's values "
                     "are kept where the filter leaves them unchanged\n",
                     path.c_str(), clamped);
}

int SaveImage(const std::string& path, FileFormat format, const ImageFile& image)
{
    std::string error;
    SafeOutput output;
    if (!BeginSafeOutput(path, &output, &error)) {
        PrintError(path, error);
        return kExitOutput;
    }
    if (!WriteImage(&output.file, format, image, &error)) {
        // The system's reason is the one a person can act on (a full disk, say).
        if (output.file.error != 0)
            error = std::string("cannot write the file (") + std::strerror(output.file.error) + ")";
        AbandonSafeOutput(&output);
        PrintError(path, error);
        return kExitOutput;
    }
    if (WasInterrupted()) {
        AbandonSafeOutput(&output);
        return CancelledExitStatus();
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

// A file named on the command line is the user's: it is read and, if of the older version, converted
// in memory, but never rewritten or deleted, wherever it lies.
bool LoadPreset(const std::string& path, std::vector<ParameterValue>* values)
{
    // Opened without waiting, so that a pipe cannot hold the run up before it is refused.
    int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        PrintError(path, std::string("cannot read the parameter set (") + std::strerror(errno) + ")");
        return false;
    }
    struct stat info;
    uint8_t bytes[kParameterBlockSize];
    std::string reason;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
        reason = "not a regular file";
    else if (info.st_size != off_t(kParameterBlockSize) ||
             read(descriptor, bytes, sizeof bytes) != ssize_t(sizeof bytes))
        reason = "not a parameter set (those hold " + std::to_string(kParameterBlockSize) + " bytes, this file " +
                 std::to_string(info.st_size) + ")";
    close(descriptor);
    if (!reason.empty()) {
        PrintError(path, reason);
        return false;
    }
    const RecordVersion version = ReadRecordVersion(bytes);
    const RecordVersion& current = kCurrentParametersVersion;
    const bool isCurrent = version.major == current.major && version.minor == current.minor &&
                           version.revision == current.revision && version.build == current.build;
    void* block = isCurrent ? nullptr : ParameterBlockProc(kBlockConvert, bytes, nullptr);
    if (!isCurrent && block == nullptr) {
        char text[160];
        std::snprintf(text, sizeof text, "not a parameter set of a version this program reads (version %u.%u.%u.%u)",
                      version.major, version.minor, version.revision, version.build);
        PrintError(path, text);
        return false;
    }
    FilterParameters record;
    std::memcpy(&record, isCurrent ? bytes : block, sizeof record);
    if (block != nullptr) {
        FreeParameterBlock(block);
        std::fprintf(stderr,
                     "corvane: %s: parameter set of an older version, converted for this run; the file is "
                     "left as it is\n",
                     path.c_str());
    }
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
    ReportClampedSamples(options.input, image);
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
        return CancelledExitStatus();
    }
    if (result != noErr) {
        PrintError(options.input, "the filter failed (host result code " + std::to_string(result) + ")");
        return kExitFilter;
    }

    StoreDocumentInImage(document, &image);
    int status = SaveImage(options.output, outputFormat, image);
    if (status == CancelledExitStatus())
        std::fprintf(stderr, "corvane: cancelled; %s was not written\n", options.output.c_str());
    return status;
}
