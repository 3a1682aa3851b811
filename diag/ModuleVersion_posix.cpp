#include "diag/ModuleVersion.h"

// Outside Windows there is no version resource; the version is the one the project was built as.

void* GetVersionResource(void*)
{
    return nullptr;
}

bool GetFixedFileInfo(void*, uint32_t version[4])
{
    version[0] = CORVANE_VERSION_MAJOR;
    version[1] = CORVANE_VERSION_MINOR;
    version[2] = CORVANE_VERSION_REVISION;
    version[3] = CORVANE_VERSION_BUILD;
    return true;
}

void* OwnModule()
{
    return nullptr;
}
