#include "presets/DataFolders.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace {

constexpr int32_t kFailed = static_cast<int32_t>(0x80004005); // the system's generic failure
constexpr int32_t kAccessDenied = 5;
constexpr int32_t kNotAFolder = 267;

bool IsFolder(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

int32_t FolderResultOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return kFolderPathNotFound;
    case ENAMETOOLONG: return kFolderNameTooLong;
    case EACCES:
    case EPERM:
    case EROFS: return kAccessDenied;
    default: return kFailed;
    }
}

} // namespace

// Per-user data follows the XDG convention; data for all users lives in the system's state folder.
int32_t GetApplicationDataRoot(DataRoot root, char* destination, size_t capacity, uint32_t* lastError)
{
    *lastError = 0;
    int length = -1;
    if (root == DataRoot::Common) {
        length = std::snprintf(destination, capacity, "%s", "/var/lib");
    } else {
        const char* dataHome = std::getenv("XDG_DATA_HOME");
        const char* home = std::getenv("HOME");
        // The convention ignores a relative data home.
        if (dataHome != nullptr && dataHome[0] == '/')
            length = std::snprintf(destination, capacity, "%s", dataHome);
        else if (home != nullptr && home[0] == '/')
            length = std::snprintf(destination, capacity, "%s/.local/share", home);
        else
            return kFailed;
    }
    if (length < 0 || static_cast<size_t>(length) >= capacity) {
        *lastError = ENAMETOOLONG;
        return kFailed;
    }
    return 0;
}

int32_t CreateFolderTree(const char* path, uint32_t* lastError)
{
    *lastError = 0;
    size_t length = std::strlen(path);
    if (length == 0 || path[0] != '/')
        return kFolderBadPathname;
    if (IsFolder(path))
        return kFolderAlreadyExists;
    char partial[4096];
    if (length >= sizeof partial) {
        *lastError = ENAMETOOLONG;
        return kFolderNameTooLong;
    }
    std::memcpy(partial, path, length + 1);
    // Create each missing level from the top; a level that exists already is passed by.
    for (size_t end = 1; end <= length; ++end) {
        if (end < length && partial[end] != '/')
            continue;
        char kept = partial[end];
        partial[end] = '\0';
        if (mkdir(partial, 0755) != 0 && errno != EEXIST) {
            *lastError = static_cast<uint32_t>(errno);
            return FolderResultOf(errno);
        }
        partial[end] = kept;
    }
    if (!IsFolder(path)) {
        *lastError = ENOTDIR;
        return kNotAFolder;
    }
    return kFolderCreated;
}
