// The module's entry point, exported undecorated; hosts find its name in the PiPL.
#pragma once

#include "sdk/HostInterface.h"

extern "C" void PluginMain(int16 selector, void* record, intptr_t* data, int16* result);
