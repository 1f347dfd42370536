// Who a package installs for, and where that puts things. The builder writes
// the data file "install_scope.txt" only for a package that differs from a
// machine-wide install with the current user's shortcuts, so a package
// without the file (every package made before the file existed) installs
// exactly as such packages always did. The rules below are the one place
// that turns the scope into folders and registry roots.
#pragma once

#include <string>

#include "os/os.h"

namespace quill::package {

enum class Scope {
  machine,  // for every user of the machine: asks for elevation at start
  user,     // for the user who runs it: no elevation
};

// Whose desktop and Programs folder a machine-wide install's shortcuts go to.
enum class ShortcutFolders { all_users, current_user };

struct InstallScope {
  Scope scope = Scope::machine;
  ShortcutFolders shortcuts = ShortcutFolders::current_user;

  bool operator==(const InstallScope& o) const { return scope == o.scope && shortcuts == o.shortcuts; }
  bool operator!=(const InstallScope& o) const { return !(*this == o); }
};

// Line 1 "machine" or "user", line 2 "all users" or "current user".
std::string install_scope_text(const InstallScope& scope);
// Unknown or missing lines read as the default's.
InstallScope install_scope_from_text(const std::string& bytes);
// False when the package needs no such file: the default scope.
inline bool needs_install_scope_file(const InstallScope& scope) { return scope != InstallScope(); }

// --- The rules of a scope.

// Where the uninstall entry goes.
os::RegistryRoot uninstall_root(const InstallScope& scope);
// The folders desktop and start-menu shortcuts go to. A per-user install
// always uses the user's own folders.
os::SpecialFolder desktop_folder(const InstallScope& scope);
os::SpecialFolder programs_folder(const InstallScope& scope);
// The install folder's access list is set like Program Files' only for a
// machine-wide install; a user's own folder keeps what it inherits.
bool secures_install_folder(const InstallScope& scope);
// The folder a new project of the scope offers.
const char* default_folder_text(Scope scope);  // "%program files%\%name%", "%user programs%\%name%"

// A per-user package's installer and uninstaller start without elevation:
// the builder rewrites the requested execution level in the program's
// manifest from requireAdministrator to asInvoker, padded with spaces inside
// the element so that the program keeps its length and layout. True when the
// program now asks for no elevation; false (bytes unchanged) when its
// manifest holds no single such level.
bool request_no_elevation(std::string* program);

}  // namespace quill::package
