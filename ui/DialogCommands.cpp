#include "ui/DialogCommands.h"

#include <commctrl.h>
#include <richedit.h>

#include "preview/DialogMessages.h"
#include "preview/PreviewView.h"
#include "preview/ZoomLevels.h"
#include "resources/ResourceIds.h"
#include "sdk/HostConstants.h"
#include "ui/DialogState.h"
#include "ui/MainDialog.h"
#include "ui/PreviewTools.h"
#include "ui/SettingsList.h"
#include "ui/SliderTable.h"
#include "ui/Sliders.h"
#include "ui/UISettings.h"
#include "ui/ZoomControls.h"

namespace {

constexpr int kAcceleratorCode = 1; // with no control: a command from the accelerator table
constexpr int kClicked = 0;         // BN_CLICKED and STN_CLICKED
constexpr int kMenuGap = 2;         // pixels between a zoom control and the menu that opens above it

struct SliderKey
{
    int command;
    int row;
};

constexpr SliderKey kSliderKeys[kSliderCount] = {
    {IDM_FOCUS_INTENSITY, 0},
    {IDM_FOCUS_LENGTH, 1},
    {IDM_FOCUS_ANGLE, 2},
    {IDM_FOCUS_POINTS, 3},
    {IDM_FOCUS_SHARPNESS, 4},
    {IDM_FOCUS_SATURATION, 5},
    {IDM_FOCUS_RAINBOW_INTENSITY, 6},
    {IDM_FOCUS_RAINBOW_FREQUENCY, 7},
    {IDM_FOCUS_SECONDARY, 8},
    {IDM_FOCUS_FLARE, 9},
};

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void RestartPreviewLater(HWND dialog)
{
    PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
}

void ShowKeyboardCues(HWND dialog)
{
    SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEACCEL | UISF_ACTIVE), 0);
}

void Commit(HWND dialog)
{
    SetSavedDialogRect(gDialog.currentRect);
    gDialog.ending = true;
    SaveUISettings();
    EndDialog(dialog, IDOK);
}

void Cancel(HWND dialog)
{
    gDialog.ending = true;
    gDialog.closing = true;
    gDialog.resultCode = userCanceledErr;
    EndDialog(dialog, IDCANCEL);
}

// A button that had the focus keeps the default look after losing it; OK takes it back, so that Enter
// anywhere but on a button always means OK.
void MakeOkTheDefault(HWND dialog, HWND button)
{
    SendMessageA(button, BM_SETSTYLE, BS_NOTIFY, TRUE);
    SendDlgItemMessageA(dialog, IDOK, BM_SETSTYLE, BS_NOTIFY | BS_DEFPUSHBUTTON, TRUE);
    SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
}

void OpenZoomMenuAtReadout(HWND dialog)
{
    RECT readout;
    GetWindowRect(GetDlgItem(dialog, IDC_ZOOM_READOUT), &readout);
    TrackZoomMenu(dialog, (readout.left + readout.right) / 2, readout.top - kMenuGap,
                  TPM_CENTERALIGN | TPM_BOTTOMALIGN);
}

void OpenZoomMenuAtArrow(HWND dialog)
{
    RECT arrow;
    GetWindowRect(GetDlgItem(dialog, IDC_ZOOM_ARROW), &arrow);
    TrackZoomMenu(dialog, arrow.left, arrow.top - kMenuGap, TPM_LEFTALIGN | TPM_BOTTOMALIGN);
}

void ToggleOutputSpikesOnly(HWND dialog)
{
    const bool checked = !IsChecked(dialog, IDC_OUTPUT_SPIKES_ONLY);
    CheckDlgButton(dialog, IDC_OUTPUT_SPIKES_ONLY, checked ? BST_CHECKED : BST_UNCHECKED);
    SetFocus(GetDlgItem(dialog, IDC_OUTPUT_SPIKES_ONLY));
    ShowKeyboardCues(dialog);
    gDialog.parameters->outputSpikesOnly = checked ? 1 : 0;
    RestartPreviewLater(dialog);
}

void TogglePreview(HWND dialog)
{
    const bool checked = !IsChecked(dialog, IDC_PREVIEW_CHECK);
    CheckDlgButton(dialog, IDC_PREVIEW_CHECK, checked ? BST_CHECKED : BST_UNCHECKED);
    SetPreviewSetting(checked ? 1 : 0);
    RestartPreviewLater(dialog);
}

void OnAccelerator(HWND dialog, int command)
{
    for (const SliderKey& key : kSliderKeys) {
        if (key.command == command) {
            FocusSlider(dialog, key.row);
            return;
        }
    }
    switch (command) {
    case IDM_TOGGLE_OUTPUT_SPIKES_ONLY: ToggleOutputSpikesOnly(dialog); break;
    case IDM_TOGGLE_PREVIEW: TogglePreview(dialog); break;
    case IDM_OPEN_SETTINGS_LIST:
        SetFocus(GetDlgItem(dialog, IDC_SETTINGS_LIST));
        SendDlgItemMessageA(dialog, IDC_SETTINGS_LIST, CB_SHOWDROPDOWN, TRUE, 0);
        break;
    case IDM_SETTINGS_MENU: ShowSettingsMenu(dialog); break;
    case IDM_HAND_TOOL: SelectTool(kHandTool); break;
    case IDM_ZOOM_TOOL: SelectTool(kZoomTool); break;
    case IDM_DELETE_TOOL: SelectTool(kDeleteTool); break;
    case IDM_FOCUS_PREVIEW: SetFocus(GetDlgItem(dialog, IDC_PREVIEW)); break;
    case IDM_ZOOM_MENU: OpenZoomMenuAtArrow(dialog); break;
    case IDM_FIT_IN_VIEW: FitInView(dialog); break;
    case IDM_FIT_ON_SCREEN: FitOnScreen(dialog); break;
    case IDM_ZOOM_IN: ZoomInOneStep(dialog, nullptr); break;
    case IDM_ZOOM_OUT: ZoomOutOneStep(dialog, nullptr); break;
    case IDM_HELP:
        // Help lives in the About box: the module opens no web pages.
        ShowAboutBox(dialog);
        break;
    default: break;
    }
}

void OnToolButton(HWND dialog, int id, int code)
{
    if (code != kClicked && code != STN_DBLCLK)
        return;
    SelectTool(id == IDC_HAND_TOOL ? kHandTool : id == IDC_ZOOM_TOOL ? kZoomTool : kDeleteTool);
    if (id == IDC_ZOOM_TOOL && code == STN_DBLCLK) {
        UpdateZoomReadout(dialog, ApplyZoom(dialog, nullptr, kActualPixels));
    }
}

void OnControl(HWND dialog, int id, int code, HWND control)
{
    const int row = SliderRowOfValueBox(id);
    if (row >= 0) {
        if (code == EN_CHANGE)
            ReadValueBox(dialog, row);
        return;
    }
    switch (id) {
    case IDOK:
        if (code == kClicked)
            Commit(dialog);
        break;
    case IDCANCEL:
        if (code == kClicked)
            Cancel(dialog);
        else if (code == BN_KILLFOCUS && !gDialog.ending)
            MakeOkTheDefault(dialog, control);
        break;
    case IDC_HELP_AND_SUPPORT:
        if (code == kClicked)
            ShowAboutBox(dialog);
        else if (code == BN_KILLFOCUS && !gDialog.ending)
            MakeOkTheDefault(dialog, control);
        break;
    case IDC_PRODUCT_LOGO:
        if (code == kClicked)
            ShowAboutBox(dialog);
        break;
    case IDC_PREVIEW_CHECK:
        if (code == kClicked) {
            SetPreviewSetting(IsChecked(dialog, IDC_PREVIEW_CHECK) ? 1 : 0);
            RestartPreviewLater(dialog);
        }
        break;
    case IDC_OUTPUT_SPIKES_ONLY:
        if (code == kClicked) {
            gDialog.parameters->outputSpikesOnly = IsChecked(dialog, IDC_OUTPUT_SPIKES_ONLY) ? 1 : 0;
            RestartPreviewLater(dialog);
        }
        break;
    case IDC_SETTINGS_LIST: OnSettingsListNotify(dialog, code, control); break;
    case IDC_SETTINGS_MENU:
        // A click soon after the menu closed arrives as a double click; it still asks for the menu.
        if (code == kClicked || code == STN_DBLCLK)
            ShowSettingsMenu(dialog);
        break;
    case IDC_HAND_TOOL:
    case IDC_ZOOM_TOOL:
    case IDC_DELETE_TOOL: OnToolButton(dialog, id, code); break;
    case IDC_ZOOM_READOUT:
        if (code == kClicked || code == STN_DBLCLK)
            OpenZoomMenuAtReadout(dialog);
        break;
    case IDC_ZOOM_ARROW:
        if (code == kClicked || code == STN_DBLCLK)
            OpenZoomMenuAtArrow(dialog);
        break;
    default: break;
    }
}

} // namespace

void OnDialogCommand(HWND dialog, int id, int code, HWND control)
{
    if (code == kAcceleratorCode && control == nullptr)
        OnAccelerator(dialog, id);
    else
        OnControl(dialog, id, code, control);
}
