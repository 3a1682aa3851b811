// The product version of the module, as its version resource states it.
#pragma once

#include <cstdint>

// A newly allocated copy of the module's version-information block (release with std::free), or null.
void* GetVersionResource(void* module);
// Fills major, minor, revision and build of the product version; false (and zeros) when it cannot.
bool GetFixedFileInfo(void* module, uint32_t version[4]);
// The module that this code is part of: the plug-in itself, not the host that loaded it.
void* OwnModule();
