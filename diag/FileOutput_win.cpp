#include "diag/FileOutput.h"

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
