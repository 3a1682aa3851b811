// The host harness: a host for filter modules, its documents and descriptors, and the module loader.
#pragma once

#include "tools/harness/Host.h"
#include "tools/harness/HostDescriptor.h"
#include "tools/harness/HostDocument.h"
#include "tools/harness/ModuleLoader.h"
