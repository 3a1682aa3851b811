// Output files that appear whole or not at all.
//
// The data goes to a temporary file beside the destination (same folder, so the final rename cannot
// cross file systems), is flushed to the disk, and only then renamed over the destination. A failed
// or interrupted run removes the temporary file, so no truncated output is ever left behind.
#pragma once

#include <string>

struct SafeOutput
{
    std::string finalPath;
    std::string tempPath; // empty once committed or abandoned
};

// Creates the temporary file (empty) for `path`. On failure `error` holds the reason.
bool BeginSafeOutput(const std::string& path, SafeOutput* output, std::string* error);

// Flushes the temporary file to the disk and renames it to the destination; on failure the temporary
// file is removed and `error` holds the reason.
bool CommitSafeOutput(SafeOutput* output, std::string* error);

// Removes the temporary file; harmless when there is none.
void AbandonSafeOutput(SafeOutput* output);

// The temporary file of the output being written, for removal from a signal handler (async-safe);
// null when none.
const char* PendingTemporaryFile();
