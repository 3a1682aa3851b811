#include "presets/SettingsFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag/ErrorReport.h"
#include "presets/DataFolders.h"
#include "presets/ParameterBlock.h"
#include "presets/UserFolders.h"
#include "presets/WholeFile.h"

namespace {

constexpr size_t kParameterFileSize = kParameterBlockSize;

bool FormatSettingsPath(const char* name, char* path)
{
    char folder[kPathCapacity];
    if (!GetUserSettingsFolder(folder)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetUserDataFolder() failed.");
        return false;
    }
    int length = std::snprintf(path, kPathCapacity, "%s%s%s", folder, kPathSeparator, name);
    if (length < 0 || static_cast<uint32_t>(length) >= kPathCapacity) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "_stprintf_s() failed with Filename = '%s' and  errno = '%d'", name, ERANGE);
        return false;
    }
    return true;
}

// Reads exactly `size` bytes from the start of the open file into `scratch`; a shorter file is a failed
// read, because bytes past its end would otherwise reach the record as whatever the buffer held.
bool ReadWhole(std::FILE* file, void* scratch, size_t size, int* error)
{
    errno = 0;
    size_t count = std::fread(scratch, 1, size, file);
    *error = errno;
    return count == size;
}

bool WriteWhole(const char* path, const void* buffer, size_t size)
{
    int error = 0;
    switch (WriteWholeFile(path, buffer, size, &error)) {
    case WholeFileResult::Written: return true;
    case WholeFileResult::OpenFailed:
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "_tfopen() failed with FilePath = '%s'  and  errno = '%d'", path, error);
        return false;
    case WholeFileResult::WriteFailed: break;
    }
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "fwrite() failed with FilePath = '%s'  and  errno = '%d'",
                path, error);
    return false;
}

} // namespace

bool ReadSettingsFile(const char* name, void* buffer, uint32_t size)
{
    char path[kPathCapacity];
    if (!FormatSettingsPath(name, path))
        return false;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false; // not written yet: not a failure
    void* scratch = std::malloc(size == 0 ? 1 : size);
    int error = ENOMEM;
    bool read = scratch != nullptr && size > 0 && ReadWhole(file, scratch, size, &error);
    std::fclose(file);
    if (read)
        std::memcpy(buffer, scratch, size);
    else
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "fread() failed to read settings file '%s' with errno = '%d'", path, error);
    std::free(scratch);
    return read;
}

void WriteSettingsFile(const char* name, const void* buffer, uint32_t size)
{
    char path[kPathCapacity];
    if (FormatSettingsPath(name, path))
        WriteWhole(path, buffer, size);
}

bool ReadParameterFile(const char* path, void* buffer)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    uint8_t scratch[kParameterFileSize];
    int error = 0;
    bool read = ReadWhole(file, scratch, sizeof scratch, &error);
    std::fclose(file);
    if (!read) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "fread() failed with errno = '%d'", error);
        return false;
    }
    std::memcpy(buffer, scratch, sizeof scratch);
    return true;
}

bool WriteParameterFile(const char* path, const void* buffer)
{
    return WriteWhole(path, buffer, kParameterFileSize);
}

void ReportRemoveFailure(const char* path)
{
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                "_tremove() failed with error = '%d'. File to be deleted was '%s'", errno, path);
}
