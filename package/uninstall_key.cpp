// The uninstall entry in the registry.
#include "package/uninstall_key.h"

namespace quill::package {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool is_safe_registered_name(const std::string& name) {
  return !name.empty() && name.find('\\') == std::string::npos;
}

std::string display_name(const std::string& registered_name) {
  return registered_name + " (remove only)";
}

std::string uninstall_string(const std::string& uninstaller_path) {
  return "\"" + uninstaller_path + "\"";
}

std::string quiet_uninstall_string(const std::string& uninstaller_path) {
  return uninstall_string(uninstaller_path) + " /S";
}

std::string shown_registry_place(os::RegistryRoot root, const std::string& key, const std::string& name) {
  return std::string(root == os::RegistryRoot::current_user ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") +
         key + "\\" + name;
}

bool write_uninstall_entry(
    os::Os& os, const UninstallEntry& entry,
    CallbackRef<void(const std::string& place, const std::string& data)> written) {
  bool all = true;
  const std::string key = std::string(kUninstallKey) + "\\" + entry.registered_name;
  const os::RegistryRoot root = entry.root;
  auto write_string = [&](const char* name, const std::string& value) {
    if (os.registry_write_string(root, key, name, value) != os::Error::none) all = false;
    if (written) written(shown_registry_place(root, key, name), value);
  };
  auto write_dword = [&](const char* name, std::uint32_t value) {
    if (os.registry_write_dword(root, key, name, value) != os::Error::none) all = false;
    if (written) written(shown_registry_place(root, key, name), std::to_string(value));
  };
  const std::string& folder = entry.install_folder;
  write_string("DisplayName", display_name(entry.registered_name));
  write_string("UninstallString", uninstall_string(entry.uninstaller_path));
  write_dword("NoModify", 1);
  write_dword("NoRepair", 1);
  write_string("QuietUninstallString", quiet_uninstall_string(entry.uninstaller_path));
  // The folder without its trailing backslash, unless it is a drive's root.
  write_string("InstallLocation", folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder);
  write_string("DisplayIcon", entry.uninstaller_path);
  const std::uint64_t kilobytes = entry.installed_bytes / 1024;
  write_dword("EstimatedSize",
              kilobytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kilobytes));
  if (!entry.install_date.empty()) write_string("InstallDate", entry.install_date);
  if (entry.has_version) write_string("DisplayVersion", entry.version);
  if (entry.has_publisher) write_string("Publisher", entry.publisher);
  return all;
}

bool delete_uninstall_entry(os::Os& os, const std::string& registered_name, os::RegistryRoot root) {
  if (!is_safe_registered_name(registered_name)) return false;
  return os.registry_delete_key(root, kUninstallKey, registered_name) ==
         os::Error::none;
}

}  // namespace quill::package
