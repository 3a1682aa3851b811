// The module's per-user folders.
//
// SetupUserFolders runs once per module load, before the debug log opens; afterwards the accessors hand
// out the folder paths. Every failure is a Debug report; callers carry on with what they have.
#pragma once

#include <cstdint>

#include "diag/FolderListing.h"

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

// Puts the application-data roots elsewhere (null keeps the system's); for hosts that configure their
// own data location and for tests.
void OverrideApplicationDataRoots(const char* localRoot, const char* commonRoot);
// Forgets the folder paths and overrides, as after loading the module; for tests.
void ResetUserFolders();
