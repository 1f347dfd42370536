// The install engine: extracts every file that "fileinfo.txt" names from the
// payload archive to its destination, asks before replacing, reports
// progress, honours a cancel and writes the file lines of the uninstall log;
// then creates the shortcuts and the uninstall registration.
//
// Implemented by the stub's install thread (installer/win32) and by tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "os/os.h"
#include "package/data_files.h"
#include "package/macros.h"

namespace quill::installer {

enum class ReplaceAnswer { yes, no, cancel };

// How the engine reaches the user. Called on the install thread.
class InstallCallback {
 public:
  virtual ~InstallCallback() = default;
  // An installed file already exists; `name` is the entry name of the
  // "fileinfo.txt" line without its leading '\' (as it is joined to the
  // destination folder). replace_question(name) gives the box's text.
  virtual ReplaceAnswer ask_replace(const std::string& name) = 0;
  // Text for the status control 1020.
  virtual void set_status(const std::string& text) = 0;
  // Progress: `done` files of `total` (the range is 0 ... total).
  virtual void set_progress(std::uint64_t done, std::uint64_t total) = 0;
  // Polled before every "fileinfo.txt" line. Waits while the cancel question
  // is open, then answers whether the user confirmed the cancel.
  virtual bool cancel_requested() = 0;
};

enum class InstallResult {
  finished,   // files, shortcuts and registration done: move to the last step
  cancelled,  // the user cancelled: remove the payload folder, end the process
  damaged,    // the package's archive is unreadable or an entry fails its check
};

// Which shortcut locations the user kept ticked (boxes 1012, 1013, 1014).
struct ShortcutChoice {
  bool desktop = true;
  bool start_menu = true;
  bool quick_launch = true;
};

// The data files are read from the payload folder (package::payload_folder).
struct InstallRequest {
  std::string install_folder;  // the folder field's text
  // The value of the last "macros.txt" record; has_registered_name is false
  // when the package has none.
  std::string registered_name;
  bool has_registered_name = false;
  std::uint64_t install_entry_count = 0;  // progress range, from the payload scan
  ShortcutChoice shortcuts;
  const std::vector<package::MacroRecord>* macros = nullptr;  // expands the data files
};

// Counts of what one run did, for the caller and for tests.
struct InstallStats {
  std::uint64_t files_done = 0;       // lines whose entry was found
  std::uint64_t files_written = 0;    // extractions that succeeded
  std::uint64_t lines_refused = 0;    // names that would leave their folder
};

// The uninstall log's name inside the install folder.
extern const char kUninstallLogName[];  // "uninstall.ini"

// "The file named %s already exists at the selected location.\nDo you wish
// to replace it?"
std::string replace_question(const std::string& name);
// "Installing\n%s..."
std::string installing_status(const std::string& destination);
// The install folder with its trailing backslash.
std::string install_folder_path(const std::string& folder_text);
// True when `name` may name a key below the Uninstall key: not empty and no
// backslash (which would reach the Uninstall key itself or another key).
bool is_safe_registered_name(const std::string& name);

// A request from the loaded installer data, the folder field's text and the
// ticked boxes. The data must outlive the request (its macro table is used).
InstallRequest make_install_request(const package::InstallerData& data,
                                    const std::string& folder_text, const ShortcutChoice& choice);

// True for "X:\..." and "\\server\...".
bool is_absolute_path(const std::string& path);

// The request's macro table, or an empty one.
const std::vector<package::MacroRecord>& macro_table(const InstallRequest& request);

// The install thread's whole work: files, then shortcuts and registration.
InstallResult run_install(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                          InstallStats* stats = nullptr);

// The file part alone: creates the install folder, starts the uninstall log
// and installs every "fileinfo.txt" line.
InstallResult install_files(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                            InstallStats* stats = nullptr);

}  // namespace quill::installer
