// Readers of the installer data files in the payload folder, each with its
// default for a missing file and its size limits, and the start-up load of
// all settings in their fixed order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "os/os.h"
#include "package/macros.h"
#include "package/payload.h"

namespace quill::package {

// Size limits of the whole-file readers.
constexpr std::size_t kMaxMainText = 32767;        // welcome, title and licence texts
constexpr std::size_t kMaxEndOfInstallText = 2047; // the three end-of-install files
constexpr std::size_t kMaxUninstallText = 259;     // "uninstall.txt"
constexpr int kFullscreenLineCount = 27;

// Reads a whole text file of at most `max_bytes` (longer files are cut). A
// missing file gives an empty text and false.
bool read_whole_data_file(os::Os& os, const std::string& path, std::size_t max_bytes,
                          std::string* text);

// Four-line records of "macros.txt" and "shortcuts.txt": records are read up
// to and including the first one whose fourth line begins with '/', which is
// dropped. A file that ends without that record keeps its complete records.
// At most `max_records` records are read (the last one read is dropped when
// the limit is reached before the terminating record).
std::vector<std::array<std::string, 4>> read_four_line_records(os::Os& os,
                                                               const std::string& path,
                                                               std::size_t max_records);

// "macros.txt": at most 1024 records, the terminating one included.
std::vector<MacroRecord> read_macro_records(os::Os& os, const std::string& path);
// The registered name: the value of the table's last record; false when the
// table is empty.
bool registered_name(const std::vector<MacroRecord>& table, std::string* name);

enum class ShortcutLocation { none = -1, desktop = 0, start_menu = 1, quick_launch = 2 };

struct ShortcutRecord {
  std::string start_menu_folder;
  std::string name;    // link file name without ".lnk"
  std::string target;  // full path of the file the link starts
  ShortcutLocation location = ShortcutLocation::none;  // numbers outside 0..2 give none
};

struct ShortcutLocations {
  bool desktop = false;
  bool start_menu = false;
  bool quick_launch = false;
};

// "shortcuts.txt": false when the file is missing.
bool read_shortcut_records(os::Os& os, const std::string& path,
                           std::vector<ShortcutRecord>* records);
ShortcutLocations shortcut_locations(const std::vector<ShortcutRecord>& records);

// "def_install.txt".
struct InstallFolders {
  std::string default_folder;    // line 1
  std::string preferred_folder;  // line 2, may be empty
  // The folder field's first text: line 2 when it is not empty, else line 1.
  const std::string& initial() const {
    return preferred_folder.empty() ? default_folder : preferred_folder;
  }
};
bool read_install_folders(os::Os& os, const std::string& path, InstallFolders* folders);

// "installer_settings.txt".
struct InstallerSettings {
  int progress_style = 0;     // 0 plain bar, 1 smooth bar; other numbers read as 0
  bool small_window = false;  // line 2 begins with 't'
};
bool read_installer_settings(os::Os& os, const std::string& path, InstallerSettings* settings);

// "fullscreen.txt": the background window. Colours are packed as
// red + green * 256 + blue * 65536, each part clamped to 0..255.
struct FullscreenSettings {
  std::string text;
  bool title_bar = true;  // line 2 other than "without"
  int width = 0;          // below 1: the whole screen
  int height = 0;
  std::string font_face;
  int font_size = 0;
  int font_weight = 0;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  int char_set = 0;
  std::uint32_t text_format = 0;
  bool gradient = false;
  bool shadow = false;
  int shadow_offset = 0;
  std::uint32_t text_colour = 0;
  std::uint32_t shadow_colour = 0;
  std::uint32_t background_colour = 0;
  std::uint32_t gradient_colour = 0;
};
bool read_fullscreen_settings(os::Os& os, const std::string& path, FullscreenSettings* settings);

// A background picture's companion (picture path + ".txt"): placement, x, y,
// each a decimal number of at most four characters. Missing lines read 0.
bool read_background_companion(os::Os& os, const std::string& path, BackgroundPicture* picture);

// One line of "fileinfo.txt": the entry name (with '\') and the destination
// folder, split at the first '|'. A line without '|' is both.
struct FileInfoLine {
  std::string entry_name;
  std::string destination;
};
FileInfoLine parse_file_info_line(const std::string& line);
// True for the line that ends the file list (it begins with '/').
inline bool is_file_info_end(const std::string& line) { return !line.empty() && line[0] == '/'; }
// Reads the lines that install something, up to the first end line. False
// when the file is missing.
bool read_file_info(os::Os& os, const std::string& path, std::vector<FileInfoLine>* lines);
// Destination of an entry: the folder with one trailing '\', then the entry
// name without a leading '\'.
std::string file_info_destination(const FileInfoLine& line);

// The end-of-install files, read when the done step opens: "eoi_file.txt" is
// expanded with the install folder, then "eoi_message.txt" and
// "eoi_buttons.txt" with an empty install path.
struct EndOfInstall {
  std::string message;
  std::string command;
  bool ok_box = false;  // "eoi_buttons.txt" begins with 'O'; else Yes/No
};
void read_end_of_install(os::Os& os, const std::vector<MacroRecord>& table,
                         const std::string& install_folder, EndOfInstall* events);

// "uninstall.txt", expanded with the install folder: the installed
// uninstaller's full path. False when the file is missing.
bool read_uninstaller_path(os::Os& os, const std::vector<MacroRecord>& table,
                           const std::string& install_folder, std::string* path);

// Every setting the installer reads at start-up, plus the scan's results.
struct InstallerData {
  std::string welcome_text;
  std::string title;
  std::string licence_text;
  InstallFolders install_folders;
  std::vector<MacroRecord> macros;
  bool has_registered_name = false;
  std::string registered_name;
  bool has_shortcuts = false;  // "shortcuts.txt" exists
  ShortcutLocations shortcut_locations;
  InstallerSettings settings;
  bool has_fullscreen = false;  // a background window is shown
  FullscreenSettings fullscreen;
  std::string font_path;  // the payload's "font" file, empty when there is none

  std::array<std::string, kStepPictureCount> step_pictures;
  std::vector<BackgroundPicture> background_pictures;
  unsigned step6_picture_count = 0;
  std::uint64_t install_entry_count = 0;
  std::uint64_t megabytes_needed = 0;
};

// Reads the data files in the installer's order: background companions
// (already in the scan), "font", "macros.txt", then "wt.txt", "tt.txt",
// "license.txt", "def_install.txt" (each expanded with an empty install
// path), the locations of "shortcuts.txt", "installer_settings.txt" and
// "fullscreen.txt" (expanded).
void load_installer_data(os::Os& os, const PayloadScan& scan, InstallerData* data);

}  // namespace quill::package
