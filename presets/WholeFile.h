// Replacing a file as a whole: the new contents go to a temporary file in the same folder, reach the
// disk, and only then take the old file's place in one step. A crash or a full disk at any moment leaves
// either the old file or the new one, never a truncated mixture, and of several processes writing the
// same file at once one complete version wins.
#pragma once

#include <cstddef>

enum class WholeFileResult
{
    Written,
    OpenFailed,  // the temporary file could not be created; nothing changed
    WriteFailed, // writing, flushing or replacing failed; the old file is intact
};

// `error` receives the C runtime's or the system's error number of the failing step.
WholeFileResult WriteWholeFile(const char* path, const void* data, size_t size, int* error);
