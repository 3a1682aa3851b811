#include "tools/harness/ModuleLoader.h"

#include <windows.h>

namespace {

constexpr WORD kPiplResourceId = 16000;

std::string LastErrorText(const char* what)
{
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

} // namespace

std::string BuildOutputPath(const std::string& path)
{
    std::string converted = !path.empty() && path[0] == '/' ? "Z:" + path : path;
    for (char& c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

std::string DefaultModulePath()
{
#ifdef CORVANE_MODULE_FILE
    return BuildOutputPath(CORVANE_MODULE_FILE);
#else
    return std::string();
#endif
}

bool LoadModule(const std::string& path, LoadedModule* module)
{
    *module = LoadedModule{};
    if (path.empty()) {
        module->error = "no module was built";
        return false;
    }
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        module->error = LastErrorText("LoadLibrary");
        return false;
    }
    module->library = library;

    // FindResource compares type names without regard to case; the resource compiler stores "PIPL".
    HRSRC info = FindResourceA(library, MAKEINTRESOURCEA(kPiplResourceId), "PIPL");
    HGLOBAL loaded = info != nullptr ? LoadResource(library, info) : nullptr;
    const void* pipl = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (pipl == nullptr) {
        module->error = LastErrorText("finding the PiPL resource");
        UnloadModule(module);
        return false;
    }
    const DWORD size = SizeofResource(library, info);
    if (!ReadEntryPointName(static_cast<const uint8_t*>(pipl), size, &module->entryName)) {
        module->error = "the PiPL has no x64 entry point";
        UnloadModule(module);
        return false;
    }
    FARPROC proc = GetProcAddress(library, module->entryName.c_str());
    if (proc == nullptr) {
        std::string name = module->entryName;
        module->error = LastErrorText(("GetProcAddress(" + name + ")").c_str());
        UnloadModule(module);
        module->entryName = name;
        return false;
    }
    module->entry = reinterpret_cast<PluginEntryProc>(reinterpret_cast<void*>(proc));
    return true;
}

void UnloadModule(LoadedModule* module)
{
    if (module->library != nullptr)
        FreeLibrary(static_cast<HMODULE>(module->library));
    std::string error = module->error;
    *module = LoadedModule{};
    module->error = error;
}
