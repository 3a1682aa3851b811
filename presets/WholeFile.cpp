#include "presets/WholeFile.h"

#include <cerrno>
#include <cstdio>

#include "diag/FileOutput.h"
#include "presets/UserFolders.h"

WholeFileResult WriteWholeFile(const char* path, const void* data, size_t size, int* error)
{
    char temporary[kPathCapacity + 16];
    int length = std::snprintf(temporary, sizeof temporary, "%s.tmp", path);
    if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) {
        *error = ENAMETOOLONG;
        return WholeFileResult::OpenFailed;
    }
    errno = 0;
    std::FILE* file = std::fopen(temporary, "wb");
    if (file == nullptr) {
        *error = errno;
        return WholeFileResult::OpenFailed;
    }
    bool written = std::fwrite(data, 1, size, file) == size;
    if (written)
        written = CommitFileToDisk(file);
    *error = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        *error = errno;
    }
    if (written) {
        int moveError = MoveFileOver(temporary, path);
        if (moveError == 0)
            return WholeFileResult::Written;
        *error = moveError;
    }
    std::remove(temporary);
    return WholeFileResult::WriteFailed;
}
