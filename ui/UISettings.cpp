#include "ui/UISettings.h"

#include "ui/PreviewTools.h"

namespace {

struct UISettingsState
{
    RECT dialogRect;
    uint32_t tool;
    uint32_t preview;
};

UISettingsState gSettings{{0, 0, 0, 0}, kZoomTool, 1};

} // namespace

bool LoadUISettings()
{
    return false;
}

void SaveUISettings() {}

RECT GetSavedDialogRect()
{
    return gSettings.dialogRect;
}

void SetSavedDialogRect(const RECT& rect)
{
    gSettings.dialogRect = rect;
}

uint32_t GetSavedTool()
{
    return gSettings.tool;
}

void SetSavedTool(uint32_t tool)
{
    gSettings.tool = tool;
}

uint32_t GetPreviewSetting()
{
    return gSettings.preview;
}

void SetPreviewSetting(uint32_t preview)
{
    gSettings.preview = preview;
}
