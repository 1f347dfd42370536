// The names of a package's archive entries: the marker that sets the data
// entries apart from the files to install, the installer data files, and
// the pictures with their wizard step. The builder writes these names; the
// installer extracts the data entries under them into its payload folder.
#pragma once

#include <cstddef>
#include <string>

#include "os/os.h"

namespace quill::package {

// The prefix that marks a data entry (exact case). The installer extracts a
// data entry into its payload folder under the name that follows the prefix.
extern const char kDataEntryPrefix[];  // "%Quillpack%"
constexpr std::size_t kDataEntryPrefixLength = 11;

// True when the archive name begins with "%Quillpack%" in exact case.
bool is_data_entry_name(const std::string& name);

// The installer data files, as named inside the payload folder.
namespace data_file {
extern const char kWelcome[];            // "wt.txt": the welcome text
extern const char kTitle[];              // "tt.txt"
extern const char kLicence[];            // "license.txt"
extern const char kInstallFolders[];     // "def_install.txt"
extern const char kMacros[];             // "macros.txt"
extern const char kShortcuts[];          // "shortcuts.txt"
extern const char kInstallerSettings[];  // "installer_settings.txt"
extern const char kFullscreen[];         // "fullscreen.txt": the background window
extern const char kFont[];               // "font": the background text's font file
extern const char kFileInfo[];           // "fileinfo.txt": the files to install
extern const char kEoiMessage[];         // "eoi_message.txt"
extern const char kEoiCommand[];         // "eoi_file.txt"
extern const char kEoiButtons[];         // "eoi_buttons.txt"
extern const char kUninstaller[];        // "uninstall.txt": the installed uninstaller's path
extern const char kDefaultPicture[];     // "img\setup.jpg": the side picture of every step
extern const char kInstallScope[];       // "install_scope.txt": who the package installs for
extern const char kDeclarations[];       // "declarations.txt": registry values, associations, environment
}  // namespace data_file

// The archive entry of a data file or picture path below the payload folder
// (`name` with '\' between its parts): "%Quillpack%\" + name.
std::string data_entry_name(const std::string& name);

// The payload-folder path of a step picture ("img\<step>\<file>") or of a
// background picture ("bgimg\<step>\<file>"), where `file` is the picture's
// file name.
std::string picture_name(bool background, int step, const std::string& file);
// The companion file that gives a background picture its placement.
std::string companion_name(const std::string& picture);

// What an archive entry name (as stored, with '/') says about a picture.
struct PictureEntry {
  enum class Kind { none, step_picture, background_picture };
  Kind kind = Kind::none;
  int step = 0;  // 1 to 9 from the digit after the folder, 10 for any other character
};
// A companion ("bgimg/....txt") is no picture.
PictureEntry parse_picture_entry(const std::string& stored_name);

// The step number that an entry name's digit character stands for: '1' to
// '9' give 1 to 9, anything else gives 10.
int step_from_digit(char digit);

}  // namespace quill::package
