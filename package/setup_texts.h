// The installer's texts: welcome, title and licence, the install folders
// ("def_install.txt"), the end-of-install files and the uninstaller's path
// ("uninstall.txt"). The writers and the readers; the welcome and licence
// texts travel as byte copies of the author's files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/limits.h"
#include "os/os.h"
#include "package/macros.h"
#include "package/payload.h"

namespace quill::package {

// Size limits of the whole-file readers.
constexpr std::size_t kMaxMainText = 32767;        // welcome, title and licence texts
constexpr std::size_t kMaxEndOfInstallText = 2047; // the three end-of-install files
constexpr std::size_t kMaxUninstallText = kMaxPathLength;  // "uninstall.txt" holds a path

// Reads a whole text file of at most `max_bytes` (longer files are cut). A
// missing file gives an empty text and false.
bool read_whole_data_file(os::Os& os, const std::string& path, std::size_t max_bytes,
                          std::string* text);

// "def_install.txt".
struct InstallFolders {
  std::string default_folder;    // line 1
  std::string preferred_folder;  // line 2, may be empty
  // The folder field's first text: line 2 when it is not empty, else line 1.
  const std::string& initial() const {
    return preferred_folder.empty() ? default_folder : preferred_folder;
  }
};
// Line 1, and line 2 only when `with_preferred` (an empty line 2 reads as
// none). With "\n" line ends.
std::string install_folders_text(const InstallFolders& folders, bool with_preferred);
bool read_install_folders(os::Os& os, const std::string& path, InstallFolders* folders);
// The same from the file's bytes held in memory.
InstallFolders install_folders_from_text(const std::string& bytes);

// The text of the data file `name` of `files` (at most `max_bytes`
// characters, CR LF as LF), its macros expanded with `install_folder`. False
// (and an empty text) when the package has no such file.
bool expanded_data_text(os::Os& os, const std::vector<MacroRecord>& table, const DataFiles& files,
                        const std::string& name, const std::string& install_folder,
                        std::size_t max_bytes, std::string* text);

// The end-of-install files, taken from the data files read at start-up when
// the done step opens: "eoi_file.txt" is expanded with the install folder,
// then "eoi_message.txt" and "eoi_buttons.txt" with an empty install folder.
// With a `language` whose message the package has ("eoi_message.de.txt"),
// that message is shown instead.
struct EndOfInstall {
  std::string message;
  std::string eoi_command;  // "eoi_file.txt": the file or command started at the end
  bool ok_box = false;  // "eoi_buttons.txt" begins with 'O'; else Yes/No
};
// "eoi_buttons.txt": "OK" or "YESNO".
std::string end_of_install_buttons_text(bool ok_box);
void read_end_of_install(os::Os& os, const std::vector<MacroRecord>& table, const DataFiles& files,
                         const std::string& install_folder, EndOfInstall* events,
                         const std::string& language = "");

// "uninstall.txt", expanded with the install folder: the installed
// uninstaller's full path. False when the package has no such file.
bool read_uninstaller_path(os::Os& os, const std::vector<MacroRecord>& table,
                           const DataFiles& files, const std::string& install_folder,
                           std::string* path);

}  // namespace quill::package
