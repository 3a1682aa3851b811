// Resource ids shared by the .rc files and the code that loads the resources. Plain macros, because
// the resource compiler reads this file too; anything it cannot parse goes under #ifndef RC_INVOKED.
#pragma once

// Hosts find the filter through its PiPL and, through the PiPL's terminology property, the
// terminology resource; both use the id the hosts' own samples use.
#define IDR_PIPL 16000
#define IDR_TERMINOLOGY 16000

// The host's standard scripting messages. The module never loads them; they are part of what a
// scriptable filter is expected to carry.
#define IDS_INTEGER_REQUIRED 16990
#define IDS_DECIMAL_REQUIRED 16991
#define IDS_HOST_TOO_OLD 16992
#define IDS_HOST_INCOMPATIBLE 16993
#define IDS_SUITE_UNAVAILABLE 16994

#define IDR_VERSION 1

// The id the system's isolation-aware loading looks for in a DLL; the activation context that gives
// the dialog version 6 of the common controls is made from it.
#define IDR_MANIFEST 2

// ---------------------------------------------------------------------------------------------------
// The main dialog and the About box, the accelerators and the zoom menu.
#define IDD_ABOUT 191
#define IDR_ACCELERATORS 190
#define IDR_ZOOM_MENU 139

// Buttons and check boxes.
#define IDC_HELP_AND_SUPPORT 1000
#define IDC_PREVIEW_CHECK 1002
#define IDC_OUTPUT_SPIKES_ONLY 1122

// The Settings list and its menu icon; the group boxes.
#define IDC_SETTINGS_LIST 1023
#define IDC_SETTINGS_MENU 1050
#define IDC_SETTINGS_GROUP 1046
#define IDC_MAIN_SPIKES_GROUP 1079
#define IDC_EFFECTS_COLOR_GROUP 1080
#define IDC_SECONDARY_EFFECTS_GROUP 1081

// The ten sliders: a trackbar and a value box per row, in the order of the slider table.
#define IDC_INTENSITY_TRACKBAR 1004
#define IDC_INTENSITY_BOX 1005
#define IDC_LENGTH_TRACKBAR 1006
#define IDC_LENGTH_BOX 1007
#define IDC_ANGLE_TRACKBAR 1008
#define IDC_ANGLE_BOX 1009
#define IDC_POINTS_TRACKBAR 1010
#define IDC_POINTS_BOX 1011
#define IDC_SHARPNESS_TRACKBAR 1024
#define IDC_SHARPNESS_BOX 1022
#define IDC_SATURATION_TRACKBAR 1012
#define IDC_SATURATION_BOX 1013
#define IDC_RAINBOW_INTENSITY_TRACKBAR 1014
#define IDC_RAINBOW_INTENSITY_BOX 1015
#define IDC_RAINBOW_FREQUENCY_TRACKBAR 1016
#define IDC_RAINBOW_FREQUENCY_BOX 1017
#define IDC_SECONDARY_TRACKBAR 1018
#define IDC_SECONDARY_BOX 1019
#define IDC_FLARE_TRACKBAR 1020
#define IDC_FLARE_BOX 1021

// The slider labels, row by row.
#define IDC_INTENSITY_LABEL 1051
#define IDC_LENGTH_LABEL 1052
#define IDC_ANGLE_LABEL 1053
#define IDC_POINTS_LABEL 1054
#define IDC_SHARPNESS_LABEL 1055
#define IDC_SATURATION_LABEL 1056
#define IDC_RAINBOW_INTENSITY_LABEL 1057
#define IDC_RAINBOW_FREQUENCY_LABEL 1058
#define IDC_SECONDARY_LABEL 1059
#define IDC_FLARE_LABEL 1060

// The preview side: the display, its frame and scroll bars, the tools, the zoom controls, progress.
#define IDC_PREVIEW 1040
#define IDC_PREVIEW_FRAME 1049
#define IDC_VERTICAL_SCROLL 1028
#define IDC_HORIZONTAL_SCROLL 1030
#define IDC_PROGRESS 1031
#define IDC_HAND_TOOL 1043
#define IDC_ZOOM_TOOL 1044
#define IDC_DELETE_TOOL 1123
#define IDC_ZOOM_OUT 1042
#define IDC_ZOOM_IN 1045
#define IDC_ZOOM_READOUT 1085
#define IDC_ZOOM_ARROW 1087

// The product mark (opens the About box), the size grip and the product logo (opens the About box).
#define IDC_PRODUCT_MARK 1082
#define IDC_SIZE_GRIP 1083
#define IDC_PRODUCT_LOGO 1084

// Accelerator commands (table IDR_ACCELERATORS).
#define IDM_FOCUS_INTENSITY 40051
#define IDM_FOCUS_LENGTH 40052
#define IDM_FOCUS_ANGLE 40048
#define IDM_FOCUS_POINTS 40054
#define IDM_FOCUS_SHARPNESS 40077
#define IDM_FOCUS_SATURATION 40049
#define IDM_FOCUS_RAINBOW_INTENSITY 40057
#define IDM_FOCUS_RAINBOW_FREQUENCY 40056
#define IDM_FOCUS_SECONDARY 40059
#define IDM_FOCUS_FLARE 40061
#define IDM_TOGGLE_OUTPUT_SPIKES_ONLY 40079
#define IDM_TOGGLE_PREVIEW 40055
#define IDM_OPEN_SETTINGS_LIST 40060
#define IDM_SETTINGS_MENU 40083
#define IDM_HAND_TOOL 40050
#define IDM_ZOOM_TOOL 40053
#define IDM_DELETE_TOOL 40081
#define IDM_FOCUS_PREVIEW 40066
#define IDM_ZOOM_MENU 40064
#define IDM_FIT_IN_VIEW 40070
#define IDM_FIT_ON_SCREEN 40072
#define IDM_ZOOM_IN 40062
#define IDM_ZOOM_OUT 40063
#define IDM_HELP 40085

// The zoom menu (IDR_ZOOM_MENU): one command per zoom level, then the three fitted zooms.
#define IDM_ZOOM_1600 40003
#define IDM_ZOOM_1200 40004
#define IDM_ZOOM_1000 40005
#define IDM_ZOOM_800 40006
#define IDM_ZOOM_600 40007
#define IDM_ZOOM_400 40008
#define IDM_ZOOM_300 40009
#define IDM_ZOOM_200 40010
#define IDM_ZOOM_100 40011
#define IDM_ZOOM_66 40012
#define IDM_ZOOM_50 40013
#define IDM_ZOOM_33 40014
#define IDM_ZOOM_25 40015
#define IDM_ZOOM_12 40016
#define IDM_ZOOM_6 40017
#define IDM_ACTUAL_PIXELS 40018
#define IDM_FIT_IN_VIEW_MENU 40019
#define IDM_FIT_ON_SCREEN_MENU 40020

// Bitmaps.
#define IDB_PRODUCT_LOGO 105
#define IDB_PRODUCT_MARK 124
#define IDB_ZOOM_OUT 128
#define IDB_ZOOM_IN 130
#define IDB_ZOOM_ARROW 131
#define IDB_ZOOM_IN_DISABLED 183
#define IDB_ZOOM_IN_PRESSED 185
#define IDB_ZOOM_OUT_PRESSED 186
#define IDB_ZOOM_OUT_DISABLED 187

// Icons.
#define IDI_ZOOM_TOOL 132
#define IDI_HAND_TOOL 133
#define IDI_SIZE_GRIP 175
#define IDI_ZOOM_TOOL_SELECTED 178
#define IDI_HAND_TOOL_SELECTED 179
#define IDI_SETTINGS_MENU 189
#define IDI_DELETE_TOOL 201
#define IDI_DELETE_TOOL_SELECTED 202

// Cursors.
#define IDR_CURSOR_OPEN_HAND 140
#define IDR_CURSOR_ZOOM_IN 141
#define IDR_CURSOR_ZOOM_OUT 142
#define IDR_CURSOR_CLOSED_HAND 180
#define IDR_CURSOR_ZOOM_LIMIT 181
#define IDR_CURSOR_LINK 194
#define IDR_CURSOR_RESTORE 203
#define IDR_CURSOR_DELETE 204

// The About box.
#define IDC_ABOUT_MARK 1201
#define IDC_ABOUT_PRODUCT 1202
#define IDC_ABOUT_VERSION 1203
#define IDC_ABOUT_PARAMETERS 1204
#define IDC_ABOUT_FOLDERS 1205

// The main dialog's template, by name.
#define CORVANE_MAIN_DIALOG "CORVANEDIALOG_ADVANCED"
