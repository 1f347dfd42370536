// The main window's control identifiers, the control table that groups them
// into six tab pages, the window and tab heights of each page and the fixed
// texts of its lists and tabs.
//
// Win32 side: use these identifiers in resource.h / the dialog template (or
// check that resource.h agrees); on a tab switch show exactly the controls
// for which tab_of_control() equals the selected tab (the tab control 1074
// always), and size the window and tab control by tab_layout(). Fill the two
// drop-down lists from kStepNames (item data 1..7) and kLocationNames (item
// data 0..2); insert the tabs from kTabCaptions.
#pragma once

#include <string>
#include <vector>

namespace quill::editor {

// --- Main window controls.
enum Control : int {
  kAddFile = 1002,
  kAddFolder = 1003,
  kRemoveItem = 1004,
  kItemPath = 1005,          // "Item path:" (read-only)
  kOutputPath = 1006,        // "Save installer as:"
  kBrowseOutput = 1007,
  kBuildButton = 1008,
  kBuildProgress = 1009,
  kBuildStatus = 1010,
  kImageList = 1011,
  kImageFile = 1012,
  kInstallTo = 1013,         // "Install to:"
  kAddImage = 1021,
  kRemoveImage = 1022,
  kTitleText = 1025,
  kWelcomeFile = 1027,
  kBrowseWelcome = 1028,
  kEditWelcome = 1029,
  kProgramName = 1030,
  kShowMacros = 1031,
  kDefaultFolder = 1032,
  kLicenceFile = 1033,
  kBrowseLicence = 1034,
  kEditLicence = 1035,
  kRegistryMacro = 1036,
  kWindowSettings = 1040,
  kCustomPathButton = 1068,  // "Set custom path" / "Save path"
  kIncludeUninstaller = 1069,
  kTabControl = 1074,
  kItemPathLabel = 1075,
  kInstallToLabel = 1076,
  kImagesLabel = 1077,
  kImageFileLabel = 1078,
  kDisplayAtLabel = 1079,
  kProgramNameLabel = 1081,
  kTitleTextLabel = 1082,
  kDefaultFolderLabel = 1083,
  kPlainTextNote = 1084,
  kWelcomeLabel = 1085,
  kLicenceLabel = 1086,
  kOutputLabel = 1087,
  kEoiFile = 1089,
  kEoiMessage = 1090,
  kEoiNote = 1091,
  kEoiMessageLabel = 1092,
  kEoiFileLabel = 1093,
  kEoiGroup = 1094,
  kUninstallerGroup = 1096,
  kFileTree = 1097,
  kMessageOk = 1100,
  kMessageYesNo = 1103,
  kMessageTypeLabel = 1104,
  kInstallerWindowGroup = 1107,
  kUseBackground = 1108,
  kFullscreenCheck = 1109,
  kFullscreenLabel = 1110,
  kFullscreenOptions = 1111,
  kImageX = 1114,
  kImageY = 1115,
  kStretchImage = 1116,
  kTryPathFirst = 1154,
  kStepList = 1155,
  kShortcutLabel = 1156,
  kLocationList = 1157,
  kShortcutNameLabel = 1158,
  kShortcutName = 1159,
  kStartMenuLabel = 1160,
  kStartMenuFolder = 1161,
  kCenterImage = 1164,
  kImageXLabel = 1166,
  kImageAtPosition = 1169,
  kImageNote = 1179,
};

// --- Menu 106 commands.
enum Command : int {
  kNewProject = 40001,
  kOpenProject = 40002,
  kSaveProject = 40003,
  kQuit = 40004,
  kAbout = 40006,
  kSaveProjectAs = 40009,
};

// Timer 1 of the main window copies the shortcut fields every 200 ms.
constexpr int kFieldSyncTimer = 1;
constexpr int kFieldSyncMilliseconds = 200;

constexpr int kTabCount = 6;
constexpr int kFilesTab = 0;
constexpr int kGraphicsTab = 1;
constexpr int kTextsTab = 2;
constexpr int kDocumentsTab = 3;
constexpr int kOptionsTab = 4;
constexpr int kBuildTab = 5;

struct ControlTab {
  int control;
  int tab;
};

struct TabLayout {
  int window_height;  // pixels; the width never changes
  int tab_height;     // of the tab control 1074
};

// Every (control, tab) pair of the main window, in page order.
const std::vector<ControlTab>& control_table();
// The tab page that shows `control`; -1 for the tab control and unknown ids.
int tab_of_control(int control);
// Window and tab control heights of a page (tab 0: 384 / 310).
TabLayout tab_layout(int tab);

extern const char* const kTabCaptions[kTabCount];     // "Files to install", ...
extern const char* const kStepNames[7];               // list 1155, item data 1..7
extern const char* const kLocationNames[3];           // list 1157, item data 0..2

}  // namespace quill::editor
