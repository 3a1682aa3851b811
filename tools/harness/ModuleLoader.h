// Finding a filter module's entry point the way a host does.
//
// On Windows the module is loaded with LoadLibrary, its PiPL resource (type "PIPL", id 16000) is
// walked for the x64 entry-point name ('8664') and the name is looked up with GetProcAddress. Natively
// the module is linked into the test program and LoadModule hands back its PluginMain.
//
//   LoadedModule module;
//   if (!LoadModule(DefaultModulePath(), &module)) FAIL() << module.error;
//   Host host(module.entry);
//   ...
//   UnloadModule(&module);
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sdk/HostInterface.h"

struct LoadedModule
{
    PluginEntryProc entry = nullptr;
    void* library = nullptr; // the loaded library; null natively
    std::string entryName;   // as the PiPL gives it ("PluginMain" natively)
    std::string error;       // why loading failed
};

// The module built with this tree: the path of the .8bf on Windows (empty when the build has none),
// empty natively, where the linked module is used and the path is ignored.
std::string DefaultModulePath();
// A path the build wrote, as the loader takes it (under Wine the build machine's root is drive Z:).
std::string BuildOutputPath(const std::string& path);

bool LoadModule(const std::string& path, LoadedModule* module);
void UnloadModule(LoadedModule* module);

// Walks a PiPL resource for the property `key` of vendor '8BIM' and returns its data (padding
// included), or null when the resource is malformed or has no such property.
const uint8_t* FindPiplProperty(const uint8_t* pipl, size_t size, uint32_t key, uint32_t* length);
// The x64 entry-point name of a PiPL ('8664'); false when there is none or it is not terminated.
bool ReadEntryPointName(const uint8_t* pipl, size_t size, std::string* name);
