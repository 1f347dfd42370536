// The places a removal may act in, and the links on the way to them.
#include "uninstaller/removal_scope.h"

#include "package/uninstall_key.h"

namespace quill::uninstaller {
namespace {

// The installer puts quick-launch shortcuts here, below the application-data
// folder.
const char kQuickLaunchFolder[] = "\\Microsoft\\Internet Explorer\\Quick Launch";

std::string comparable(const std::string& path) {
  return path.empty() ? std::string() : comparable_folder_path(path);
}

std::string parent_of(const std::string& path) {
  const std::size_t cut = path.rfind('\\');
  return cut == std::string::npos || cut < 2 ? std::string() : path.substr(0, cut);
}

bool is_shortcut_name(const std::string& path) {
  return path.size() > 4 && path.compare(path.size() - 4, 4, ".LNK") == 0;
}

// The uninstall entry of `log`'s registered name, when it records `folder`
// as the install location and an uninstaller in `log_folder`: the comparable
// path of that uninstaller, else empty.
std::string registered_uninstaller(os::Os& os, const UninstallLog& log, const std::string& folder,
                                   const std::string& log_folder) {
  if (log.registered_name_damaged || !package::is_safe_registered_name(log.registered_name)) return "";
  const std::string key = std::string(package::kUninstallKey) + "\\" + log.registered_name;
  const os::RegistryRoot root = uninstall_entry_root(os, log);
  std::string location, command;
  if (os.registry_read_string(root, key, "InstallLocation", &location) != os::Error::none ||
      os.registry_read_string(root, key, "UninstallString", &command) != os::Error::none) {
    return "";
  }
  if (command.size() >= 2 && command.front() == '"' && command.back() == '"') {
    command = command.substr(1, command.size() - 2);
  }
  const std::string uninstaller = comparable(command);
  if (comparable(location) != folder || uninstaller.empty() || parent_of(uninstaller) != log_folder) {
    return "";
  }
  return uninstaller;
}

// The first of `folders` that `path` lies below; nullptr when none.
const std::string* below_any(const std::string (&folders)[2], const std::string& path) {
  for (const std::string& folder : folders) {
    if (is_below_comparable(folder, path)) return &folder;
  }
  return nullptr;
}

}  // namespace

os::RegistryRoot uninstall_entry_root(os::Os& os, const UninstallLog& log) {
  const os::RegistryRoot user = os::RegistryRoot::current_user;
  if (log.registered_name_damaged || !package::is_safe_registered_name(log.registered_name) ||
      log.entries.empty() || log.entries.back().damaged) {
    return os::RegistryRoot::local_machine;
  }
  const std::string key = std::string(package::kUninstallKey) + "\\" + log.registered_name;
  std::string location;
  const std::string folder = comparable(log.entries.back().path);
  if (!folder.empty() && os.registry_read_string(user, key, "InstallLocation", &location) == os::Error::none &&
      comparable(location) == folder) {
    return user;
  }
  return os::RegistryRoot::local_machine;
}

bool is_below_comparable(const std::string& folder, const std::string& path) {
  return !folder.empty() && path.size() > folder.size() + 1 &&
         path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '\\';
}

RemovalScope::RemovalScope(os::Os& os, const UninstallLog& log, const FolderGuard& guard)
    : log_path_(comparable(log.path)),
      programs_{comparable(os.special_folder(os::SpecialFolder::programs)),
                comparable(os.special_folder(os::SpecialFolder::common_programs))},
      desktops_{comparable(os.special_folder(os::SpecialFolder::desktop)),
                comparable(os.special_folder(os::SpecialFolder::common_desktop))} {
  const std::string app_data = os.special_folder(os::SpecialFolder::app_data);
  if (!app_data.empty()) quick_launch_ = comparable(app_data + kQuickLaunchFolder);
  if (log.entries.empty() || log.entries.back().damaged) return;
  const std::string& last = log.entries.back().path;
  const std::string folder = comparable(last);
  const std::string log_folder = parent_of(log_path_);
  if (folder.empty() || log_folder.empty() || !guard.may_remove(last)) return;
  if (log_folder != folder) {
    uninstaller_ = registered_uninstaller(os, log, folder, log_folder);
    if (uninstaller_.empty()) return;
  }
  install_folder_ = folder;
}

EntryRole RemovalScope::role(const std::string& entry) const {
  const std::string path = comparable(entry);
  if (path.empty()) return EntryRole::none;
  if (is_below_comparable(install_folder_, path)) return EntryRole::installed;
  if (path == log_path_) return EntryRole::log_copy;
  if (!uninstaller_.empty() && path == uninstaller_) return EntryRole::uninstaller;
  if (below_any(programs_, path)) {
    return is_shortcut_name(path) ? EntryRole::shortcut : EntryRole::program_group;
  }
  if (is_shortcut_name(path) && (below_any(desktops_, path) || is_below_comparable(quick_launch_, path))) {
    return EntryRole::shortcut;
  }
  return EntryRole::none;
}

const std::string& RemovalScope::anchor(EntryRole role, const std::string& path) const {
  static const std::string kNone;
  switch (role) {
    case EntryRole::installed: return install_folder_;
    case EntryRole::program_group: return *below_any(programs_, path);
    case EntryRole::shortcut:
      if (const std::string* programs = below_any(programs_, path)) return *programs;
      if (const std::string* desktop = below_any(desktops_, path)) return *desktop;
      return quick_launch_;
    default: return kNone;
  }
}

bool RemovalScope::no_link_on_the_way(os::Os& os, const std::string& entry, EntryRole role) const {
  const std::string& from = anchor(role, comparable(entry));
  // The log and the uninstaller beside it are reached as the removal reached
  // the log; a link in their own place is deleted as an entry.
  if (from.empty()) return true;
  // The folders are looked at as the entry spells them, which the system
  // finds without a search through their parents.
  std::string written = entry;
  for (char& c : written) {
    if (c == '/') c = '\\';
  }
  bool past_anchor = false;
  for (std::size_t at = written.find('\\'); at != std::string::npos; at = written.find('\\', at + 1)) {
    const std::string folder = written.substr(0, at);
    if (!past_anchor) {
      if (comparable(folder) != from) continue;
      past_anchor = true;
      if (role != EntryRole::installed) continue;
    }
    if (os.file_status(folder).is_link) return false;
  }
  return past_anchor;
}

}  // namespace quill::uninstaller
