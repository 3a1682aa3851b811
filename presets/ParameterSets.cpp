#include "presets/ParameterSets.h"

#include <cstdio>
#include <cstdlib>
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
constexpr const char* kVersionLine =
    "File Version: Major Version = '%d', Minor Version = '%d', Revision = '%d', Build = '%d'";

// A block from the allocator that FreeParameterBlock pairs with, holding `bytes`.
void* NewBlockHolding(const uint8_t* bytes)
{
    void* block = ParameterBlockProc(kBlockFactory, nullptr, nullptr);
    if (block != nullptr)
        std::memcpy(block, bytes, kParameterBlockSize);
    return block;
}

struct VersionText
{
    char text[160];
};

VersionText VersionLine(const RecordVersion& version)
{
    VersionText line;
    std::snprintf(line.text, sizeof line.text, kVersionLine, version.major, version.minor, version.revision,
                  version.build);
    return line;
}

char FoldCase(char c)
{
    return kPathNamesIgnoreCase && c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameNames(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

// The system's separator, and the forward slash that Windows accepts as well.
bool IsSeparator(char c)
{
    return c == kPathSeparator[0] || c == '/';
}

bool HasSetExtension(const char* fileName)
{
    const size_t length = std::strlen(fileName);
    const size_t extension = std::strlen(kParameterSetExtension);
    return length > extension + 1 && fileName[length - extension - 1] == '.' &&
           SameNames(fileName + length - extension, kParameterSetExtension, extension);
}

bool JoinPath(const char* folder, const char* fileName, char* path)
{
    const int length = std::snprintf(path, kPathCapacity, "%s%s%s", folder, kPathSeparator, fileName);
    return length >= 0 && static_cast<uint32_t>(length) < kPathCapacity;
}

// The names of the folder's matching files, collected before any is read: reading may replace a file
// (conversion) or delete it, and a directory changed while it is being listed may list a file twice.
struct NameList
{
    char* names; // one after another, each with its terminating zero
    size_t used;
    size_t capacity;
};

void CollectName(const char* name, void* context)
{
    NameList& list = *static_cast<NameList*>(context);
    const size_t size = std::strlen(name) + 1;
    if (list.used + size > list.capacity) {
        const size_t capacity = 2 * (list.capacity + size);
        char* grown = static_cast<char*>(std::realloc(list.names, capacity));
        if (grown == nullptr)
            return; // the set is simply not listed
        list.names = grown;
        list.capacity = capacity;
    }
    std::memcpy(list.names + list.used, name, size);
    list.used += size;
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

    // Only our own folder's files are rewritten or deleted: anything else is the user's file, picked
    // from wherever they keep it, and losing it would be losing their data.
    const bool own = IsOwnParameterSet(path);
    void* converted = ParameterBlockProc(kBlockConvert, bytes, nullptr);
    if (converted != nullptr && !own) {
        ReportError(USER_SITE, kStyleInformation, kCaptionConversion,
                    "Your Parameter Set file '%s' was saved in an older format and has been converted.\r\n\r\n"
                    "The original file is left unchanged.",
                    path);
        return converted;
    }
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

    if (!own) {
        ReportError(USER_SITE, kStyleWarning, kCaptionObsoleteSet,
                    "Your Parameter Set file '%s' was saved in an obsolete format and cannot be read.\r\n\r\n%s", path,
                    VersionLine(version).text);
        return nullptr;
    }
    ReportError(USER_SITE, kStyleWarning, kCaptionObsoleteSet,
                "Your Parameter Set file '%s' was saved in an obsolete format and is being deleted.\r\n\r\n%s", path,
                VersionLine(version).text);
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
                "Parameters will be set to defaults.\r\n\r\n%s",
                VersionLine(version).text);
    DeleteLastSavedParameters();
    return false;
}

bool IsOwnParameterSet(const char* path)
{
    char folder[kPathCapacity];
    if (path == nullptr || !GetUserParametersFolder(folder))
        return false;
    size_t length = std::strlen(folder);
    while (length > 0 && IsSeparator(folder[length - 1]))
        --length;
    if (length == 0 || std::strlen(path) <= length + 1 || !SameNames(path, folder, length) ||
        !IsSeparator(path[length]))
        return false;
    const char* name = path + length + 1;
    for (const char* at = name; *at != '\0'; ++at)
        if (IsSeparator(*at))
            return false;
    return HasSetExtension(name);
}

const char* FileNameOfPath(const char* path)
{
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at)
        if (IsSeparator(*at))
            name = at + 1;
    return name;
}

void SetNameOfFile(const char* fileName, SetNameCut cut, char* name)
{
    const char* period = cut == SetNameCut::FirstPeriod ? std::strchr(fileName, '.') : std::strrchr(fileName, '.');
    size_t length = period != nullptr ? size_t(period - fileName) : std::strlen(fileName);
    if (length >= kSetNameCapacity)
        length = kSetNameCapacity - 1;
    std::memcpy(name, fileName, length);
    name[length] = '\0';
}

void ListParameterSets(ParameterSetProc visit, void* context)
{
    char folder[kPathCapacity];
    if (!CopyParametersFolder(folder))
        return;
    char wildcard[16];
    std::snprintf(wildcard, sizeof wildcard, "*.%s", kParameterSetExtension);
    NameList list{nullptr, 0, 0};
    ListMatchingFiles(folder, wildcard, CollectName, &list);
    for (size_t at = 0; at < list.used; at += std::strlen(list.names + at) + 1) {
        const char* fileName = list.names + at;
        char path[kPathCapacity];
        // The system may also match a longer extension through a file's short name; such a file is not ours.
        if (!JoinPath(folder, fileName, path) || !IsOwnParameterSet(path))
            continue;
        if (void* block = ReadParameterSet(path))
            visit(fileName, block, context);
    }
    std::free(list.names);
}

bool CopyParametersFolder(char* folder)
{
    if (GetUserParametersFolder(folder))
        return true;
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetUserParametersFolder() failed.");
    return false;
}

bool DeleteParameterSet(const char* folder, const char* fileName)
{
    char path[kPathCapacity];
    if (JoinPath(folder, fileName, path) && std::remove(path) == 0)
        return true;
    ReportRemoveFailure(path);
    return false;
}
