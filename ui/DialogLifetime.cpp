#include "ui/DialogLifetime.h"

#include <commctrl.h>
#include <initializer_list>
#include <richedit.h>

#include "diag/ErrorReport.h"
#include "preview/DialogMessages.h"
#include "preview/PreviewView.h"
#include "preview/ProxyDisplay.h"
#include "preview/ZoomLevels.h"
#include "resources/ResourceIds.h"
#include "sdk/HostConstants.h"
#include "ui/AcceleratorHook.h"
#include "ui/ControlSubclasses.h"
#include "ui/DialogLayout.h"
#include "ui/DialogState.h"
#include "ui/OffscreenPainting.h"
#include "ui/PreviewTimer.h"
#include "ui/PreviewTools.h"
#include "ui/SettingsList.h"
#include "ui/SliderTable.h"
#include "ui/Sliders.h"
#include "ui/Tooltips.h"
#include "ui/UISettings.h"
#include "ui/ZoomControls.h"

namespace {

constexpr double kLargestUnscaledFit = 150.0;

void FailStep(uint32_t line, const char* what)
{
    ReportError(ErrorSite{line, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected, "%s", what);
    FailDialog(memFullErr);
}

// Focus rectangles show from the start, even before the keyboard was used.
void ShowFocusCues(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void RegisterButtonTooltips(HWND dialog)
{
    HWND tooltip = gDialog.tooltip;
    AddTooltip(tooltip, dialog, IDOK, "OK - Commit changes and return to the editor");
    AddTooltip(tooltip, dialog, IDCANCEL, "Cancel (Esc) - Close the dialog without making any changes");
    AddTooltip(tooltip, dialog, IDC_PREVIEW_CHECK,
               "Preview (P) - Check to see a preview of the modified image, uncheck to see the original image");
    AddTooltip(tooltip, dialog, IDC_HELP_AND_SUPPORT, "Click here for links to help and support resources");
    AddTooltip(tooltip, dialog, IDC_PRODUCT_MARK, "About Quillmark Software and Corvane Pro");
    AddTooltip(tooltip, dialog, IDC_PRODUCT_LOGO, "Corvane Pro version information, help, and online resources");
}

// Where the dialog opens: the saved place, or centred (and that place remembered) when there is none.
void PlaceAndFit(HWND dialog)
{
    const RECT saved = GetSavedDialogRect();
    if (IsRectEmpty(&saved)) {
        CenterDialog(dialog);
        GetWindowRect(dialog, &gDialog.currentRect);
        SetSavedDialogRect(gDialog.currentRect);
    } else {
        gDialog.currentRect = saved;
    }
    PlaceDialog(dialog, gDialog.currentRect);
    RepositionControls(dialog);
    FitInView(dialog);
    // A small image would be shown slightly enlarged; its own pixels look better.
    const double zoom = CurrentZoom();
    if (zoom > kActualPixels && zoom < kLargestUnscaledFit) {
        ApplyZoom(dialog, nullptr, kActualPixels);
        UpdateZoomReadout(dialog, kActualPixels);
    }
}

} // namespace

BOOL OnInitDialog(HWND dialog)
{
    gDialog.window = dialog;
    if (!SubclassProgressBar(dialog))
        FailStep(__LINE__, "Could not create the progress bar's brush");
    BuildInitialDialogItems(dialog);
    if (!CreateMemoryBitmap(dialog))
        FailStep(__LINE__, "Could not create the dialog's memory bitmap");
    if (!InstallAcceleratorHook())
        FailStep(__LINE__, "SetWindowsHookEx() failed for the dialog's keys");

    // Every dialog starts with "Output Spikes Only" off and the preview on, whatever the last run used.
    gDialog.parameters->outputSpikesOnly = 0;
    SetPreviewSetting(1);
    // A dialog never opens with the Delete tool: a first click meant to look closer would switch spikes
    // off. A tool number the module does not know (a damaged file) means Zoom as well.
    if (GetSavedTool() != kHandTool)
        SetSavedTool(kZoomTool);
    CheckDlgButton(dialog, IDC_PREVIEW_CHECK, BST_CHECKED);

    for (int id : {IDOK, IDCANCEL, IDC_PREVIEW_CHECK, IDC_HELP_AND_SUPPORT})
        ShowFocusCues(dialog, id);
    SetDlgItemTextA(dialog, IDC_HELP_AND_SUPPORT, "Help and Support");
    SubclassProductMark(dialog);

    gDialog.tooltip = CreateDialogTooltips(dialog);
    if (gDialog.tooltip == nullptr)
        FailStep(__LINE__, "Could not create the tooltip control");
    RegisterButtonTooltips(dialog);
    InitSettingsList(dialog, gDialog.tooltip);
    AddTooltip(gDialog.tooltip, dialog, IDC_OUTPUT_SPIKES_ONLY,
               "Output Spikes Only (O) - Check to output the effect only, excluding the original image");
    ShowFocusCues(dialog, IDC_OUTPUT_SPIKES_ONLY);
    CheckDlgButton(dialog, IDC_OUTPUT_SPIKES_ONLY, gDialog.parameters->outputSpikesOnly ? BST_CHECKED : BST_UNCHECKED);

    for (int row = 0; row < kSliderCount; ++row)
        BindSlider(dialog, row, SliderField(gDialog.parameters, row));
    SubclassLayoutControls(dialog);
    if (gDialog.image != nullptr) {
        const OSErr error = InitProxyDisplay(dialog, GetDlgItem(dialog, IDC_PREVIEW),
                                             PreviewSource{gDialog.image, gDialog.filterRecord});
        if (error != noErr)
            FailDialog(error);
    }
    InitTools(dialog, gDialog.tooltip);
    if (gDialog.resultCode == 0)
        PlaceAndFit(dialog);

    HWND intensity = GetDlgItem(dialog, IDC_INTENSITY_BOX);
    SendMessageA(intensity, EM_SETSEL, 0, GetWindowTextLengthA(intensity));
    SetFocus(intensity);
    return FALSE;
}

void OnDestroyDialog(HWND dialog)
{
    StopPreviewTimer(dialog);
    RemoveAcceleratorHook();
    FreeSettingsList(dialog);
    if (gDialog.progressBrush != nullptr)
        DeleteObject(gDialog.progressBrush);
    gDialog.progressBrush = nullptr;
    ReleaseMemoryBitmap();
    ForgetDialogItems();
    gDialog.window = nullptr;
}

void RelayoutDialog(HWND dialog)
{
    // WM_SIZE also arrives while the dialog is being created, before its controls exist.
    if (gDialog.window != dialog)
        return;
    RepositionControls(dialog);
    if (gDialog.resultCode != 0)
        return;
    SetZoom(nullptr, CurrentZoom());
    UpdateScrollBars(CurrentZoom(), true);
    if (!CreateMemoryBitmap(dialog))
        FailStep(__LINE__, "Could not create the dialog's memory bitmap");
    PostMessageA(dialog, WM_RESTARTPREVIEW, 0, 0);
}
