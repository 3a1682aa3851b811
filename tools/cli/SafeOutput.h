// Output files that appear whole or not at all, and never in place of something that is not a file.
//
// The data goes to a temporary file beside the destination (same folder, so the final rename cannot
// cross file systems; hidden and named ".OUT.corvane-XXXXXX" so that a person knows what it is), is
// flushed to the disk, and only then renamed over the destination. Every write is checked up to the
// close, so a full disk fails the output instead of leaving a short file in its place. A failed or
// interrupted run removes the temporary file and leaves the old output as it was.
//
// Only a regular file or a new name is replaced: a device, pipe, socket or folder is refused. A
// symbolic link is followed, so its target is replaced and the link stays; a replaced file keeps its
// permission bits (and, where allowed, its owner).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The open file a codec writes to. The first failure is kept and every later write refused, so that
// a failure a codec does not report still fails the output.
struct OutputFile
{
    int descriptor = -1;
    int error = 0; // errno of the first failed write; 0 while every write succeeded
};

// Writes all of `bytes` at the file's position; false (with file->error set) when it cannot.
bool WriteToOutput(OutputFile* file, const void* bytes, size_t size);

struct SafeOutput
{
    std::string finalPath;       // the file replaced: the path given, or the file its symbolic link names
    std::string tempPath;        // empty once committed or abandoned
    std::FILE* stream = nullptr; // the temporary file while it is open
    OutputFile file;             // its descriptor, for the codecs
};

// Checks the destination and creates the temporary file (empty) for `path`. On failure `error` holds
// the reason and nothing was created.
bool BeginSafeOutput(const std::string& path, SafeOutput* output, std::string* error);

// Checks every write, flushes the temporary file to the disk, closes it and renames it to the
// destination; on failure the temporary file is removed and `error` holds the reason.
bool CommitSafeOutput(SafeOutput* output, std::string* error);

// Removes the temporary file; harmless when there is none.
void AbandonSafeOutput(SafeOutput* output);

// The temporary file of the output being written, for removal from a signal handler (async-safe);
// null when none.
const char* PendingTemporaryFile();
