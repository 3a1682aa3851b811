// The module's per-user folders and the routines that read and write whole files in them.
//
// SetupUserFolders runs once per module load, before the debug log opens; afterwards the accessors hand
// out the folder paths. Every failure is a Debug report; callers carry on with what they have.
#pragma once

#include <cstdint>

#include "host/FilterParameters.h"

constexpr uint32_t kPathCapacity = 1000;

bool SetupUserFolders(const char* shortName, const char* fullName);

// The local (per-user) or common application-data folder joined with `subPath`, into a destination of
// kPathCapacity characters.
bool GetUserDataFolder(const char* subPath, char* destination);
bool GetCommonDataFolder(const char* name, char* destination);
// Creates the folder and every missing parent; true when it exists afterwards.
bool MakeUserDataFolder(const char* path);

// Each copies one folder path into a caller's buffer of kPathCapacity characters. A folder that was never
// set up counts as a failure, so that no caller ever works relative to the current or root folder.
bool GetUserSettingsFolder(char* destination);
bool GetUserParametersFolder(char* destination);
bool GetDebugLogFolder(char* destination);
bool GetProductCommonFolder(char* destination); // fails without a report of its own

// A read succeeds only when the whole record was there: a shorter file leaves the buffer untouched.
bool ReadSettingsFile(const char* name, void* buffer, uint32_t size);
void WriteSettingsFile(const char* name, const void* buffer, uint32_t size);
bool ReadParameterFile(const char* path, void* buffer);
bool WriteParameterFile(const char* path, const void* buffer);
void ReportRemoveFailure(const char* path);

// The version header at the start of a stored record (little-endian, whatever the machine).
RecordVersion ReadRecordVersion(const void* record);
bool CheckRecordVersion(const RecordVersion& expected, const RecordVersion& actual);

// Puts the application-data roots elsewhere (null keeps the system's); for hosts that configure their
// own data location and for tests.
void OverrideApplicationDataRoots(const char* localRoot, const char* commonRoot);
// Forgets the folder paths and overrides, as after loading the module; for tests.
void ResetUserFolders();
