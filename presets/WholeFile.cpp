#include "presets/WholeFile.h"

#include <cerrno>
#include <cstdio>

#include "diag/FileOutput.h"
#include "presets/UserFolders.h"

WholeFileResult WriteWholeFile(const char* path, const void* data, size_t size, int* error)
{
    // A name of its own for every writer: two processes saving the same file at once must not write
    // into one temporary file, and the last complete one wins.
    char temporary[kPathCapacity + 32];
    std::FILE* file = CreateReplacementFile(path, temporary, sizeof temporary, error);
    if (file == nullptr)
        return WholeFileResult::OpenFailed;
    errno = 0;
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
