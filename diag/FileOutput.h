// Writing files so that what was written survives a crash of the host: the debug log is flushed to
// disk after every append, and whole files are committed before they replace the old ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Creates (or truncates) a file for writing that others may read, rename or delete while it is open.
// Null and the system's error code when it cannot.
void* CreateLogFile(const char* path, uint32_t* systemError);
// Appends and flushes to disk; errors are not reported, so that the log can never stop the filter.
void AppendLogFile(void* file, const void* bytes, size_t size);
void CloseLogFile(void* file);

// Pushes everything written to `file` through to the disk; false when the system refuses.
bool CommitFileToDisk(std::FILE* file);
// Renames `source` to `target`, replacing an existing target in one step. 0, or the system's error.
int MoveFileOver(const char* source, const char* target);

// Creates a new, empty file for writing in the folder of `path`, to be moved over `path` once complete.
// Its name is hidden, says which program left it and is unique among writers running at the same time:
// ".NAME.corvane-XXXXXX", with NAME shortened where the whole would pass the file system's limit on
// names. The name goes to `temporary` (`capacity` bytes). Null and the system's error when it cannot.
std::FILE* CreateReplacementFile(const char* path, char* temporary, size_t capacity, int* error);

// The name pattern behind it, ending in "XXXXXX", for a file system whose names hold at most
// `nameLimit` bytes; false when it does not fit `capacity`.
bool FormatReplacementPattern(const char* path, size_t nameLimit, char* pattern, size_t capacity);
