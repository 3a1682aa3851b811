#include "ui/ModuleContextScope.h"

#include "host/PlatformServices.h"

ModuleContextScope::ModuleContextScope() : active_(EnterModuleActivationContext(&cookie_)) {}

ModuleContextScope::~ModuleContextScope()
{
    if (active_)
        LeaveModuleActivationContext(cookie_);
}
