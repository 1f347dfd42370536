// What a build puts in the package besides the files: the project's
// settings in the form of the installer data files (package/ owns the
// formats), and the plan of the install entries with their archive names.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "builder/project/project.h"
#include "package/data_files.h"

namespace quill::project {

// The installer's macro table has room for this many user macros.
constexpr int kMaxPackagedMacros = static_cast<int>(package::kMaxUserMacros);

// A box's text as the main window hands it over: at most 259 characters
// (not bytes: a character of UTF-8 is kept whole).
std::string box_text(const std::string& text);

package::InstallerSettings installer_settings(const WindowSettings& settings);
// The install folders; the preferred one counts only with "try path first".
package::InstallFolders install_folders(const Settings& settings);
package::FullscreenSettings fullscreen_settings(const FullscreenOptions& options);
package::BackgroundPicture background_placement(const ImageRecord& image);
// The shortcuts of the files in use, in slot and location order. When
// `installed` is given, only those of the paths (shortcut_target) it holds:
// a shortcut to a file the package does not carry would point at nothing.
std::vector<package::ShortcutRecord> shortcut_records(
    const Project& project, const std::function<bool(const std::string& path)>& installed = nullptr);

// "macros.txt". `left_out` (optional) receives the number of user macros
// beyond the limit. A macro whose value name begins with "/" would read as
// the closing record and end the installer's table early; it is left out
// and its name goes to `unwritable` (optional).
std::string macros_text(const Project& project, int* left_out = nullptr,
                        std::vector<std::string>* unwritable = nullptr);

// How one file record travels in the package: its "fileinfo.txt" line.
struct InstallEntry : package::FileInfoLine {
  int slot = kNoSlot;
};

// The records of the file table in slot order, each with an archive entry
// name of its own. The installer finds entries by name alone, so when two
// files in different folders share a name, one of them carries trailing
// folders of its destination in its entry name instead (destination + entry
// name stays the same path). A record with the same name and target folder
// as an earlier one, or one whose clash no folder can resolve, is left out
// and reported in `duplicates` (slot numbers). When `available` (optional)
// says that the earlier record's source cannot be read and the later one's
// can, the later record takes the earlier one's place instead.
std::vector<InstallEntry> plan_install_entries(
    const Project& project, std::vector<int>* duplicates,
    const std::function<bool(int slot)>& available = nullptr);

// The texts files (common/texts_file.h) of the languages `codes` names
// besides English, each once, as (data file name, bytes): the installer stub
// has English alone built in and reads the others' tables from its package.
std::vector<std::pair<std::string, std::string>> language_table_files(
    const std::vector<std::string>& codes);

}  // namespace quill::project
