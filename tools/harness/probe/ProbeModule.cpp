// A stand-in filter module for the loader's own test in the Windows build. Its PiPL names an entry
// point other than the usual one, so a loader that guesses the name instead of reading it fails.
#include "sdk/HostInterface.h"

constexpr int16 kProbeAnswer = 4242;

extern "C" __declspec(dllexport) void ProbeMain(int16 selector, void*, intptr_t* data, int16* result)
{
    if (data != nullptr)
        *data = selector;
    *result = kProbeAnswer;
}
