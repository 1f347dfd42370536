// The uninstall entry of an installed program: one key below the system's
// Uninstall key (HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER for a per-user
// install), named by the registered name, with the values the list of
// installed programs shows. The installer writes it; the
// uninstaller deletes it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/callback_ref.h"
#include "os/os.h"

namespace quill::package {

// Key below HKEY_LOCAL_MACHINE that holds one key per installed program.
extern const char kUninstallKey[];  // "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"

// True when `name` may name a key below the Uninstall key: not empty and no
// backslash (which would reach the Uninstall key itself or another key).
bool is_safe_registered_name(const std::string& name);

// "<name> (remove only)"
std::string display_name(const std::string& registered_name);
// The uninstaller's path in double quotes.
std::string uninstall_string(const std::string& uninstaller_path);
// The same followed by " /S", which removes without a question.
std::string quiet_uninstall_string(const std::string& uninstaller_path);

struct UninstallEntry {
  // HKEY_CURRENT_USER for a per-user install.
  os::RegistryRoot root = os::RegistryRoot::local_machine;
  std::string registered_name;  // the key's name (is_safe_registered_name)
  std::string uninstaller_path;
  std::string install_folder;  // with its trailing backslash
  std::uint64_t installed_bytes = 0;
  std::string install_date;  // "YYYYMMDD"; empty: not written
  bool has_version = false;
  std::string version;
  bool has_publisher = false;
  std::string publisher;
};

// A registry value as the records name it: "HKEY_LOCAL_MACHINE\key\name"
// (or HKEY_CURRENT_USER), the key in full from its root.
std::string shown_registry_place(os::RegistryRoot root, const std::string& key, const std::string& name);

// Writes the entry's values; `written` (optional) hears each value's place
// (shown_registry_place) and its data as text. True when every value was
// written.
bool write_uninstall_entry(
    os::Os& os, const UninstallEntry& entry,
    CallbackRef<void(const std::string& place, const std::string& data)> written = nullptr);

// Deletes the entry of `registered_name` unless the name is not safe. True
// when a key was deleted.
bool delete_uninstall_entry(os::Os& os, const std::string& registered_name,
                            os::RegistryRoot root = os::RegistryRoot::local_machine);

}  // namespace quill::package
