#include "common/StrayMessageBoxes.h"

// Natively every message goes through the hook; there is no box to close.
void StartStrayMessageBoxCloser() {}
void StopStrayMessageBoxCloser() {}
