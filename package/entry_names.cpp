// Archive entry names of the package.
#include "package/entry_names.h"

#include "common/paths.h"

namespace quill::package {

const char kDataEntryPrefix[] = "%Quillpack%";

namespace data_file {
const char kWelcome[] = "wt.txt";
const char kTitle[] = "tt.txt";
const char kLicence[] = "license.txt";
const char kInstallFolders[] = "def_install.txt";
const char kMacros[] = "macros.txt";
const char kShortcuts[] = "shortcuts.txt";
const char kInstallerSettings[] = "installer_settings.txt";
const char kFullscreen[] = "fullscreen.txt";
const char kFont[] = "font";
const char kFileInfo[] = "fileinfo.txt";
const char kEoiMessage[] = "eoi_message.txt";
const char kEoiCommand[] = "eoi_file.txt";
const char kEoiButtons[] = "eoi_buttons.txt";
const char kUninstaller[] = "uninstall.txt";
const char kDefaultPicture[] = "img\\setup.jpg";
const char kInstallScope[] = "install_scope.txt";
const char kDeclarations[] = "declarations.txt";
}  // namespace data_file

namespace {

const char kStepPictureFolder[] = "img";
const char kBackgroundPictureFolder[] = "bgimg";
const char kCompanionSuffix[] = ".txt";

// True when the stored name continues the prefix with "/<folder>/"; then
// `digit_at` is the position of the step digit.
bool in_folder(const std::string& name, const std::string& folder, std::size_t* digit_at) {
  const std::string part = "/" + folder + "/";
  if (name.compare(kDataEntryPrefixLength, part.size(), part) != 0) return false;
  *digit_at = kDataEntryPrefixLength + part.size();
  return true;
}

char char_at(const std::string& text, std::size_t position) {
  return position < text.size() ? text[position] : '\0';
}

}  // namespace

bool is_data_entry_name(const std::string& name) {
  return name.compare(0, kDataEntryPrefixLength, kDataEntryPrefix) == 0;
}

std::string data_entry_name(const std::string& name) {
  return std::string(kDataEntryPrefix) + "\\" + name;
}

std::string picture_name(bool background, int step, const std::string& file) {
  return std::string(background ? kBackgroundPictureFolder : kStepPictureFolder) + "\\" +
         std::to_string(step) + "\\" + file;
}

std::string companion_name(const std::string& picture) { return picture + kCompanionSuffix; }

PictureEntry parse_picture_entry(const std::string& stored_name) {
  PictureEntry entry;
  std::size_t digit_at = 0;
  if (in_folder(stored_name, kStepPictureFolder, &digit_at)) {
    entry.kind = PictureEntry::Kind::step_picture;
  } else if (in_folder(stored_name, kBackgroundPictureFolder, &digit_at) &&
             !ends_with(stored_name, kCompanionSuffix)) {
    entry.kind = PictureEntry::Kind::background_picture;
  } else {
    return entry;
  }
  entry.step = step_from_digit(char_at(stored_name, digit_at));
  return entry;
}

int step_from_digit(char digit) { return digit >= '1' && digit <= '9' ? digit - '0' : 10; }

}  // namespace quill::package
