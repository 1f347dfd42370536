// Shortcuts and uninstall registration, run by the install thread after the
// files are copied: the links the user kept ticked, the rest of the
// uninstall log, its copy beside the uninstaller, and the uninstall entry.
#pragma once

#include <string>

#include "installer/install_engine.h"
#include "os/os.h"
#include "package/install_scope.h"
#include "package/record_files.h"

namespace quill::installer {

extern const char kQuickLaunchFolder[];  // "\Microsoft\Internet Explorer\Quick Launch"
// The uninstall entry's DWORD value naming the language the install spoke
// (a Windows language identifier); the uninstaller speaks it too.
extern const char kLanguageValue[];
std::string creating_shortcuts_status();  // "Creating shortcuts...\n"

// Where one shortcut goes.
struct ShortcutPlan {
  std::string folder;        // the folder the link lies in
  bool create_folder = false;  // a start-menu group folder to create
  std::string folder_line;   // the log's folder line (empty: none to remove)
  std::string link_path;
};

// Plans a shortcut's link path and log lines. False when the record is
// refused: an unknown location, a name or folder that would leave its
// location ("..", absolute parts), or a link path longer than a path may be.
// A start-menu record with an empty folder goes straight into the Programs
// folder and logs an empty folder line, so the uninstaller never removes the
// Programs folder itself.
// The scope picks whose desktop and Programs folder.
bool plan_shortcut(os::Os& os, const package::ShortcutRecord& record, ShortcutPlan* plan,
                   const package::InstallScope& scope = package::InstallScope());

class Transaction;

// Creates the ticked shortcuts of the request's "shortcuts.txt" (expanded
// with the install folder) and appends two log lines for each. With a
// transaction, the group folders and links it creates (and links it
// replaces) are recorded there.
// A log line that cannot be written asks the write-failed question; false
// when the user chose Abort.
bool create_shortcuts(os::Os& os, const InstallRequest& request, const std::string& log_path,
                      InstallCallback& callback, Transaction* transaction = nullptr);

// Completes the log from "uninstall.txt" (expanded with the install folder),
// copies it beside an uninstaller installed elsewhere and writes the
// uninstall entry, last of all. Without "uninstall.txt" the log is deleted;
// without a usable registered name no registry entry is written. With a
// callback, a log line or copy that cannot be written asks the write-failed
// question. Answers `finished`, or `write_failed` when the user chose Abort;
// no registry value is written then. With a transaction, the log's copy is
// recorded there.
// The entry tells the system's program list how to remove the program
// quietly, where it lies, its icon, its size (`installed_bytes`), the day
// of the install and, when the macro table has "%version%" or
// "%publisher%" text macros, its version and publisher.
InstallResult register_uninstall(os::Os& os, const InstallRequest& request, const std::string& log_path,
                        InstallCallback* callback = nullptr, Transaction* transaction = nullptr,
                        std::uint64_t installed_bytes = 0);

}  // namespace quill::installer
