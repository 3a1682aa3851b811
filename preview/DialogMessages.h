// The private window messages of the main dialog and its preview control.
#pragma once

#include <windows.h>

// To the preview control: choose the cursor for the current tool and the modifier keys.
constexpr UINT WM_UPDATETOOLCURSOR = WM_APP + 1;
// To the dialog, wParam = the value box of the slider: the user changed a slider's value.
constexpr UINT WM_SLIDERCHANGED = WM_APP + 2;
// To the dialog: the whole parameter record was replaced; every control shows it again.
constexpr UINT WM_PARAMETERSLOADED = WM_APP + 3;
// To the dialog: the parameters or the view changed; the preview starts over.
constexpr UINT WM_RESTARTPREVIEW = WM_APP + 4;
