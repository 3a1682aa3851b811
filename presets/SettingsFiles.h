// Small fixed-size records read and written whole: settings files in the Settings folder by name, and
// parameter-set files by path.
#pragma once

#include <cstdint>

// A read succeeds only when the whole record was there: a shorter file leaves the buffer untouched.
bool ReadSettingsFile(const char* name, void* buffer, uint32_t size);
void WriteSettingsFile(const char* name, const void* buffer, uint32_t size);
bool ReadParameterFile(const char* path, void* buffer);
bool WriteParameterFile(const char* path, const void* buffer);
void ReportRemoveFailure(const char* path);
