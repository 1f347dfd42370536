// Finding the installed program, the version question and the removal of
// what an upgrade no longer installs.
#include "installer/upgrade.h"

#include <algorithm>
#include <set>

#include "common/paths.h"
#include "common/texts.h"
#include "installer/transaction.h"
#include "package/install_scope.h"
#include "package/uninstall_key.h"
#include "package/version.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/removal_scope.h"

namespace quill::installer {
namespace {

const char* const kStringValues[] = {"DisplayName",  "UninstallString", "QuietUninstallString",
                                     "InstallLocation", "DisplayIcon", "InstallDate",
                                     "DisplayVersion", "Publisher"};
const char* const kDwordValues[] = {"NoModify", "NoRepair", "EstimatedSize", "Language"};

std::string comparable(const std::string& path) {
  return uninstaller::comparable_folder_path(path);
}

}  // namespace

std::string installed_unreadable_text() {
  return std::string(texts::text(texts::TextId::installed_unreadable));
}

InstalledLookup find_installed_program(os::Os& os, const package::InstallerData& data,
                                       InstalledProgram* installed) {
  *installed = InstalledProgram();
  if (!data.has_registered_name || !package::is_safe_registered_name(data.registered_name)) {
    return InstalledLookup::none;
  }
  installed->root = package::uninstall_root(data.scope);
  installed->registered_name = data.registered_name;
  const std::string key = std::string(package::kUninstallKey) + "\\" + data.registered_name;
  if (!os.registry_key_exists(installed->root, key)) return InstalledLookup::none;
  for (const char* name : kStringValues) {
    std::string value;
    const os::Error error = os.registry_read_string(installed->root, key, name, &value);
    if (error == os::Error::not_found) continue;
    if (error != os::Error::none) return InstalledLookup::unreadable;
    installed->strings.emplace_back(name, value);
  }
  for (const char* name : kDwordValues) {
    std::uint32_t value = 0;
    const os::Error error = os.registry_read_dword(installed->root, key, name, &value);
    if (error == os::Error::not_found) continue;
    if (error != os::Error::none) return InstalledLookup::unreadable;
    installed->dwords.emplace_back(name, value);
  }
  std::string location, command;
  for (const auto& [name, value] : installed->strings) {
    if (name == "InstallLocation") location = value;
    if (name == "UninstallString") command = value;
    if (name == "DisplayVersion") {
      installed->has_version = true;
      installed->version = value;
    }
  }
  if (command.size() >= 2 && command.front() == '"' && command.back() == '"') {
    command = command.substr(1, command.size() - 2);
  }
  std::vector<std::string> candidates;
  if (is_absolute_backslash_path(with_trailing_backslash(location))) {
    candidates.push_back(with_trailing_backslash(location) + package::kUninstallLogName);
  }
  if (is_absolute_backslash_path(command)) candidates.push_back(folder_part(command) + package::kUninstallLogName);
  for (const std::string& log_path : candidates) {
    if (!os.file_status(log_path).exists) continue;
    if (package::read_uninstall_log(os, log_path, &installed->log) != package::LogStatus::ok) {
      return InstalledLookup::unreadable;
    }
    // A log of another program, or one without entries, is no install of this one.
    if (installed->log.registered_name_damaged ||
        installed->log.registered_name != data.registered_name || installed->log.entries.empty()) {
      return InstalledLookup::none;
    }
    installed->folder = location.empty() ? installed->log.entries.back().path : location;
    for (const package::LogEntry& entry : installed->log.entries) {
      if (!entry.damaged) installed->logged.insert(comparable(entry.path));
    }
    return InstalledLookup::found;
  }
  return InstalledLookup::none;
}

bool is_installed_file(const InstalledProgram& installed, const std::string& path) {
  return installed.logged.count(comparable(path)) > 0;
}

bool package_version(const std::vector<package::MacroRecord>& macros, std::string* version) {
  bool found = false;
  for (const package::MacroRecord& record : macros) {
    if (!record.is_registry_macro() && record.name == package::kVersionMacro) {
      *version = record.value;  // the last record wins, as in the entry
      found = true;
    }
  }
  return found;
}

bool is_downgrade(const InstalledProgram& installed, const std::vector<package::MacroRecord>& macros,
                  std::string* version) {
  return installed.has_version && package_version(macros, version) &&
         package::compare_versions(*version, installed.version) < 0;
}

std::string downgrade_question(const InstalledProgram& installed, const std::string& version) {
  return texts::format(texts::TextId::downgrade_question,
                       {installed.version, installed.registered_name, version});
}

InstallResult remove_old_files(os::Os& os, const InstalledProgram& installed,
                               const std::vector<std::string>& kept, InstallCallback& callback,
                               Transaction& transaction) {
  const package::UninstallLog& log = installed.log;
  if (log.entries.empty()) return InstallResult::finished;
  const uninstaller::FolderGuard guard(os);
  const uninstaller::RemovalScope scope(os, log, guard);
  std::set<std::string> keep;
  for (const std::string& path : kept) keep.insert(comparable(path));

  std::vector<std::string> folders;  // to remove when empty, as the log spells them
  auto add_parents = [&](const std::string& path, const std::string& anchor) {
    for (std::string folder = without_trailing_backslash(folder_part(path));
         uninstaller::is_below_comparable(anchor, comparable(folder));
         folder = without_trailing_backslash(folder_part(folder))) {
      folders.push_back(folder);
    }
  };
  const std::string programs[] = {comparable(os.special_folder(os::SpecialFolder::programs)),
                                  comparable(os.special_folder(os::SpecialFolder::common_programs))};
  for (std::size_t i = 0; i + 1 < log.entries.size(); ++i) {
    const package::LogEntry& entry = log.entries[i];
    if (entry.damaged || keep.count(comparable(entry.path)) > 0) continue;
    const uninstaller::EntryRole role = scope.role(entry.path);
    if (role == uninstaller::EntryRole::none || role == uninstaller::EntryRole::uninstaller ||
        !scope.no_link_on_the_way(os, entry.path, role)) {
      continue;
    }
    const os::FileStatus status = os.file_status(entry.path);
    // A link in an entry's place leads somewhere that is not the program's.
    if (!status.exists || status.is_link) continue;
    if (status.is_folder) {
      if (guard.may_remove(entry.path)) folders.push_back(without_trailing_backslash(entry.path));
      continue;
    }
    if (role == uninstaller::EntryRole::program_group) continue;  // a file there is no group
    const WriteOutcome moved = write_or_ask(&callback, entry.path, [&] {
      return transaction.move_aside(entry.path);
    });
    if (moved == WriteOutcome::aborted) return InstallResult::write_failed;
    if (moved != WriteOutcome::written) continue;
    if (role == uninstaller::EntryRole::installed) add_parents(entry.path, scope.install_folder());
    for (const std::string& group : programs) {
      if (role == uninstaller::EntryRole::shortcut) add_parents(entry.path, group);
    }
  }
  // The old install folder itself, when the new install went elsewhere.
  if (scope.install_folder_trusted() && keep.count(scope.install_folder()) == 0) {
    folders.push_back(without_trailing_backslash(log.entries.back().path));
  }

  // Deepest first, each once.
  std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() > b.size() : a < b;
  });
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  for (const std::string& folder : folders) {
    if (keep.count(comparable(folder)) > 0 || !guard.may_remove(folder)) continue;
    const os::FileStatus status = os.file_status(folder);
    if (!status.is_folder || status.is_link) continue;
    const os::Error error = transaction.remove_folder(folder);
    if (error != os::Error::none && error != os::Error::not_empty && error != os::Error::not_found) {
      return InstallResult::write_failed;
    }
  }
  return InstallResult::finished;
}

void restore_uninstall_entry(os::Os& os, const InstalledProgram& installed) {
  const std::string key = std::string(package::kUninstallKey) + "\\" + installed.registered_name;
  os.registry_delete_key(installed.root, package::kUninstallKey, installed.registered_name);
  os.registry_create_key(installed.root, key);
  for (const auto& [name, value] : installed.strings) {
    os.registry_write_string(installed.root, key, name, value);
  }
  for (const auto& [name, value] : installed.dwords) {
    os.registry_write_dword(installed.root, key, name, value);
  }
}

}  // namespace quill::installer
