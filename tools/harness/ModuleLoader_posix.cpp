#include "tools/harness/ModuleLoader.h"

#include "host/PluginMain.h"

std::string DefaultModulePath()
{
    return std::string();
}

std::string BuildOutputPath(const std::string& path)
{
    return path;
}

// The module is linked into the program: there is no library and no PiPL to read.
bool LoadModule(const std::string&, LoadedModule* module)
{
    *module = LoadedModule{};
    module->entry = PluginMain;
    module->entryName = "PluginMain";
    return true;
}

void UnloadModule(LoadedModule* module)
{
    *module = LoadedModule{};
}
