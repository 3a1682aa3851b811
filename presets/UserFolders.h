// The module's per-user folders and the routines that read and write whole files in them.
#pragma once

#include <cstdint>

#include "host/FilterParameters.h"

constexpr uint32_t kPathCapacity = 1000;

bool SetupUserFolders(const char* shortName, const char* fullName);
bool GetUserSettingsFolder(char* destination);
bool GetUserParametersFolder(char* destination);
bool GetDebugLogFolder(char* destination);

bool ReadSettingsFile(const char* name, void* buffer, uint32_t size);
void WriteSettingsFile(const char* name, const void* buffer, uint32_t size);
bool ReadParameterFile(const char* path, void* buffer);
bool WriteParameterFile(const char* path, const void* buffer);
bool CheckRecordVersion(const RecordVersion& expected, const RecordVersion& actual);
