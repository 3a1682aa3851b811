#include "diag/FolderListing.h"

#include <dirent.h>
#include <fnmatch.h>

const char kPathSeparator[] = "/";
const bool kPathNamesIgnoreCase = false;

void ListMatchingFiles(const char* folder, const char* wildcard, FolderEntryProc visit, void* context)
{
    DIR* directory = opendir(folder);
    if (directory == nullptr)
        return;
    while (dirent* entry = readdir(directory)) {
        if (fnmatch(wildcard, entry->d_name, FNM_PERIOD) == 0)
            visit(entry->d_name, context);
    }
    closedir(directory);
}
