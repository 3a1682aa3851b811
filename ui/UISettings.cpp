#include "ui/UISettings.h"

#include "presets/SettingsFiles.h"
#include "ui/PreviewTools.h"

namespace {

struct UISettingsState
{
    UISettings settings;
    bool loaded; // a file was accepted since the module was loaded
};

constexpr UISettings kDefaultUISettings{kUISettingsVersion, {0, 0, 0, 0}, kZoomTool, 1, {0, 0, 0, 0}, 0};

UISettingsState gUISettings{kDefaultUISettings, false};

} // namespace

bool LoadUISettings()
{
    // Read aside first: only a whole record of the current version replaces what is in memory.
    UISettings stored;
    if (ReadSettingsFile(kUISettingsFileName, &stored, sizeof stored) &&
        CheckRecordVersion(kUISettingsVersion, ReadRecordVersion(&stored))) {
        gUISettings.settings = stored;
        gUISettings.loaded = true;
    }
    return gUISettings.loaded;
}

void SaveUISettings()
{
    WriteSettingsFile(kUISettingsFileName, &gUISettings.settings, sizeof gUISettings.settings);
}

void ResetUISettings()
{
    gUISettings = UISettingsState{kDefaultUISettings, false};
}

RECT GetSavedDialogRect()
{
    const StoredRect& r = gUISettings.settings.dialogRect;
    return RECT{r.left, r.top, r.right, r.bottom};
}

void SetSavedDialogRect(const RECT& rect)
{
    gUISettings.settings.dialogRect = StoredRect{rect.left, rect.top, rect.right, rect.bottom};
}

uint32_t GetSavedTool()
{
    return gUISettings.settings.tool;
}

void SetSavedTool(uint32_t tool)
{
    gUISettings.settings.tool = tool;
}

uint32_t GetPreviewSetting()
{
    return gUISettings.settings.preview;
}

void SetPreviewSetting(uint32_t preview)
{
    gUISettings.settings.preview = preview;
}
