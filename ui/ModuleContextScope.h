// The module's own activation context, active for the life of a scope: the dialogs, their window
// classes and the common controls they create then come from version 6 of the common controls,
// whatever the host itself uses. Without a context (the manifest could not be used) nothing changes.
#pragma once

#include <cstdint>

class ModuleContextScope
{
public:
    ModuleContextScope();
    ~ModuleContextScope();
    ModuleContextScope(const ModuleContextScope&) = delete;
    ModuleContextScope& operator=(const ModuleContextScope&) = delete;

private:
    uintptr_t cookie_ = 0;
    bool active_ = false;
};
