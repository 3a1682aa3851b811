#include "diag/FolderListing.h"

#include <cstdio>

#include <io.h>

const char kPathSeparator[] = "\\";
const bool kPathNamesIgnoreCase = true;

void ListMatchingFiles(const char* folder, const char* wildcard, FolderEntryProc visit, void* context)
{
    char pattern[2048];
    int length = std::snprintf(pattern, sizeof pattern, "%s\\%s", folder, wildcard);
    if (length < 0 || static_cast<size_t>(length) >= sizeof pattern)
        return;
    _finddata_t entry;
    intptr_t search = _findfirst(pattern, &entry);
    if (search == -1)
        return;
    do {
        visit(entry.name, context);
    } while (_findnext(search, &entry) == 0);
    _findclose(search);
}
