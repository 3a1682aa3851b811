// Shifting the logs of earlier module loads up by one number before a new log is made, so that _00 is
// always the newest and at most ten logs exist.
#include <cerrno>
#include <cstdio>

#include "diag/DebugLog.h"
#include "diag/FolderListing.h"
#include "diag/LogRotation.h"

namespace {

constexpr const char* kLogExtension = "log";
constexpr unsigned kKeptLogs = 9; // _00 to _08 move up; _09 makes room

struct RotationScan
{
    const char* folder;
    bool kept[kKeptLogs];
    bool deleteFailed;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Only a name whose number is exactly two digits is kept: anything else the wildcard lets through (a
// one-digit number, a sign, a blank) could share a number with a proper log and be renamed onto it.
void VisitLogFile(const char* name, void* context)
{
    RotationScan* scan = static_cast<RotationScan*>(context);
    const char* number = nullptr;
    for (const char* at = name; *at != '\0'; ++at) {
        if (*at == '_')
            number = at + 1;
    }
    if (number != nullptr && IsDigit(number[0]) && IsDigit(number[1]) && number[2] == '.') {
        unsigned value = static_cast<unsigned>((number[0] - '0') * 10 + (number[1] - '0'));
        if (value < kKeptLogs) {
            scan->kept[value] = true;
            return;
        }
    }
    char path[2 * kPathCapacity];
    std::snprintf(path, sizeof path, "%s%s%s", scan->folder, kPathSeparator, name);
    if (std::remove(path) != 0) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "_tremove() failed with error = '%d'. File to be deleted was '%s'", errno, path);
        scan->deleteFailed = true;
    }
}

bool FormatLogPath(char* destination, size_t capacity, const char* folder, const char* baseName, unsigned number)
{
    int length =
        std::snprintf(destination, capacity, "%s%s%s_%02u.%s", folder, kPathSeparator, baseName, number, kLogExtension);
    return length >= 0 && static_cast<size_t>(length) < capacity;
}

} // namespace

bool RotateDebugLogs(const char* folder, const char* baseName, char* outputPath, size_t capacity)
{
    if (capacity > 0)
        outputPath[0] = '\0';
    if (folder == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetDebugLogFolder() failed.");
        return false;
    }

    RotationScan scan{folder, {}, false};
    char wildcard[kPathCapacity];
    std::snprintf(wildcard, sizeof wildcard, "%s_??.%s", baseName, kLogExtension);
    ListMatchingFiles(folder, wildcard, VisitLogFile, &scan);
    if (scan.deleteFailed)
        return false;

    // From the top down, so that no rename meets a name still in use.
    for (unsigned number = kKeptLogs; number-- > 0;) {
        if (!scan.kept[number])
            continue;
        char from[kPathCapacity + 64];
        char to[kPathCapacity + 64];
        FormatLogPath(from, sizeof from, folder, baseName, number);
        FormatLogPath(to, sizeof to, folder, baseName, number + 1);
        if (std::rename(from, to) != 0) {
            ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                        "_trename() failed with error = '%d'. Original Name was '%s', New Name is '%s'", errno, from,
                        to);
            return false;
        }
    }
    if (!FormatLogPath(outputPath, capacity, folder, baseName, 0)) {
        if (capacity > 0)
            outputPath[0] = '\0';
        return false;
    }
    return true;
}
