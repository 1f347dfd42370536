// The main window's control identifiers, the control table that groups them
// into six tab pages, the window and tab heights of each page and the fixed
// texts of its lists and tabs.
//
// The identifiers are those of resources/quillset_resource.h, the one list
// of the builder's numbers, under the editor's names.
//
// Win32 side: on a tab switch show exactly the controls for which
// tab_of_control() equals the selected tab (the tab control 1074 always),
// and size the window and tab control by tab_layout(). Fill the two
// drop-down lists from kStepNames (item data 1..7) and kLocationNames (item
// data 0..2); insert the tabs from kTabCaptions.
#pragma once

#include <string>
#include <vector>

#include "resources/quillset_resource.h"

namespace quill::editor {

// --- Main window controls.
enum Control : int {
  kAddFile = IDC_ADD_FILE,
  kAddFolder = IDC_ADD_FOLDER,
  kRemoveItem = IDC_REMOVE_ITEM,
  kItemPath = IDC_ITEM_PATH,          // "Item path:" (read-only)
  kOutputPath = IDC_OUTPUT_PATH,        // "Save installer as:"
  kBrowseOutput = IDC_OUTPUT_BROWSE,
  kBuildButton = IDC_BUILD,
  kBuildProgress = IDC_BUILD_PROGRESS,
  kBuildStatus = IDC_BUILD_STATUS,
  kImageList = IDC_IMAGE_LIST,
  kImageFile = IDC_IMAGE_FILE,
  kInstallTo = IDC_INSTALL_TO,         // "Install to:"
  kAddImage = IDC_ADD_IMAGE,
  kRemoveImage = IDC_REMOVE_IMAGE,
  kTitleText = IDC_TITLE,
  kWelcomeFile = IDC_WELCOME_FILE,
  kBrowseWelcome = IDC_WELCOME_BROWSE,
  kEditWelcome = IDC_WELCOME_EDIT,
  kProgramName = IDC_PROGRAM_NAME,
  kShowMacros = IDC_SHOW_MACROS,
  kShowDeclarations = IDC_SHOW_DECLARATIONS,
  kDefaultFolder = IDC_DEFAULT_FOLDER,
  kLicenceFile = IDC_LICENCE_FILE,
  kBrowseLicence = IDC_LICENCE_BROWSE,
  kEditLicence = IDC_LICENCE_EDIT,
  kRegistryMacro = IDC_REGISTRY_MACRO,
  kWindowSettings = IDC_WINDOW_SETTINGS,
  kCustomPathButton = IDC_SET_CUSTOM_PATH,  // "Set custom path" / "Save path"
  kIncludeUninstaller = IDC_INCLUDE_UNINSTALLER,
  kTabControl = IDC_TABS,
  kItemPathLabel = IDC_ITEM_PATH_LABEL,
  kInstallToLabel = IDC_INSTALL_TO_LABEL,
  kImagesLabel = IDC_IMAGES_LABEL,
  kImageFileLabel = IDC_IMAGE_FILE_LABEL,
  kDisplayAtLabel = IDC_IMAGE_STEP_LABEL,
  kProgramNameLabel = IDC_PROGRAM_NAME_LABEL,
  kTitleTextLabel = IDC_TITLE_LABEL,
  kDefaultFolderLabel = IDC_DEFAULT_FOLDER_LABEL,
  kPlainTextNote = IDC_TEXT_NOTE,
  kWelcomeLabel = IDC_WELCOME_LABEL,
  kLicenceLabel = IDC_LICENCE_LABEL,
  kOutputLabel = IDC_OUTPUT_LABEL,
  kEoiCommand = IDC_EOI_COMMAND,
  kEoiMessage = IDC_EOI_MESSAGE,
  kEoiNote = IDC_EOI_NOTE,
  kEoiMessageLabel = IDC_EOI_MESSAGE_LABEL,
  kEoiCommandLabel = IDC_EOI_COMMAND_LABEL,
  kEoiGroup = IDC_EOI_GROUP,
  kUninstallerGroup = IDC_UNINSTALLER_GROUP,
  kFileTree = IDC_FILE_TREE,
  kMessageOk = IDC_BOX_OK,
  kMessageYesNo = IDC_BOX_YES_NO,
  kMessageTypeLabel = IDC_BOX_TYPE_LABEL,
  kInstallerWindowGroup = IDC_WINDOW_GROUP,
  kUseBackground = IDC_USE_BACKGROUND,
  kFullscreenCheck = IDC_IMAGE_BACKGROUND,
  kFullscreenLabel = IDC_IMAGE_BACKGROUND_LABEL,
  kFullscreenOptions = IDC_BACKGROUND_OPTIONS,
  kUserInstall = IDC_USER_INSTALL,              // install-scope
  kX64 = IDC_X64,                               // architecture
  kAllUsersShortcuts = IDC_ALL_USERS_SHORTCUTS,  // shortcuts-for
  kLzma = IDC_LZMA,                             // compression
  kImageX = IDC_IMAGE_X,
  kImageY = IDC_IMAGE_Y,
  kStretchImage = IDC_IMAGE_STRETCH,
  kTryPathFirst = IDC_TRY_PATH_FIRST,
  kStepList = IDC_IMAGE_STEP,
  kShortcutLabel = IDC_SHORTCUT_LABEL,
  kLocationList = IDC_SHORTCUT_LOCATION,
  kShortcutNameLabel = IDC_SHORTCUT_NAME_LABEL,
  kShortcutName = IDC_SHORTCUT_NAME,
  kStartMenuLabel = IDC_START_MENU_LABEL,
  kStartMenuFolder = IDC_START_MENU_FOLDER,
  kCenterImage = IDC_IMAGE_CENTER,
  kImageXLabel = IDC_IMAGE_X_LABEL,
  kImageAtPosition = IDC_IMAGE_AT_POSITION,
  kImageNote = IDC_IMAGE_NOTE,
  kLanguagesButton = IDC_LANGUAGES,  // "Languages..." (the languages dialog)
};

// --- Menu 106 commands.
enum Command : int {
  kNewProject = IDM_NEW_PROJECT,
  kOpenProject = IDM_OPEN_PROJECT,
  kSaveProject = IDM_SAVE_PROJECT,
  kQuit = IDM_QUIT,
  kAbout = IDM_ABOUT,
  kSaveProjectAs = IDM_SAVE_PROJECT_AS,
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
