// The scripting descriptor a host holds for a complete set of the filter's parameters, as the module
// records it at finish: what a played-back action hands to the next run.
#pragma once

#include "engine/FilterParameters.h"
#include "tools/harness/HostDescriptor.h"

Descriptor DescriptorOfParameters(const FilterParameters& parameters);
