#include "ui/UISettings.h"

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
    if (ReadUISettingsRecord(&gUISettings.settings))
        gUISettings.loaded = true;
    return gUISettings.loaded;
}

void SaveUISettings()
{
    WriteUISettingsRecord(gUISettings.settings);
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
