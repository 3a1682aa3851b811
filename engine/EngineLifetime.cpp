#include "engine/EngineLifetime.h"

// Placeholder until the engine lands.
void ReleaseEngine() {}
