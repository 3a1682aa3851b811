// The numbered log files of the Logs folder: the newest ten are kept, the oldest goes.
#pragma once

#include <cstddef>

// Renames the logs "<baseName>_00.log" .. "_08.log" of `folder` one number up (dropping "_09" and any
// stray numbered log beyond it) and answers the path for the new "_00" log. False, and an empty path,
// when `folder` is null or a file could not be moved.
bool RotateDebugLogs(const char* folder, const char* baseName, char* outputPath, size_t capacity);
