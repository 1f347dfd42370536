// The install's side of a package's declarations: what "declarations.txt"
// turns into once its macros are expanded and its roots resolved by the
// package's install scope, checked whole before the install writes anything.
// A declaration the install may not carry out makes the package damaged.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/callback_ref.h"
#include "os/os.h"
#include "package/declarations.h"
#include "package/install_scope.h"

namespace quill::package {

// Where the environment of each scope lives.
extern const char kMachineEnvironmentKey[];  // "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
extern const char kUserEnvironmentKey[];     // "Environment"
extern const char kPathValue[];              // "Path"

// What one planned value is, for the log and for the notifications.
enum class PlannedKind : char { value = 'v', association = 'a', environment = 'e' };

// One registry value the install writes.
struct PlannedValue {
  PlannedKind kind = PlannedKind::value;
  os::RegistryRoot root = os::RegistryRoot::current_user;
  std::string key;
  std::string name;
  os::Os::RegistryValue value;
  bool remove_on_uninstall = true;
  bool remove_key_when_empty = false;
  // Keys the install creates for this value that the removal deletes again
  // when they are left empty (associations).
  bool remove_created_keys = false;
};

// One folder the install adds to a `Path`.
struct PlannedPath {
  os::RegistryRoot root = os::RegistryRoot::current_user;
  std::string folder;
};

struct DeclarationPlan {
  std::vector<PlannedValue> values;  // registry values, associations, then variables
  std::vector<PlannedPath> paths;
  bool empty() const { return values.empty() && paths.empty(); }
};

// Turns the declarations into the plan. `expand` expands a text's macros
// (with the install folder); `install_folder` is the folder itself, without
// a trailing backslash. False, with `error` saying why, when a declaration
// is one the package may not make: a per-user package that writes the
// machine's hive or environment, a PATH entry that is not the install
// folder or below it, an associated file whose name climbs out of its folder
// ("." or ".." parts), a value grown too long by its macros, anything the
// text form's own checks refuse.
bool plan_declarations(const Declarations& declarations, const InstallScope& scope,
                       const std::string& install_folder,
                       CallbackRef<std::string(const std::string&)> expand,
                       DeclarationPlan* plan, std::string* error);

// True when `folder` is `install_folder` or below it (no "." or ".." part,
// compared ignoring letter case and a trailing backslash).
bool is_install_folder_or_below(const std::string& folder, const std::string& install_folder);

// The `Path` rules: entries are separated by ';'; two name the same folder
// when they are equal ignoring letter case and a trailing backslash.
bool path_holds(const std::string& path, const std::string& folder);
// `path` with `folder` appended.
std::string path_with(const std::string& path, const std::string& folder);
// `path` without one entry naming `folder` (the last one), the rest as it
// is; false when no entry names it.
bool path_without(const std::string& path, const std::string& folder, std::string* result);

}  // namespace quill::package
