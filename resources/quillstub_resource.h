// Resource identifiers of the installer stub: dialog templates, icon and
// every control the stub's windows address by number.
#pragma once

#define IDD_WIZARD 101
#define IDD_EXTRACTION 103
#define IDI_INSTALLER 104
#define IDD_BACKGROUND_FRAMED 105
#define IDD_BACKGROUND_PLAIN 106
#define IDD_SMALL_PROGRESS 109

// Wizard (101).
#define IDC_NEXT 1000
#define IDC_BACK 1001
#define IDC_CANCEL_INSTALL 1002
#define IDC_TEXT_BOX 1004
#define IDC_FOLDER 1007
#define IDC_BROWSE 1008
#define IDC_FOLDER_PROMPT 1009
#define IDC_SUMMARY 1010
#define IDC_LICENSE_PROMPT 1011
#define IDC_SHORTCUT_DESKTOP 1012
#define IDC_SHORTCUT_START_MENU 1013
#define IDC_SHORTCUT_QUICK_LAUNCH 1014
#define IDC_STATUS 1020
#define IDC_PROGRESS_PLAIN 1021
#define IDC_PROGRESS_SMOOTH 1022
#define IDC_CREDIT 1030
#define IDC_DISK_SPACE 1032

// Extraction window (103): progress IDC_PROGRESS_SMOOTH, Cancel IDC_EXTRACT_CANCEL.
#define IDC_EXTRACT_CANCEL 1000
#define IDC_EXTRACT_LABEL 1040

// Side picture rectangle, client pixels of the wizard.
#define SIDE_PICTURE_X 11
#define SIDE_PICTURE_Y 13
#define SIDE_PICTURE_WIDTH 100
#define SIDE_PICTURE_HEIGHT 170
