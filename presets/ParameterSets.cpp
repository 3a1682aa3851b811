#include "presets/ParameterSets.h"

#include <cstdio>
#include <cstring>

#include "diag/ErrorReport.h"
#include "presets/DataFolders.h"
#include "presets/ParameterBlock.h"
#include "presets/SettingsFiles.h"
#include "presets/UserFolders.h"

namespace {

constexpr const char* kCaptionConversion = "Parameter Set Conversion";
constexpr const char* kCaptionConversionFailed = "Warning - Parameter Set Conversion Failed";
constexpr const char* kCaptionObsoleteSet = "Warning - Failed to Read Saved Parameter Set";
constexpr const char* kCaptionObsoleteLast = "Warning - Failed to Read Initial Settings Parameters";

// A block from the allocator that FreeParameterBlock pairs with, holding `bytes`.
void* NewBlockHolding(const uint8_t* bytes)
{
    void* block = ParameterBlockProc(kBlockFactory, nullptr, nullptr);
    if (block != nullptr)
        std::memcpy(block, bytes, kParameterBlockSize);
    return block;
}

void DeleteLastSavedParameters()
{
    char folder[kPathCapacity];
    if (!GetUserSettingsFolder(folder))
        return;
    char path[kPathCapacity + 64];
    std::snprintf(path, sizeof path, "%s%s%s", folder, kPathSeparator, kLastSavedParametersFile);
    if (std::remove(path) != 0)
        ReportRemoveFailure(path);
}

} // namespace

void* ReadParameterSet(const char* path)
{
    uint8_t bytes[kParameterBlockSize];
    if (!ReadParameterFile(path, bytes))
        return nullptr;
    RecordVersion version = ReadRecordVersion(bytes);
    if (CheckRecordVersion(kCurrentParametersVersion, version))
        return NewBlockHolding(bytes);

    void* converted = ParameterBlockProc(kBlockConvert, bytes, nullptr);
    if (converted != nullptr) {
        ReportError(USER_SITE, kStyleInformation, kCaptionConversion,
                    "Your Parameter Set file '%s' was saved in an older format and has been converted.\r\n\r\n"
                    "The converted Parameter Set is being saved, replacing the original file.",
                    path);
        if (!WriteParameterFile(path, converted))
            ReportError(USER_SITE, kStyleWarning, kCaptionConversionFailed,
                        "The converted Parameter Set file '%s' could not be saved.", path);
        return converted;
    }

    ReportError(USER_SITE, kStyleWarning, kCaptionObsoleteSet,
                "Your Parameter Set file '%s' was saved in an obsolete format and is being deleted.\r\n\r\n"
                "File Version: Major Version = '%d', Minor Version = '%d', Revision = '%d', Build = '%d'",
                path, version.major, version.minor, version.revision, version.build);
    if (std::remove(path) != 0)
        ReportRemoveFailure(path);
    return nullptr;
}

bool RestoreLastSavedParameters(FilterParameters* current)
{
    uint8_t bytes[kParameterBlockSize];
    if (!ReadSettingsFile(kLastSavedParametersFile, bytes, sizeof bytes)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Failed to load last parameters file.");
        return false;
    }
    RecordVersion version = ReadRecordVersion(bytes);
    if (CheckRecordVersion(kCurrentParametersVersion, version)) {
        ParameterBlockProc(kBlockApply, bytes, current);
        return true;
    }

    void* converted = ParameterBlockProc(kBlockConvert, bytes, nullptr);
    if (converted != nullptr) {
        ParameterBlockProc(kBlockApply, converted, current);
        ReportError(USER_SITE, kStyleInformation, kCaptionConversion,
                    "Your Initial Settings Parameter Set file '%s' was saved in an older format and has been "
                    "converted.\r\n\r\nThe converted Parameter Set is being saved, replacing the original file.",
                    kLastSavedParametersFile);
        WriteSettingsFile(kLastSavedParametersFile, converted, kParameterBlockSize);
        FreeParameterBlock(converted);
        return true;
    }

    ReportError(USER_SITE, kStyleWarning, kCaptionObsoleteLast,
                "Your Initial Settings Parameter Set file was saved in an obsolete format and is being deleted.  "
                "Parameters will be set to defaults.\r\n\r\n"
                "File Version: Major Version = '%d', Minor Version = '%d', Revision = '%d', Build = '%d'",
                version.major, version.minor, version.revision, version.build);
    DeleteLastSavedParameters();
    return false;
}
