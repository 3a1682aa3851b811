// The rotating debug log: one UTF-16LE file per module load in the user's Logs folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "diag/ErrorReport.h"

void SetDebugLogProductName(const char* productName);
// Opens a new log in `folder`; null (the Logs folder could not be set up) is reported and opens none.
// Only the first call of a module load tries.
void OpenDebugLog(void* ownerWindow, const char* folder);
void CloseDebugLog();
void WriteDebugLog(const char* format, ...) CORVANE_PRINTF_FORMAT(1, 2);
// The owner window of message boxes (null before OpenDebugLog).
void* DebugLogOwnerWindow();
// The path of the open log; empty while none is open.
const char* DebugLogPath();

// The opening banner (followed by an empty line) and the closing line, for a local time and the
// product version (major, minor, revision, build). Answer the length, or 0 when it did not fit.
size_t FormatLogBanner(char* destination, size_t capacity, const char* productName, const uint32_t version[4],
                       const std::tm& localTime);
size_t FormatLogClosing(char* destination, size_t capacity, const char* productName, const std::tm& localTime);

// Forgets the log state, as after loading the module; for tests.
void ResetDebugLog();
