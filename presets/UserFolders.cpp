#include "presets/UserFolders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "diag/ErrorReport.h"
#include "presets/DataFolders.h"

namespace {

constexpr uint32_t kSubPathCapacity = 260;
constexpr const char* kCompanyFolder = "Quillmark";
constexpr const char* kCommonDataName = "QuillmarkSoftware";

struct UserFolderState
{
    char settings[kPathCapacity];
    char parameters[kPathCapacity];
    char logs[kPathCapacity];
    char commonData[kPathCapacity];
    char productCommon[kPathCapacity];
    char localRootOverride[kPathCapacity];  // empty: ask the system
    char commonRootOverride[kPathCapacity]; // empty: ask the system
};

UserFolderState gFolders;

int32_t GetRoot(DataRoot root, char* destination, uint32_t* lastError)
{
    const char* override = root == DataRoot::Local ? gFolders.localRootOverride : gFolders.commonRootOverride;
    if (override[0] != '\0') {
        *lastError = 0;
        std::snprintf(destination, kPathCapacity, "%s", override);
        return 0;
    }
    return GetApplicationDataRoot(root, destination, kPathCapacity, lastError);
}

bool GetDataFolder(DataRoot root, const char* subPath, char* destination)
{
    char rootPath[kPathCapacity];
    uint32_t lastError = 0;
    int32_t result = GetRoot(root, rootPath, &lastError);
    if (result != 0) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "SHGetFolderPath failed with GetFolderResult = '%X' and  Last Error = '%X'",
                    static_cast<unsigned>(result), static_cast<unsigned>(lastError));
        return false;
    }
    char joined[kPathCapacity];
    int length = std::snprintf(joined, sizeof joined, "%s%s%s", rootPath, kPathSeparator, subPath);
    if (length < 0 || static_cast<size_t>(length) >= sizeof joined) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "_stprintf_s() failed with RootDirPath = '%s' and  errno = '%d'", rootPath, ERANGE);
        return false;
    }
    std::memcpy(destination, joined, static_cast<size_t>(length) + 1);
    return true;
}

bool FormatUserSubPath(char* subPath, const char* shortName, const char* leaf)
{
    int length = std::snprintf(subPath, kSubPathCapacity, "%s%s%s%s%s", kCompanyFolder, kPathSeparator, shortName,
                               kPathSeparator, leaf);
    return length >= 0 && static_cast<uint32_t>(length) < kSubPathCapacity;
}

// One user folder: found, then created. Reports its own failures; the sequence goes on regardless.
bool SetupUserFolder(const char* shortName, const char* leaf, const char* label, char* path)
{
    char subPath[kSubPathCapacity];
    if (!FormatUserSubPath(subPath, shortName, leaf) || !GetUserDataFolder(subPath, path)) {
        path[0] = '\0';
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetUserDataFolder() failed.");
        return false;
    }
    if (!MakeUserDataFolder(path)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "MakeUserDataFolder() failed with %s Subdirectory = '%s'", label, subPath);
        return false;
    }
    return true;
}

bool CopyFolder(const char* folder, char* destination)
{
    if (folder[0] == '\0')
        return false;
    std::memcpy(destination, folder, std::strlen(folder) + 1);
    return true;
}

} // namespace

bool SetupUserFolders(const char* shortName, const char* fullName)
{
    bool succeeded = true;
    succeeded &= SetupUserFolder(shortName, "Settings", "Settings", gFolders.settings);
    succeeded &= SetupUserFolder(shortName, "Parameters", "Parameters", gFolders.parameters);
    succeeded &= SetupUserFolder(shortName, "Logs", "DebugLog", gFolders.logs);

    // The common folder is only named here, never created: nothing the module does needs it yet.
    if (!GetCommonDataFolder(kCommonDataName, gFolders.commonData)) {
        gFolders.commonData[0] = '\0';
        gFolders.productCommon[0] = '\0';
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "GetCommonDataFolder() failed to initialize the common data directory.");
        return false;
    }
    int length =
        std::snprintf(gFolders.productCommon, kPathCapacity, "%s%s%s", gFolders.commonData, kPathSeparator, fullName);
    if (length < 0 || static_cast<uint32_t>(length) >= kPathCapacity) {
        gFolders.productCommon[0] = '\0';
        return false;
    }
    return succeeded;
}

bool GetUserDataFolder(const char* subPath, char* destination)
{
    return GetDataFolder(DataRoot::Local, subPath, destination);
}

bool GetCommonDataFolder(const char* name, char* destination)
{
    return GetDataFolder(DataRoot::Common, name, destination);
}

bool MakeUserDataFolder(const char* path)
{
    uint32_t lastError = 0;
    int32_t result = CreateFolderTree(path, &lastError);
    switch (result) {
    case kFolderCreated:
    case kFolderAlreadyExists:
    case kFolderFileExists: return true;
    case kFolderPathNotFound:
    case kFolderBadPathname:
    case kFolderNameTooLong:
    case kFolderCancelled:
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "SHCreateDirectoryEx failed.  Result = '%X' and Last Error = '%X'", static_cast<unsigned>(result),
                    static_cast<unsigned>(lastError));
        return false;
    default:
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                    "SHCreateDirectoryEx failed with unexpected Result = '%X' and Last Error = '%X'",
                    static_cast<unsigned>(result), static_cast<unsigned>(lastError));
        return false;
    }
}

bool GetUserSettingsFolder(char* destination)
{
    if (CopyFolder(gFolders.settings, destination))
        return true;
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "_tcscpy_s() failed with Settings Directory = '%s'",
                gFolders.settings);
    return false;
}

bool GetUserParametersFolder(char* destination)
{
    if (CopyFolder(gFolders.parameters, destination))
        return true;
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "_tcscpy_s() failed with Parameters Directory = '%s'",
                gFolders.parameters);
    return false;
}

bool GetDebugLogFolder(char* destination)
{
    if (CopyFolder(gFolders.logs, destination))
        return true;
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "_tcscpy_s() failed with Debug Log directory = '%s'",
                gFolders.logs);
    return false;
}

bool GetProductCommonFolder(char* destination)
{
    return CopyFolder(gFolders.productCommon, destination);
}

void OverrideApplicationDataRoots(const char* localRoot, const char* commonRoot)
{
    std::snprintf(gFolders.localRootOverride, kPathCapacity, "%s", localRoot != nullptr ? localRoot : "");
    std::snprintf(gFolders.commonRootOverride, kPathCapacity, "%s", commonRoot != nullptr ? commonRoot : "");
}

void ResetUserFolders()
{
    gFolders = UserFolderState{};
}
