// The removal engine.
#include "uninstaller/removal.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "common/folder_removal.h"
#include "common/limits.h"
#include "common/texts.h"
#include "uninstaller/shared_texts.h"
#include "common/paths.h"
#include "package/uninstall_key.h"
#include "uninstaller/declarations_undo.h"
#include "uninstaller/front_end.h"
#include "uninstaller/removal_log.h"

namespace quill::uninstaller {

namespace {

// Schedules the folders that hold the installed files in `later`, from
// each file's own folder up to the install folder, for removal at the next
// start, deepest first: the files go then, and so do these folders when
// nothing else is in them.
void remove_folders_later(os::Os& os, const RemovalScope& scope, const std::vector<std::string>& later) {
  std::vector<std::string> folders;
  for (const std::string& file : later) {
    std::string folder = comparable_folder_path(file);
    while (is_below_comparable(scope.install_folder(), folder)) {
      folder.resize(folder.rfind('\\'));
      folders.push_back(folder);
    }
  }
  std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() > b.size() : a < b;
  });
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  for (const std::string& folder : folders) {
    const os::FileStatus status = os.file_status(folder);
    if (status.is_folder && !status.is_link) os.delete_file_later(folder);
  }
}

// True when `path` holds the bytes of the running program: the uninstaller
// that started this working copy and waits for it. It is in use as every
// removal's is, and it going at the next restart is no news to anyone.
bool is_copy_of_this_program(os::Os& os, const std::string& path, const os::FileStatus& status) {
  const std::string self = os.module_path();
  if (self.empty() || os.file_status(self).size != status.size) return false;
  std::unique_ptr<os::File> a = os.open_file(path, os::OpenMode::read);
  std::unique_ptr<os::File> b = os.open_file(self, os::OpenMode::read);
  if (!a || !b) return false;
  std::vector<char> x(1 << 16), y(1 << 16);
  for (;;) {
    const std::size_t n = a->read(x.data(), x.size());
    if (b->read(y.data(), y.size()) != n) return false;
    if (n == 0) return true;
    if (std::memcmp(x.data(), y.data(), n) != 0) return false;
  }
}

// Records what became of a log entry that existed before the removal:
// gone, gone at the next restart, or still there.
void note_entry(os::Os& os, RunLog* record, const std::string& path, const os::FileStatus& before,
                EntryRole role, bool later) {
  if (!record) return;
  const char* step = !before.exists                 ? log_step::kMissing
                     : role == EntryRole::none     ? log_step::kNotOurs
                     : later                       ? log_step::kRemovedLater
                     : os.file_status(path).exists ? log_step::kStays
                                                   : log_step::kRemoved;
  const char* event = before.is_folder && !before.is_link ? "folder"
                      : role == EntryRole::shortcut        ? "shortcut"
                                                           : "file";
  record->note(step, path, std::string(), event);
}

}  // namespace

std::string removing_line(const std::string& entry) {
  const std::string_view pattern = texts::text(texts::TextId::removing);
  // The pattern's own characters, without its "%1".
  const std::size_t fixed = pattern.size() > 2 ? pattern.size() - 2 : 0;
  if (entry.size() + fixed <= kMaxPathLength) return texts::format(pattern, {entry});
  // Keep the end of the path, where the file name is.
  const std::size_t room = kMaxPathLength > fixed + 3 ? kMaxPathLength - fixed - 3 : 0;
  std::size_t start = entry.size() - std::min(room, entry.size());
  // Never from the middle of a character.
  while (start < entry.size() && (static_cast<unsigned char>(entry[start]) & 0xC0) == 0x80) ++start;
  return texts::format(pattern, {"..." + entry.substr(start)});
}

std::string aside_folder(os::Os& os) {
  const std::string program = os.module_path();
  const std::size_t slash = program.rfind('\\');
  if (slash == std::string::npos) return std::string();
  const std::string folder = program.substr(0, slash);
  return is_working_folder(os.temp_folder(), folder) ? folder : std::string();
}

bool remove_entry(os::Os& os, const FolderGuard& guard, const std::string& entry, EntryRole role,
                  const std::string& aside, std::vector<std::string>* later,
                  bool restart_allowed) {
  if (role == EntryRole::none || !is_absolute_path_either_separator(entry)) return false;
  os::FileStatus status = os.file_status(entry);
  if (status.exists && status.is_link) {
    // Whatever it leads to is not the installation's.
    os.delete_file(entry);
    return false;
  }
  if (status.exists && status.is_folder) {
    if (!guard.may_remove(entry)) return false;
    const std::string folder = without_trailing_backslash(entry);
    // The installer lists folders of its own only as program groups; any
    // other listed folder comes from a damaged log and goes only when empty.
    if (role == EntryRole::program_group) remove_folder_tree(os, folder);
    os.remove_folder(folder);
    return false;
  }
  if (role == EntryRole::program_group) return false;  // a file there is no group
  bool in_use = status.exists && os.file_in_use(entry);
  bool launcher = in_use && is_copy_of_this_program(os, entry, status);
  if (launcher) in_use = false;
  if (in_use && !restart_allowed) return false;
  const os::Error deleted = in_use ? os::Error::access_denied : os.delete_file(entry);
  if (deleted != os::Error::none && deleted != os::Error::not_found && status.exists &&
      !status.read_only) {
    if (!in_use && !launcher) launcher = is_copy_of_this_program(os, entry, status);
    // In use (the uninstaller that started this removal and waits for it,
    // a running program): moved out of the way into the working folder,
    // which only this run can write, and gone from there at the next start;
    // where it cannot move, gone at the next start from where it is.
    std::string moved;
    for (int n = 0; !aside.empty() && moved.empty() && n < 100; ++n) {
      const std::string name = aside + "\\in-use-" + std::to_string(n) + "-" + file_name_part(entry);
      if (!os.file_status(name).exists) moved = name;
    }
    if (!moved.empty() && os.move_file(entry, moved) == os::Error::none) {
      return os.delete_file_later(moved) == os::Error::none && !launcher;
    }
    const bool scheduled = os.delete_file_later(entry) == os::Error::none;
    if (role == EntryRole::installed) later->push_back(entry);
    return scheduled && !launcher;
  }
  return false;
}

void sweep_folder(os::Os& os, std::string base, const std::string& relative, bool normalise) {
  if (normalise && (base.empty() || base.back() != '\\')) base += '\\';
  const std::string folder = base + relative;  // ends with '\'
  if (relative.empty() && os.file_status(without_trailing_backslash(folder)).is_link) {
    // A link in place of the swept folder goes itself.
    os.delete_file(without_trailing_backslash(folder));
    return;
  }
  std::vector<os::FolderEntry> entries;
  if (folder.size() <= kMaxPathLength &&
      os.list_folder(without_trailing_backslash(folder), &entries) == os::Error::none) {
    for (const os::FolderEntry& entry : entries) {
      if (entry.name.empty() || entry.name[0] == '.') continue;
      const std::string path = folder + entry.name;
      // A path beyond the limit cannot be examined; treat it like a file
      // so that its folder stays.
      if (path.size() > kMaxPathLength) return;
      os::FileStatus status = os.file_status(path);
      if (status.exists && status.is_link && status.is_folder) {
        os.remove_folder(path);  // the link itself, as an entry
      } else if (status.exists && status.is_folder) {
        sweep_folder(os, base, relative + entry.name + "\\", false);
      } else if (status.exists) {
        return;
      }
    }
  }
  os.remove_folder(without_trailing_backslash(folder));
}

bool delete_uninstall_entry(os::Os& os, const UninstallLog& log) {
  return !log.registered_name_damaged &&
         package::delete_uninstall_entry(os, log.registered_name, uninstall_entry_root(os, log));
}

std::vector<std::string> files_in_use(os::Os& os, const UninstallLog& log,
                                      const FolderGuard& guard) {
  const RemovalScope scope(os, log, guard);
  std::vector<std::string> found;
  for (std::size_t i = 0; i + 1 < log.entries.size(); ++i) {
    const LogEntry& entry = log.entries[i];
    if (entry.damaged || scope.role(entry.path) == EntryRole::none) continue;
    const os::FileStatus status = os.file_status(entry.path);
    if (status.exists && !status.is_folder && !status.is_link && os.file_in_use(entry.path) &&
        !is_copy_of_this_program(os, entry.path, status)) {
      found.push_back(entry.path);
    }
  }
  return found;
}

bool settle_files_in_use(
    os::Os& os, const UninstallLog& log, const FolderGuard& guard, bool silent,
    bool restart_allowed,
    CallbackRef<InUseAnswer(const std::string& path, const std::string& question)> ask) {
  for (const std::string& path : files_in_use(os, log, guard)) {
    for (bool settled = false; !settled;) {
      std::vector<std::string> programs;
      const bool known = !silent && os.programs_using_file(path, &programs) == os::Error::none &&
                         !programs.empty();
      const InUseAnswer answer =
          silent ? InUseAnswer::abort
                 : ask(path, in_use_text(path, programs, restart_allowed, false));
      switch (in_use_action(silent, restart_allowed, known, answer)) {
        case InUseAction::close_and_retry:
          os.close_programs_using_file(path);
          [[fallthrough]];
        case InUseAction::retry: settled = !os.file_in_use(path); break;
        case InUseAction::later:
        case InUseAction::skip: settled = true; break;
        case InUseAction::abort: return false;
      }
    }
  }
  return true;
}

bool run_removal(os::Os& os, const UninstallLog& log, const FolderGuard& guard,
                 RemovalObserver& observer, bool restart_allowed, RunLog* record) {
  const RemovalScope scope(os, log, guard);
  const std::string aside = aside_folder(os);
  std::vector<std::string> later;
  bool restart_needed = false;
  const std::size_t count = log.entries.size();
  const std::size_t last = count == 0 ? 0 : count - 1;
  observer.set_progress_range(last);
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const LogEntry& entry = log.entries[i];
    observer.set_status(removing_line(entry.path));
    EntryRole role = entry.damaged ? EntryRole::none : scope.role(entry.path);
    if (role != EntryRole::none && !scope.no_link_on_the_way(os, entry.path, role)) role = EntryRole::none;
    const os::FileStatus before = record ? os.file_status(entry.path) : os::FileStatus();
    const bool waits =
        role != EntryRole::none && remove_entry(os, guard, entry.path, role, aside, &later, restart_allowed);
    if (waits) restart_needed = true;
    note_entry(os, record, entry.path, before, role, waits);
    observer.set_progress(i);
  }
  // The last entry is the install folder: only what became empty goes.
  if (scope.install_folder_trusted()) {
    const std::string& folder = log.entries[last].path;
    const os::FileStatus before = record ? os.file_status(folder) : os::FileStatus();
    sweep_folder(os, folder, "", true);
    note_entry(os, record, folder, before, EntryRole::installed, false);
  }
  remove_folders_later(os, scope, later);
  if (!aside.empty()) {
    // The working copy and its folder go at the next start, after what was
    // moved aside into it.
    os.delete_file_later(os.module_path());
    os.delete_file_later(aside);
  }
  undo_declarations(os, log, record);
  const bool entry_deleted = delete_uninstall_entry(os, log);
  if (record) {
    record->note(entry_deleted ? log_step::kEntryDeleted : log_step::kEntryStays, log.registered_name);
  }
  observer.set_progress(last);
  observer.set_status(std::string(texts::text(texts::TextId::removal_done)));
  observer.finished();
  return restart_needed;
}

}  // namespace quill::uninstaller
