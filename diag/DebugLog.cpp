#include "diag/DebugLog.h"

// Placeholders until the diagnostics land.
void SetDebugLogProductName(const char*) {}
void OpenDebugLog(void*) {}
void CloseDebugLog() {}
void WriteDebugLog(const char*, ...) {}
bool RotateDebugLogs(const char*, char* outputPath, size_t capacity)
{
    if (capacity > 0)
        outputPath[0] = '\0';
    return false;
}
void* DebugLogOwnerWindow()
{
    return nullptr;
}
void ResetDebugLog() {}
