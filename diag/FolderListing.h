// Paths of files and folders: their size, their separator, and listing the files of a folder whose names
// match a wildcard.
#pragma once

#include <cstdint>

// Paths are 8-bit strings in buffers of this many characters.
constexpr uint32_t kPathCapacity = 1000;

// The separator between the parts of a path on this system, as a one-character string.
extern const char kPathSeparator[];
// Whether this system's file names differ only in letter case when they name the same file.
extern const bool kPathNamesIgnoreCase;

using FolderEntryProc = void (*)(const char* name, void* context);

// Calls `visit` with the bare name of every entry of `folder` that matches `wildcard` ('?' stands for one
// character, '*' for any run), in the order the system lists them. The visitor may delete the entry it
// was given.
void ListMatchingFiles(const char* folder, const char* wildcard, FolderEntryProc visit, void* context);
