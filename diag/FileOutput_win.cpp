#include "diag/FileOutput.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <io.h>

#include <windows.h>

void* CreateLogFile(const char* path, uint32_t* systemError)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *systemError = GetLastError();
        return nullptr;
    }
    *systemError = 0;
    return file;
}

void AppendLogFile(void* file, const void* bytes, size_t size)
{
    DWORD written = 0;
    WriteFile(static_cast<HANDLE>(file), bytes, static_cast<DWORD>(size), &written, nullptr);
    FlushFileBuffers(static_cast<HANDLE>(file));
}

void CloseLogFile(void* file)
{
    CloseHandle(static_cast<HANDLE>(file));
}

bool CommitFileToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

int MoveFileOver(const char* source, const char* target)
{
    if (MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return static_cast<int>(GetLastError());
}

std::FILE* CreateReplacementFile(const char* path, char* temporary, size_t capacity, int* error)
{
    // Windows has no limit on names below the 255 characters of its file systems worth asking for.
    if (!FormatReplacementPattern(path, 255, temporary, capacity)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return nullptr;
    }
    char* suffix = temporary + std::strlen(temporary) - 6;
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t state = static_cast<uint64_t>(counter.QuadPart) ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^
                     static_cast<uint64_t>(GetCurrentThreadId());
    for (int attempt = 0; attempt < 100; ++attempt) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        for (int i = 0; i < 6; ++i)
            suffix[i] = kLetters[(state >> (16 + 6 * i)) % 36];
        // CREATE_NEW fails on an existing name, so two writers never share a file.
        HANDLE handle = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD failure = GetLastError();
            if (failure == ERROR_FILE_EXISTS || failure == ERROR_ALREADY_EXISTS)
                continue;
            *error = static_cast<int>(failure);
            return nullptr;
        }
        int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (descriptor < 0) {
            *error = errno;
            CloseHandle(handle);
            DeleteFileA(temporary);
            return nullptr;
        }
        std::FILE* file = _fdopen(descriptor, "wb");
        if (file == nullptr) {
            *error = errno;
            _close(descriptor);
            DeleteFileA(temporary);
        }
        return file;
    }
    *error = ERROR_FILE_EXISTS;
    return nullptr;
}
