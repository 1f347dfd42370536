// Shortcut creation, the end of the uninstall log and the uninstall entry.
#include "installer/registration.h"

#include <vector>

#include "common/lines.h"
#include "common/languages.h"
#include "common/paths.h"
#include "common/texts.h"
#include "installer/install_log.h"
#include "installer/transaction.h"
#include "installer/upgrade.h"
#include "package/archive.h"
#include "package/macros.h"
#include "package/payload.h"
#include "package/setup_texts.h"
#include "package/uninstall_key.h"
#include "package/uninstall_log.h"

namespace quill::installer {

const char kQuickLaunchFolder[] = "\\Microsoft\\Internet Explorer\\Quick Launch";
const char kLanguageValue[] = "Language";

std::string creating_shortcuts_status() {
  return std::string(texts::text(texts::TextId::creating_shortcuts)) + "\n";
}

namespace {

// True when some part of the path is "." or "..".
bool has_dot_part(const std::string& path) {
  std::size_t i = 0;
  while (i <= path.size()) {
    std::size_t end = i;
    while (end < path.size() && !is_path_separator(path[end])) ++end;
    std::string part = path.substr(i, end - i);
    if (part == "." || part == "..") return true;
    i = end + 1;
  }
  return false;
}

std::string strip_trailing_separators(std::string text) {
  while (!text.empty() && is_path_separator(text.back())) text.pop_back();
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

bool plan_shortcut(os::Os& os, const package::ShortcutRecord& spec, ShortcutPlan* plan,
                   const package::InstallScope& scope) {
  *plan = ShortcutPlan();
  if (!is_safe_relative_name(spec.name)) return false;
  switch (spec.location) {
    case package::ShortcutLocation::desktop:
      plan->folder = os.special_folder(package::desktop_folder(scope));
      break;
    case package::ShortcutLocation::start_menu: {
      plan->folder = os.special_folder(package::programs_folder(scope));
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
  return plan->link_path.size() <= kMaxPathLength;
}

bool create_shortcuts(os::Os& os, const InstallRequest& request, const std::string& log_path,
                      InstallCallback& callback, Transaction* transaction) {
  const std::string* shortcuts =
      request.data_files ? request.data_files->find(package::data_file::kShortcuts) : nullptr;
  std::vector<package::ShortcutRecord> records;
  if (shortcuts) {
    records = package::shortcut_records_from_text(package::expand_data_file(
        os, macro_table(request), *shortcuts, request.install_folder.path()));
  }
  auto log_line = [&](const std::string& line) {
    const WriteOutcome outcome = write_or_ask(
        &callback, log_path, [&] { return package::append_log_line(os, log_path, line); });
    if (outcome == WriteOutcome::written) logged(request, line);
    return outcome;
  };
  for (const package::ShortcutRecord& spec : records) {
    if (!location_ticked(request.shortcuts, spec.location)) continue;
    callback.set_status(creating_shortcuts_status());
    ShortcutPlan plan;
    if (!plan_shortcut(os, spec, &plan, request.scope)) continue;
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
    note(request, created ? log_step::kShortcut : log_step::kShortcutFailed, plan.link_path);
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
  const std::string& folder = request.install_folder.path();
  std::string uninstaller;
  if (request.data_files == nullptr ||
      !package::read_uninstaller_path(os, macro_table(request), *request.data_files, folder,
                                      &uninstaller)) {
    // Without the file the package has no uninstaller.
    os.delete_file(log_path);
    return InstallResult::finished;
  }
  // The file holds one path; a line end after it belongs to no path.
  std::size_t end = uninstaller.find('\n');
  if (end != std::string::npos) uninstaller.erase(end);

  // A path that is not absolute or names no file has no folder to write the
  // log copy into.
  const std::string uninstaller_folder =
      is_absolute_backslash_path(uninstaller) && is_safe_relative_name(file_name_part(uninstaller))
          ? folder_part(uninstaller)
          : "";
  for (const std::string& line :
       package::log_closing_lines(uninstaller_folder + package::kUninstallLogName, folder)) {
    if (write_or_ask(callback, log_path,
                     [&] { return package::append_log_line(os, log_path, line); }) ==
        WriteOutcome::aborted) {
      return InstallResult::write_failed;
    }
  }
  if (!uninstaller_folder.empty() && !paths_equal(uninstaller_folder, folder)) {
    const std::string copy = uninstaller_folder + package::kUninstallLogName;
    const WriteOutcome copied = write_or_ask(callback, copy, [&] {
      if (transaction) {
        if (os.file_status(copy).exists && !transaction->move_aside(copy)) return false;
        transaction->creating_file(copy);
      }
      return os.copy_file(log_path, copy, false) == os::Error::none;
    });
    if (copied == WriteOutcome::aborted) return InstallResult::write_failed;
  }

  if (!request.has_registered_name || !package::is_safe_registered_name(request.registered_name)) {
    return InstallResult::finished;
  }
  package::UninstallEntry entry;
  entry.root = package::uninstall_root(request.scope);
  entry.registered_name = request.registered_name;
  entry.uninstaller_path = uninstaller;
  entry.install_folder = folder;
  entry.installed_bytes = installed_bytes;
  entry.install_date = os.local_date();
  entry.has_version = text_macro(request, "%version%", &entry.version);
  entry.has_publisher = text_macro(request, "%publisher%", &entry.publisher);
  // An upgrade's entry replaces the old one whole, or not at all.
  const bool old_gone =
      request.installed == nullptr ||
      package::delete_uninstall_entry(os, request.registered_name, entry.root);
  bool written = old_gone && package::write_uninstall_entry(os, entry, [&](const std::string& value, const std::string& data) {
    note(request, log_step::kRegistry, value, data);
  });
  if (written) {
    // The language the install spoke: its uninstaller speaks it too. The
    // value belongs to the entry: an upgrade without it puts the old one back.
    const std::string key = std::string(package::kUninstallKey) + "\\" + request.registered_name;
    const std::uint32_t langid = language::kLanguages[texts::current_language()].langid;
    written = os.registry_write_dword(entry.root, key, kLanguageValue, langid) == os::Error::none;
    if (written) {
      note(request, log_step::kRegistry,
           package::shown_registry_place(entry.root, key, kLanguageValue), std::to_string(langid));
    }
  }
  if (request.installed != nullptr && !written) {
    note(request, log_step::kEntryRestored);
    restore_uninstall_entry(os, *request.installed);
    return InstallResult::write_failed;
  }
  return InstallResult::finished;
}

}  // namespace quill::installer
