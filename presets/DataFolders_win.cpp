#include "presets/DataFolders.h"

#include <cstdio>

#include <windows.h>

#include <shlobj.h>

int32_t GetApplicationDataRoot(DataRoot root, char* destination, size_t capacity, uint32_t* lastError)
{
    char folder[MAX_PATH] = {};
    int csidl = (root == DataRoot::Local ? CSIDL_LOCAL_APPDATA : CSIDL_COMMON_APPDATA) | CSIDL_FLAG_CREATE;
    HRESULT result = SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
    *lastError = GetLastError();
    if (result != S_OK)
        return static_cast<int32_t>(result);
    int length = std::snprintf(destination, capacity, "%s", folder);
    if (length < 0 || static_cast<size_t>(length) >= capacity)
        return static_cast<int32_t>(E_FAIL);
    return 0;
}

int32_t CreateFolderTree(const char* path, uint32_t* lastError)
{
    int result = SHCreateDirectoryExA(nullptr, path, nullptr);
    *lastError = GetLastError();
    return static_cast<int32_t>(result);
}
