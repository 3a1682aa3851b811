#include "host/FilterRun.h"

// Placeholder until the filter run lands: the start selector calls it once the image is read.
void DoFilter() {}
