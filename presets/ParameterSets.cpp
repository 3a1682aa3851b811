#include "presets/ParameterSets.h"

// Placeholders until the parameter-set files land.
void* ReadParameterSet(const char*)
{
    return nullptr;
}
bool RestoreLastSavedParameters()
{
    return false;
}
