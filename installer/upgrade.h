// An install over an installed program of the same registered name: the
// upgrade. The program counts as installed when its uninstall entry (in the
// package's scope) and its uninstall log both exist. The upgrade offers the
// installed folder, asks before it puts an older version over a newer one,
// and, inside the install's transaction, removes what the old log lists and
// the new install does not, within the uninstaller's own limits
// (uninstaller/removal_scope.h): the old log is plain text anyone may have
// edited, so it is trusted no further than by a removal.
#pragma once

#include <cstdint>
#include <string>
#include <set>
#include <utility>
#include <vector>

#include "installer/install_engine.h"
#include "os/os.h"
#include "package/data_files.h"
#include "package/uninstall_log.h"

namespace quill::installer {

// What was found of the installed program.
struct InstalledProgram {
  os::RegistryRoot root = os::RegistryRoot::local_machine;
  std::string registered_name;
  std::string folder;  // InstallLocation, else the log's last entry
  bool has_version = false;
  std::string version;  // DisplayVersion
  package::UninstallLog log;  // read whole
  // The log's undamaged paths, compared as the removal compares them.
  std::set<std::string> logged;
  // The entry's values as they were, to put back when the upgrade fails.
  std::vector<std::pair<std::string, std::string>> strings;
  std::vector<std::pair<std::string, std::uint32_t>> dwords;
};

enum class InstalledLookup {
  none,        // not installed (or the package has no usable registered name)
  found,
  unreadable,  // an entry and a log exist, but they could not be read whole
};

// Looks for the installed program of the package's registered name. The log
// is the one in InstallLocation, else the one beside the registered
// uninstaller; it must name the same program.
InstalledLookup find_installed_program(os::Os& os, const package::InstallerData& data,
                                       InstalledProgram* installed);

// The box of an installed program whose entry or log cannot be read: the
// installer ends without a change.
std::string installed_unreadable_text();

// The package's version: its "%version%" text macro. False when it has none.
bool package_version(const std::vector<package::MacroRecord>& macros, std::string* version);

// True when the package is older than the installed version; both must be
// known. `version` receives the package's.
bool is_downgrade(const InstalledProgram& installed, const std::vector<package::MacroRecord>& macros,
                  std::string* version);

// "A newer version (%s) of %s is installed. Install version %s anyway?"
// (Yes/No; No ends the installer without a change).
std::string downgrade_question(const InstalledProgram& installed, const std::string& version);

// The upgrade's part of the install, after the new files and shortcuts are
// in place: moves aside (through `transaction`, so that undoing brings them
// back) every file and shortcut that the old log lists and `kept` (the
// paths the new log lists) does not, then removes the folders this left
// empty. A file that cannot be moved asks the write-failed question;
// `write_failed` when the user chose Abort.
InstallResult remove_old_files(os::Os& os, const InstalledProgram& installed,
                               const std::vector<std::string>& kept, InstallCallback& callback,
                               Transaction& transaction);

// True when the installed program's log lists `path`: an upgrade replaces
// such a file without asking, as it is the old version's own.
bool is_installed_file(const InstalledProgram& installed, const std::string& path);

// Puts the installed program's entry back as it was found.
void restore_uninstall_entry(os::Os& os, const InstalledProgram& installed);

}  // namespace quill::installer
