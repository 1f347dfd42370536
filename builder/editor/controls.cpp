// The control table of the main window.
#include "builder/editor/controls.h"

namespace quill::editor {

const char* const kTabCaptions[kTabCount] = {"Files to install", "Installer graphics",
                                              "Window text / Macros", "Text documents",
                                              "More options", "Build installer"};

const char* const kStepNames[7] = {"Step 1 ( welcome screen )", "Step 2 ( license )",
                                   "Step 3 ( select install dir. )", "Step 4 ( create shortcuts )",
                                   "Step 5 ( confirmation )", "Step 6 ( during install )",
                                   "Step 7 ( installation done )"};

const char* const kLocationNames[3] = {"on the desktop", "in the start menu", "in the quick-start menu"};

const std::vector<ControlTab>& control_table() {
  static const std::vector<ControlTab> table = [] {
    const std::vector<std::vector<int>> pages = {
        {kFileTree, kAddFile, kAddFolder, kRemoveItem, kItemPathLabel, kItemPath, kInstallToLabel,
         kInstallTo, kCustomPathButton, kShortcutLabel, kLocationList, kShortcutNameLabel, kShortcutName,
         kStartMenuLabel, kStartMenuFolder},
        {kImagesLabel, kImageList, kAddImage, kRemoveImage, kImageFileLabel, kImageFile, kDisplayAtLabel,
         kStepList, kFullscreenCheck, kFullscreenLabel, kStretchImage, kCenterImage, kImageAtPosition,
         kImageX, kImageY, kImageXLabel, kImageNote},
        {kProgramNameLabel, kProgramName, kTitleTextLabel, kTitleText, kDefaultFolderLabel,
         kDefaultFolder, kTryPathFirst, kRegistryMacro, kShowMacros, kShowDeclarations},
        {kPlainTextNote, kWelcomeLabel, kWelcomeFile, kBrowseWelcome, kEditWelcome, kLicenceLabel,
         kLicenceFile, kBrowseLicence, kEditLicence, kLanguagesButton},
        {kWindowSettings, kUninstallerGroup, kIncludeUninstaller, kEoiGroup, kEoiNote, kEoiMessageLabel,
         kEoiMessage, kMessageTypeLabel, kMessageOk, kMessageYesNo, kEoiCommandLabel, kEoiCommand,
         kInstallerWindowGroup, kUseBackground, kFullscreenOptions, kUserInstall, kX64, kAllUsersShortcuts},
        {kOutputLabel, kOutputPath, kBrowseOutput, kBuildButton, kBuildProgress, kBuildStatus, kLzma},
    };
    std::vector<ControlTab> pairs;
    for (int tab = 0; tab < kTabCount; ++tab) {
      for (int control : pages[tab]) pairs.push_back({control, tab});
    }
    return pairs;
  }();
  return table;
}

int tab_of_control(int control) {
  for (const ControlTab& pair : control_table()) {
    if (pair.control == control) return pair.tab;
  }
  return -1;
}

TabLayout tab_layout(int tab) {
  if (tab == kFilesTab) return {384, 310};
  if (tab == kOptionsTab) return {300, 226};
  return {240, 166};
}

}  // namespace quill::editor
