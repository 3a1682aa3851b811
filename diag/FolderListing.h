// Listing the files of a folder whose names match a wildcard.
#pragma once

using FolderEntryProc = void (*)(const char* name, void* context);

// Calls `visit` with the bare name of every entry of `folder` that matches `wildcard` ('?' stands for one
// character, '*' for any run), in the order the system lists them. The visitor may delete the entry it
// was given.
void ListMatchingFiles(const char* folder, const char* wildcard, FolderEntryProc visit, void* context);
