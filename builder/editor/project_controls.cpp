// Project settings held by main window controls.
#include "builder/editor/project_controls.h"

#include "builder/editor/controls.h"
#include "common/limits.h"

namespace quill::editor {

namespace {


// The field behind a text control, for a const or a changeable Settings.
template <typename S>
auto text_field(S& s, int control) -> decltype(&s.title) {
  switch (control) {
    case kProgramName: return &s.program_name;
    case kTitleText: return &s.title;
    case kDefaultFolder: return &s.default_install_folder;
    case kRegistryMacro: return &s.preferred_folder;
    case kWelcomeFile: return &s.welcome_file;
    case kLicenceFile: return &s.licence_file;
    case kEoiMessage: return &s.eoi_message;
    case kEoiFile: return &s.eoi_file;
    case kOutputPath: return &s.output_path;
    default: return nullptr;
  }
}

}  // namespace

const std::vector<int>& project_text_controls() {
  static const std::vector<int> controls = {kProgramName, kTitleText,   kDefaultFolder,
                                            kRegistryMacro, kWelcomeFile, kLicenceFile,
                                            kEoiMessage,  kEoiFile,     kOutputPath};
  return controls;
}

const std::vector<int>& project_check_controls() {
  static const std::vector<int> controls = {kTryPathFirst, kIncludeUninstaller, kUseBackground,
                                            kMessageOk, kMessageYesNo};
  return controls;
}

std::string project_control_text(const project::Project& project, int control) {
  const std::string* field = text_field(project.settings(), control);
  return field ? *field : std::string();
}

bool set_project_control_text(project::Project& project, int control, const std::string& text) {
  std::string* field = text_field(project.settings(), control);
  if (!field) return false;
  *field = text.substr(0, kMaxPathLength);
  return true;
}

bool project_control_checked(const project::Project& project, int control) {
  const project::Settings& s = project.settings();
  switch (control) {
    case kTryPathFirst: return s.try_path_first;
    case kIncludeUninstaller: return s.include_uninstaller;
    case kUseBackground: return s.use_background_window;
    case kMessageOk: return s.message_box_ok;
    case kMessageYesNo: return !s.message_box_ok;
    default: return false;
  }
}

bool set_project_control_checked(project::Project& project, int control, bool on) {
  project::Settings& s = project.settings();
  switch (control) {
    case kTryPathFirst: s.try_path_first = on; return true;
    case kUseBackground: s.use_background_window = on; return true;
    // The radios of one group: checking one clears the other.
    case kMessageOk: if (on) s.message_box_ok = true; return true;
    case kMessageYesNo: if (on) s.message_box_ok = false; return true;
    default: return false;
  }
}

}  // namespace quill::editor
