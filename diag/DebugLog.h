// The rotating debug log: one UTF-16LE file per module load in the user's Logs folder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "diag/ErrorReport.h"

void SetDebugLogProductName(const char* productName);
void OpenDebugLog(void* ownerWindow);
void CloseDebugLog();
void WriteDebugLog(const char* format, ...) CORVANE_PRINTF_FORMAT(1, 2);
bool RotateDebugLogs(const char* baseName, char* outputPath, size_t capacity);
// The owner window of message boxes (null before OpenDebugLog).
void* DebugLogOwnerWindow();
// Forgets the log state, as after loading the module; for tests.
void ResetDebugLog();
