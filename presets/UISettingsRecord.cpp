#include "presets/UISettingsRecord.h"

#include "presets/SettingsFiles.h"

bool ReadUISettingsRecord(UISettings* settings)
{
    // Read aside first: only a whole record of the current version replaces the caller's.
    UISettings stored;
    if (!ReadSettingsFile(kUISettingsFileName, &stored, sizeof stored) ||
        !CheckRecordVersion(kUISettingsVersion, ReadRecordVersion(&stored)))
        return false;
    *settings = stored;
    return true;
}

void WriteUISettingsRecord(const UISettings& settings)
{
    WriteSettingsFile(kUISettingsFileName, &settings, sizeof settings);
}
