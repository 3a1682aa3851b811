// Parameter-set files: reading with version check, conversion of the older format and deletion of
// obsolete ones; the sets of the user's Parameters folder and the names they are listed under; the
// last-parameters file that stands in when the host cannot keep the parameters.
//
// Only the module's own sets (see IsOwnParameterSet) are ever rewritten or deleted. A file the user
// picked anywhere else is read and, if need be, converted in memory, but left exactly as it was.
#pragma once

#include <cstddef>

#include "engine/FilterParameters.h"

constexpr const char* kLastSavedParametersFile = "LastSavedParameters.cvp";
constexpr const char* kParameterSetExtension = "cvp";
// Display names of sets, with their terminating zero.
constexpr size_t kSetNameCapacity = 256;

// Reads, checks and if need be converts one file; a new 255-byte block (FreeParameterBlock) or null.
void* ReadParameterSet(const char* path);
// Reads the last-parameters file into `current`; false when it could not.
bool RestoreLastSavedParameters(FilterParameters* current);

// True for a file directly in the Parameters folder with the set extension: the files the module lists
// and owns. A subfolder, a sibling folder whose name merely starts alike, a path that climbs out with
// "..", a relative path or another extension is not.
bool IsOwnParameterSet(const char* path);

// The bare file name of `path` (what follows the last separator).
const char* FileNameOfPath(const char* path);

enum class SetNameCut
{
    FirstPeriod, // as listed from the folder: "my.stars.cvp" is "my"
    LastPeriod,  // as loaded or saved through the menu: "my.stars.cvp" is "my.stars"
};
// The name a set is shown under, from its bare file name, cut to kSetNameCapacity.
void SetNameOfFile(const char* fileName, SetNameCut cut, char* name);

// Calls `visit` for every readable set of the Parameters folder, in the order the system lists them,
// with its bare file name and a new block that the visitor then owns. Older files are converted and
// obsolete ones deleted as they are read, each with its notice.
using ParameterSetProc = void (*)(const char* fileName, void* block, void* context);
void ListParameterSets(ParameterSetProc visit, void* context);

// Copies the Parameters folder into `folder` (kPathCapacity); on failure both reports are made.
bool CopyParametersFolder(char* folder);
// Deletes the set file `fileName` of `folder`; a failure is reported and answered false.
bool DeleteParameterSet(const char* folder, const char* fileName);
