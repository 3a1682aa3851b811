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
