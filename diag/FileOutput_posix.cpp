#include "diag/FileOutput.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

// A descriptor is carried in the handle as descriptor + 1, so that descriptor 0 is not mistaken for none.

void* CreateLogFile(const char* path, uint32_t* systemError)
{
    int descriptor = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        *systemError = static_cast<uint32_t>(errno);
        return nullptr;
    }
    // A host started with standard input, output or error closed would hand the log that number, and
    // then whatever it prints would land in the log. The log moves above them.
    if (descriptor <= STDERR_FILENO) {
        int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        int failure = errno;
        close(descriptor);
        if (moved < 0) {
            *systemError = static_cast<uint32_t>(failure);
            return nullptr;
        }
        descriptor = moved;
    }
    *systemError = 0;
    return reinterpret_cast<void*>(static_cast<intptr_t>(descriptor) + 1);
}

void AppendLogFile(void* file, const void* bytes, size_t size)
{
    int descriptor = static_cast<int>(reinterpret_cast<intptr_t>(file) - 1);
    const char* at = static_cast<const char*>(bytes);
    while (size > 0) {
        ssize_t written = write(descriptor, at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        at += written;
        size -= static_cast<size_t>(written);
    }
    fdatasync(descriptor);
}

void CloseLogFile(void* file)
{
    close(static_cast<int>(reinterpret_cast<intptr_t>(file) - 1));
}

bool CommitFileToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

int MoveFileOver(const char* source, const char* target)
{
    return std::rename(source, target) == 0 ? 0 : errno;
}

std::FILE* CreateReplacementFile(const char* path, char* temporary, size_t capacity, int* error)
{
    const char* slash = std::strrchr(path, '/');
    const std::string folder =
        slash == nullptr ? std::string(".") : std::string(path, slash == path ? 1 : slash - path);
    long nameLimit = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameLimit <= 0)
        nameLimit = 255;
    if (!FormatReplacementPattern(path, static_cast<size_t>(nameLimit), temporary, capacity)) {
        *error = ENAMETOOLONG;
        return nullptr;
    }
    int descriptor = mkostemp(temporary, O_CLOEXEC);
    if (descriptor < 0) {
        *error = errno;
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        *error = errno;
        close(descriptor);
        unlink(temporary);
    }
    return file;
}
