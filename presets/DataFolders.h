// Where the system keeps application data, and the creation of folder trees there.
#pragma once

#include <cstddef>
#include <cstdint>

#include "diag/FolderListing.h"

enum class DataRoot
{
    Local,  // per user, on this machine
    Common, // shared by all users
};

// Copies the root folder into `destination` and answers 0; otherwise the system's failure code, with
// the system's last error in `lastError`.
int32_t GetApplicationDataRoot(DataRoot root, char* destination, size_t capacity, uint32_t* lastError);

// Result codes of CreateFolderTree, in the system's own numbering where it has one.
constexpr int32_t kFolderCreated = 0;
constexpr int32_t kFolderPathNotFound = 3;
constexpr int32_t kFolderFileExists = 80;
constexpr int32_t kFolderBadPathname = 161;
constexpr int32_t kFolderAlreadyExists = 183;
constexpr int32_t kFolderNameTooLong = 206;
constexpr int32_t kFolderCancelled = 1223;

// Creates the folder at the full `path` and every missing parent.
int32_t CreateFolderTree(const char* path, uint32_t* lastError);
