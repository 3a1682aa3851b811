// Parameter-set files: reading with version check, conversion of the older format and deletion of
// obsolete ones; the last-parameters file that stands in when the host cannot keep the parameters.
#pragma once

#include "engine/FilterParameters.h"

constexpr const char* kLastSavedParametersFile = "LastSavedParameters.cvp";

// Reads, checks and if need be converts one file; a new 255-byte block (FreeParameterBlock) or null.
void* ReadParameterSet(const char* path);
// Reads the last-parameters file into `current`; false when it could not.
bool RestoreLastSavedParameters(FilterParameters* current);
