#include "diag/ModuleVersion.h"

#include <cstdlib>

#include <windows.h>

#include "diag/ErrorReport.h"

void* GetVersionResource(void* module)
{
    constexpr DWORD kNameCapacity = 2048;
    char fileName[kNameCapacity];
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), fileName, kNameCapacity);
    if (length == 0) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetModuleFileName() failed with error code 0x%X",
                    static_cast<unsigned>(GetLastError()));
        return nullptr;
    }
    // A name that fills the whole buffer may have been cut short.
    if (length >= kNameCapacity) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetModuleFileName() path buffer overflow");
        return nullptr;
    }
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetFileVersionInfoSize() failed with error code 0x%X",
                    static_cast<unsigned>(GetLastError()));
        return nullptr;
    }
    void* block = std::malloc(size);
    if (block == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Could not allocate buffer for version resource.");
        return nullptr;
    }
    if (!GetFileVersionInfoA(fileName, 0, size, block)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetFileVersionInfo() failed with error code 0x%X",
                    static_cast<unsigned>(GetLastError()));
        std::free(block);
        return nullptr;
    }
    return block;
}

bool GetFixedFileInfo(void* module, uint32_t version[4])
{
    for (int i = 0; i < 4; ++i)
        version[i] = 0;
    void* block = GetVersionResource(module);
    if (block == nullptr) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetVersionResource() failed with error code 0x%X",
                    static_cast<unsigned>(GetLastError()));
        return false;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueA(block, "\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr) {
        DWORD error = GetLastError();
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "VerQueryValue() failed with error code 0x%X",
                    static_cast<unsigned>(error));
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "GetFixedFileInfo() failed with error code 0x%X",
                    static_cast<unsigned>(error));
        std::free(block);
        return false;
    }
    version[0] = HIWORD(info->dwProductVersionMS);
    version[1] = LOWORD(info->dwProductVersionMS);
    version[2] = HIWORD(info->dwProductVersionLS);
    version[3] = LOWORD(info->dwProductVersionLS);
    std::free(block);
    return true;
}

void* OwnModule()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&OwnModule), &module))
        return nullptr;
    return module;
}
