// The install engine: extracts every file that "fileinfo.txt" names from the
// payload archive to its destination, asks before replacing, reports
// progress, honours a cancel and writes the file lines of the uninstall log;
// then creates the shortcuts and the uninstall registration.
//
// The run is one transaction: every file, folder and shortcut it creates or
// replaces is recorded (installer/transaction.h), and a run that does not
// finish (a damaged entry, a cancel, Abort after a failed write) undoes all
// of it before it ends. The uninstall entry is written last.
//
// Implemented by the stub's install thread (installer/win32) and by tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/callback_ref.h"
#include "common/progress_report.h"
#include "common/run_log.h"
#include "installer/install_folder.h"
#include "os/os.h"
#include "package/archive.h"
#include "package/data_files.h"
#include "package/uninstall_key.h"
#include "package/uninstall_log.h"
#include "package/macros.h"

namespace quill::installer {

struct InstalledProgram;

enum class ReplaceAnswer { yes, no, cancel };
// The answer to a file that could not be written.
enum class WriteAnswer { abort, retry, ignore };

// How the engine reaches the user. Called on the install thread. The status
// is the installing step's status line; the progress counts files, from 0
// to the request's install_entry_count. cancel_requested is polled before
// every "fileinfo.txt" line: it waits while the cancel question is open,
// then answers whether the user confirmed the cancel.
class InstallCallback : public ProgressReport {
 public:
  // An installed file already exists; `name` is the entry name of the
  // "fileinfo.txt" line without its leading '\' (as it is joined to the
  // destination folder). replace_question(name) gives the box's text.
  virtual ReplaceAnswer ask_replace(const std::string& name) = 0;
  // A file (or the uninstall log) could not be written; write_question(path)
  // gives the box's text. Retry tries again, Ignore goes on without it,
  // Abort undoes the installation.
  virtual WriteAnswer ask_write_failed(const std::string& path) = 0;
  // A file to replace is in use by another program; `question` (from
  // in_use_question) names it and what holds it. Asked in interactive runs
  // only; by default the failed-write question answers.
  virtual WriteAnswer ask_file_in_use(const std::string& path, const std::string& question) {
    (void)question;
    return ask_write_failed(path);
  }
};

// How a run ended. Every result but `finished` has left the machine as it
// was before the run (the payload folder aside).
enum class InstallResult {
  finished,         // files, shortcuts and registration done: move to the last step
  cancelled,        // the user cancelled: remove the payload folder, end the process
  damaged,          // the package's archive is unreadable or an entry fails its check
  unusable_folder,  // the install folder is no usable absolute folder or cannot be created
  write_failed,     // the user chose Abort after a failed write
};

// Which shortcut locations the user kept ticked.
struct ShortcutChoice {
  bool desktop = true;
  bool start_menu = true;
  bool quick_launch = true;
};

// What the install works from: nothing of it is read from the payload
// folder again.
struct InstallRequest {
  InstallFolder install_folder;  // a run refuses one that is not usable
  // The value of the last "macros.txt" record; has_registered_name is false
  // when the package has none.
  std::string registered_name;
  bool has_registered_name = false;
  std::uint64_t install_entry_count = 0;  // progress range, from the payload scan
  ShortcutChoice shortcuts;
  package::InstallScope scope;  // where shortcuts and the uninstall entry go
  const std::vector<package::MacroRecord>* macros = nullptr;  // expands the data files
  RunLog* log = nullptr;  // the "/LOG=" record of what the run does (null: none)
  // The data files read at start-up: "fileinfo.txt", "shortcuts.txt" and
  // "uninstall.txt" are taken from here (null: the package has none).
  const package::DataFiles* data_files = nullptr;
  // The payload archive, read through the open file it names.
  package::ArchiveLocation archive;
  // The payload folder the run made (ends in a backslash): replaced files
  // are kept below it until the run ends.
  std::string payload_folder;
  // An upgrade: the program found installed at start (installer/upgrade.h);
  // null for a fresh install.
  const InstalledProgram* installed = nullptr;
  // Receives every path the run writes to the uninstall log (null: none).
  std::vector<std::string>* logged = nullptr;
  // "/S": a file in use gets no question (see common/in_use.h).
  bool silent = false;
  // False with "/NORESTART": a file in use is never left for the next
  // restart; the run ends (undone) instead.
  bool restart_allowed = true;
};

// Records a step in the request's record, when it has one.
void note(const InstallRequest& request, const char* step, const std::string& value = std::string(),
          const std::string& second = std::string());
// Tells the request's collector (when it has one) that the log names `path`.
void logged(const InstallRequest& request, const std::string& path);

// Counts of what one run did, for the caller and for tests.
struct InstallStats {
  std::uint64_t files_done = 0;       // lines whose entry was found
  std::uint64_t files_written = 0;    // extractions that succeeded
  std::uint64_t lines_refused = 0;    // names that would leave their folder
  std::uint64_t bytes_written = 0;    // the size of the files written
  std::uint64_t files_later = 0;      // files in use, replaced at the next restart
};

// "The file named %s already exists at the selected location.\nDo you wish
// to replace it?"
std::string replace_question(const std::string& name);
// "Installing\n%s..."
std::string installing_status(const std::string& destination);
// "The file %s could not be written.\nAbort the installation, retry, or
// ignore this file?"
std::string write_question(const std::string& path);
// Status text while a run is undone.
std::string undoing_status();  // "Undoing changes..."

// A request from the loaded installer data, the install folder and the
// ticked boxes. The data must outlive the request (its macro table is used).
InstallRequest make_install_request(const package::InstallerData& data,
                                    const InstallFolder& install_folder,
                                    const ShortcutChoice& choice);

// The request's macro table, or an empty one.
const std::vector<package::MacroRecord>& macro_table(const InstallRequest& request);

class Transaction;

// Where a run keeps the old contents of the files it replaces: a folder in
// the payload folder, removed with it.
std::string replaced_files_folder(const InstallRequest& request);

// How a write that the user is asked about ended.
enum class WriteOutcome { written, ignored, aborted };
// Runs `attempt` until it succeeds or, asked about `path`, the user answers
// Ignore or Abort. Without a callback a failure is ignored silently.
WriteOutcome write_or_ask(InstallCallback* callback, const std::string& path,
                          CallbackRef<bool()> attempt);

// The install thread's whole work: files, then shortcuts and registration;
// an upgrade removes what the old install had and this one has not before
// the entry is written. A run that does not finish is undone (status
// undoing_status()) first, an upgrade's old entry put back.
InstallResult run_install(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                          InstallStats* stats = nullptr);

// The file part alone: creates the install folder, starts the uninstall log
// and installs every "fileinfo.txt" line (expanded with the install folder),
// recording its changes in `transaction`. Undoing them is the caller's.
InstallResult install_files(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                            Transaction& transaction, InstallStats* stats = nullptr);
// The same with a transaction of its own, undone when the run does not finish.
InstallResult install_files(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                            InstallStats* stats = nullptr);

}  // namespace quill::installer
