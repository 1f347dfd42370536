// Shortcut creation, the end of the uninstall log and the uninstall entry.
#include "installer/registration.h"

#include <vector>

#include "common/lines.h"
#include "common/paths.h"
#include "common/text_file.h"
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

void create_shortcuts(os::Os& os, const InstallRequest& request, const std::string& log_path,
                      InstallCallback& callback) {
  const std::string path = package::payload_folder(os) + "shortcuts.txt";
  package::expand_macros_in_file(os, macro_table(request), path,
                                 install_folder_path(request.install_folder));
  std::vector<package::ShortcutRecord> records;
  package::read_shortcut_records(os, path, &records);
  for (const package::ShortcutRecord& spec : records) {
    if (!location_ticked(request.shortcuts, spec.location)) continue;
    callback.set_status(kCreatingShortcutsStatus);
    ShortcutPlan plan;
    if (!plan_shortcut(os, spec, &plan)) continue;
    if (plan.create_folder) {
      package::create_folder_chain(os, plan.folder);
      os.notify_folder_created(plan.folder);
    }
    os::Shortcut link;
    link.link_path = plan.link_path;
    link.target = spec.target;
    link.working_folder = folder_part(spec.target);
    const bool created = os.create_shortcut(link) == os::Error::none;
    const bool folder_covers = append_line(os, log_path, plan.folder_line) &&
                               !plan.folder_line.empty();
    if (!append_line(os, log_path, plan.link_path) && !folder_covers && created) {
      // No line names the link: the uninstaller could not remove it.
      os.delete_file(plan.link_path);
    }
  }
}

void register_uninstall(os::Os& os, const InstallRequest& request, const std::string& log_path) {
  const std::string folder = install_folder_path(request.install_folder);
  std::string uninstaller;
  if (!package::read_uninstaller_path(os, macro_table(request), folder, &uninstaller)) {
    os.delete_file(log_path);
    return;
  }
  // The file holds one path; a line end after it belongs to no path.
  std::size_t end = uninstaller.find('\n');
  if (end != std::string::npos) uninstaller.erase(end);

  // A path that is not absolute or names no file has no folder to write the
  // log copy into.
  const std::string uninstaller_folder =
      is_absolute_path(uninstaller) && is_safe_relative_name(file_name_part(uninstaller)) ? folder_part(uninstaller)
                                                                                         : "";
  append_line(os, log_path, uninstaller_folder + kUninstallLogName);
  append_line(os, log_path, folder);
  append_line(os, log_path, kLogTerminator);
  if (!uninstaller_folder.empty() && !paths_equal(uninstaller_folder, folder)) {
    os.copy_file(log_path, uninstaller_folder + kUninstallLogName, false);
  }

  if (!request.has_registered_name || !is_safe_registered_name(request.registered_name)) return;
  const std::string key = std::string(kUninstallKey) + "\\" + request.registered_name;
  const os::RegistryRoot root = os::RegistryRoot::local_machine;
  os.registry_write_string(root, key, "DisplayName", display_name(request.registered_name));
  os.registry_write_string(root, key, "UninstallString", uninstall_string(uninstaller));
  os.registry_write_dword(root, key, "NoModify", 1);
  os.registry_write_dword(root, key, "NoRepair", 1);
}

}  // namespace quill::installer
