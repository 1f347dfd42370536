// Shortcut creation, the end of the uninstall log and the uninstall entry.
#include "installer/registration.h"

#include <vector>

#include "common/lines.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "installer/install_log.h"
#include "installer/transaction.h"
#include "package/archive.h"
#include "package/macros.h"
#include "package/payload.h"

namespace quill::installer {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kQuickLaunchFolder[] = "\\Microsoft\\Internet Explorer\\Quick Launch";
const char kCreatingShortcutsStatus[] = "Creating shortcuts...\n";
const char kLogTerminator[] = "||||";

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// True when some part of the path is "." or "..".
bool has_dot_part(const std::string& path) {
  std::size_t i = 0;
  while (i <= path.size()) {
    std::size_t end = i;
    while (end < path.size() && !is_separator(path[end])) ++end;
    std::string part = path.substr(i, end - i);
    if (part == "." || part == "..") return true;
    i = end + 1;
  }
  return false;
}

std::string strip_trailing_separators(std::string text) {
  while (!text.empty() && is_separator(text.back())) text.pop_back();
  return text;
}

bool location_ticked(const ShortcutChoice& choice, package::ShortcutLocation location) {
  switch (location) {
    case package::ShortcutLocation::desktop: return choice.desktop;
    case package::ShortcutLocation::start_menu: return choice.start_menu;
    case package::ShortcutLocation::quick_launch: return choice.quick_launch;
    default: return false;
  }
}

}  // namespace

std::string display_name(const std::string& registered_name) {
  return registered_name + " (remove only)";
}

std::string uninstall_string(const std::string& uninstaller_path) {
  return "\"" + uninstaller_path + "\"";
}

std::string quiet_uninstall_string(const std::string& uninstaller_path) {
  return uninstall_string(uninstaller_path) + " /S";
}

namespace {

// The value of a text macro of the table, when it has one of that name.
bool text_macro(const InstallRequest& request, const char* name, std::string* value) {
  for (const package::MacroRecord& record : macro_table(request)) {
    if (!record.is_registry_macro() && record.name == name) {
      *value = record.value;
      return true;
    }
  }
  return false;
}

}  // namespace

bool plan_shortcut(os::Os& os, const package::ShortcutRecord& spec, ShortcutPlan* plan) {
  *plan = ShortcutPlan();
  if (!is_safe_relative_name(spec.name)) return false;
  switch (spec.location) {
    case package::ShortcutLocation::desktop:
      plan->folder = os.special_folder(os::SpecialFolder::desktop);
      break;
    case package::ShortcutLocation::start_menu: {
      plan->folder = os.special_folder(os::SpecialFolder::programs);
      std::string group = strip_trailing_separators(spec.start_menu_folder);
      if (!group.empty()) {
        if (!is_safe_relative_name(group)) return false;
        plan->folder += "\\" + group;
        plan->create_folder = true;
        plan->folder_line = plan->folder;
      }
      break;
    }
    case package::ShortcutLocation::quick_launch:
      plan->folder = os.special_folder(os::SpecialFolder::app_data);
      if (plan->folder.empty()) return false;
      // The record's folder text is appended without a separator.
      plan->folder += kQuickLaunchFolder + spec.start_menu_folder;
      if (has_dot_part(plan->folder)) return false;
      break;
    default:
      return false;
  }
  if (plan->folder.empty()) return false;
  plan->link_path = plan->folder + "\\" + spec.name + ".lnk";
  return plan->link_path.size() <= kMaxLineLength;
}

bool create_shortcuts(os::Os& os, const InstallRequest& request, const std::string& log_path,
                      InstallCallback& callback, Transaction* transaction) {
  const std::string path = package::payload_folder(os) + "shortcuts.txt";
  package::expand_macros_in_file(os, macro_table(request), path,
                                 install_folder_path(request.install_folder));
  std::vector<package::ShortcutRecord> records;
  package::read_shortcut_records(os, path, &records);
  auto log_line = [&](const std::string& line) {
    return write_or_ask(&callback, log_path, [&] { return append_line(os, log_path, line); });
  };
  for (const package::ShortcutRecord& spec : records) {
    if (!location_ticked(request.shortcuts, spec.location)) continue;
    callback.set_status(kCreatingShortcutsStatus);
    ShortcutPlan plan;
    if (!plan_shortcut(os, spec, &plan)) continue;
    if (plan.create_folder) {
      if (transaction) {
        transaction->create_folders(plan.folder);
      } else {
        package::create_folder_chain(os, plan.folder);
      }
      os.notify_folder_created(plan.folder);
    }
    os::Shortcut link;
    link.link_path = plan.link_path;
    link.target = spec.target;
    link.working_folder = folder_part(spec.target);
    bool created = false;
    // A link of the same name is moved aside so that undoing restores it;
    // one that cannot be moved is left alone.
    if (!transaction || !os.file_status(plan.link_path).exists ||
        transaction->move_aside(plan.link_path)) {
      if (transaction) transaction->creating_file(plan.link_path);
      created = os.create_shortcut(link) == os::Error::none;
    }
    note(request, (created ? "Shortcut: " : "Shortcut not created: ") + plan.link_path);
    const WriteOutcome folder_logged = log_line(plan.folder_line);
    if (folder_logged == WriteOutcome::aborted) return false;
    const bool folder_covers = folder_logged == WriteOutcome::written && !plan.folder_line.empty();
    const WriteOutcome link_logged = log_line(plan.link_path);
    if (link_logged == WriteOutcome::aborted) return false;
    if (link_logged == WriteOutcome::ignored && !folder_covers && created) {
      // No line names the link: the uninstaller could not remove it.
      os.delete_file(plan.link_path);
    }
  }
  return true;
}

InstallResult register_uninstall(os::Os& os, const InstallRequest& request, const std::string& log_path,
                        InstallCallback* callback, Transaction* transaction,
                        std::uint64_t installed_bytes) {
  const std::string folder = install_folder_path(request.install_folder);
  std::string uninstaller;
  if (!package::read_uninstaller_path(os, macro_table(request), folder, &uninstaller)) {
    // Without the file the package has no uninstaller; a file that is
    // there but cannot be read must not cost the installed files their log.
    if (os.file_status(package::payload_folder(os) + "uninstall.txt").exists) {
      return InstallResult::damaged;
    }
    os.delete_file(log_path);
    return InstallResult::finished;
  }
  // The file holds one path; a line end after it belongs to no path.
  std::size_t end = uninstaller.find('\n');
  if (end != std::string::npos) uninstaller.erase(end);

  // A path that is not absolute or names no file has no folder to write the
  // log copy into.
  const std::string uninstaller_folder =
      is_absolute_path(uninstaller) && is_safe_relative_name(file_name_part(uninstaller)) ? folder_part(uninstaller)
                                                                                         : "";
  for (const std::string& line : {uninstaller_folder + kUninstallLogName, folder,
                                  std::string(kLogTerminator)}) {
    if (write_or_ask(callback, log_path, [&] { return append_line(os, log_path, line); }) ==
        WriteOutcome::aborted) {
      return InstallResult::write_failed;
    }
  }
  if (!uninstaller_folder.empty() && !paths_equal(uninstaller_folder, folder)) {
    const std::string copy = uninstaller_folder + kUninstallLogName;
    const WriteOutcome copied = write_or_ask(callback, copy, [&] {
      if (transaction) {
        if (os.file_status(copy).exists && !transaction->move_aside(copy)) return false;
        transaction->creating_file(copy);
      }
      return os.copy_file(log_path, copy, false) == os::Error::none;
    });
    if (copied == WriteOutcome::aborted) return InstallResult::write_failed;
  }

  if (!request.has_registered_name || !is_safe_registered_name(request.registered_name)) {
    return InstallResult::finished;
  }
  const std::string key = std::string(kUninstallKey) + "\\" + request.registered_name;
  const os::RegistryRoot root = os::RegistryRoot::local_machine;
  const std::string shown_key = "HKEY_LOCAL_MACHINE\\" + key + "\\";
  auto write_string = [&](const char* name, const std::string& value) {
    os.registry_write_string(root, key, name, value);
    note(request, "Registry: " + shown_key + name + " = " + value);
  };
  auto write_dword = [&](const char* name, std::uint32_t value) {
    os.registry_write_dword(root, key, name, value);
    note(request, "Registry: " + shown_key + name + " = " + std::to_string(value));
  };
  write_string("DisplayName", display_name(request.registered_name));
  write_string("UninstallString", uninstall_string(uninstaller));
  write_dword("NoModify", 1);
  write_dword("NoRepair", 1);
  write_string("QuietUninstallString", quiet_uninstall_string(uninstaller));
  // The folder without its trailing backslash, unless it is a drive's root.
  write_string("InstallLocation", folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder);
  write_string("DisplayIcon", uninstaller);
  const std::uint64_t kilobytes = installed_bytes / 1024;
  write_dword("EstimatedSize",
              kilobytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kilobytes));
  const std::string today = os.local_date();
  if (!today.empty()) write_string("InstallDate", today);
  std::string text;
  if (text_macro(request, "%version%", &text)) write_string("DisplayVersion", text);
  if (text_macro(request, "%publisher%", &text)) write_string("Publisher", text);
  return InstallResult::finished;
}

}  // namespace quill::installer
