#include "common/StrayMessageBoxes.h"

// Natively every message goes through the hook; there is no box to close.
void StartStrayMessageBoxCloser() {}
void StopStrayMessageBoxCloser() {}
void WatchMessageBoxes(bool) {}
std::vector<std::string> WatchedMessageBoxes()
{
    return {};
}
