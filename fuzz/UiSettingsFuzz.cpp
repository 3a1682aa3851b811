// UISettings.bin on any bytes, read as the dialog reads it before it opens: a record is accepted only
// whole and of the current version, and a refused file leaves the caller's settings as they were.
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/FuzzFile.h"
#include "presets/UISettingsRecord.h"
#include "presets/UserFolders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = [] {
        char folder[kPathCapacity];
        if (!SetupUserFolders("Corvane", "Corvane Pro") || !GetUserSettingsFolder(folder))
            std::abort();
        return std::string(folder) + kPathSeparator + kUISettingsFileName;
    }();
    WriteFuzzInput(path, data, size);

    UISettings settings{};
    std::memset(&settings, 0xA5, sizeof settings);
    const UISettings before = settings;
    if (!ReadUISettingsRecord(&settings)) {
        if (std::memcmp(&settings, &before, sizeof settings) != 0)
            std::abort(); // a refused file changes nothing
        return 0;
    }
    // An accepted record is the file's first 52 bytes (a longer file is read as its record), of the
    // current version.
    if (size < sizeof settings || std::memcmp(&settings, data, sizeof settings) != 0 ||
        !CheckRecordVersion(kUISettingsVersion, settings.version))
        std::abort();
    return 0;
}
