// The removal engine.
#include "uninstaller/removal.h"

#include <vector>

#include "common/folder_removal.h"
#include "common/limits.h"
#include "common/paths.h"
#include "package/entry_names.h"
#include "package/uninstall_key.h"

namespace quill::uninstall {

namespace {

std::string without_trailing_separator(const std::string& path) {
  if (path.size() > 3 && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

// True when `path` lies below `folder` (not the folder itself).
bool is_below(const std::string& folder, const std::string& path) {
  const std::string base = comparable_folder_path(folder);
  const std::string inner = comparable_folder_path(path);
  return !base.empty() && inner.size() > base.size() + 1 &&
         inner.compare(0, base.size(), base) == 0 && inner[base.size()] == '\\';
}

}  // namespace

std::string removing_line(const std::string& entry) {
  static const char kHead[] = "Removing ";
  static const char kTail[] = "...";
  const std::size_t fixed = sizeof kHead - 1 + sizeof kTail - 1;
  if (entry.size() + fixed <= kMaxPathLength) return kHead + entry + kTail;
  // Keep the end of the path, where the file name is.
  const std::size_t keep = kMaxPathLength - fixed - 3;
  return std::string(kHead) + "..." + entry.substr(entry.size() - keep) + kTail;
}

void remove_entry(os::Os& os, const FolderGuard& guard, const std::string& entry) {
  if (!is_absolute_path_either_separator(entry)) return;  // empty, or relative to who knows where
  os::FileStatus status = os.file_status(entry);
  if (status.exists && status.is_folder) {
    if (!guard.may_remove(entry)) return;
    const std::string folder = without_trailing_separator(entry);
    // The installer lists folders of its own only as program groups; any
    // other listed folder comes from a damaged log and goes only when empty.
    if (is_below(os.special_folder(os::SpecialFolder::programs), folder)) {
      remove_folder_tree(os, folder);
    }
    os.remove_folder(folder);
    return;
  }
  const os::Error deleted = os.delete_file(entry);
  if (deleted != os::Error::none && deleted != os::Error::not_found && status.exists &&
      !status.read_only) {
    // In use (the uninstaller that started this removal and waits for it,
    // a running program): out of its folder now, gone at the next start.
    os.delete_file_later(entry, aside_path(os, entry));
  }
}

std::string aside_path(os::Os& os, const std::string& path) {
  const std::string temp = os.temp_folder();
  if (temp.empty()) return std::string();
  const std::string staging = temp + package::kDataEntryPrefix;
  os.create_folder(staging);  // there already when a staging copy runs
  const std::size_t slash = path.find_last_of('\\');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  for (unsigned n = 1; n <= 100; ++n) {
    std::string aside = staging + "\\~" + std::to_string(n) + "." + name;
    if (!os.file_status(aside).exists) return aside;
  }
  return std::string();
}

void sweep_folder(os::Os& os, std::string base, const std::string& relative, bool normalise) {
  if (normalise && (base.empty() || base.back() != '\\')) base += '\\';
  const std::string folder = base + relative;  // ends with '\'
  std::vector<os::FolderEntry> entries;
  if (folder.size() <= kMaxPathLength &&
      os.list_folder(without_trailing_separator(folder), &entries) == os::Error::none) {
    for (const os::FolderEntry& entry : entries) {
      if (entry.name.empty() || entry.name[0] == '.') continue;
      const std::string path = folder + entry.name;
      // A path beyond the limit cannot be examined; treat it like a file
      // so that its folder stays.
      if (path.size() > kMaxPathLength) return;
      os::FileStatus status = os.file_status(path);
      if (status.exists && status.is_folder) {
        sweep_folder(os, base, relative + entry.name + "\\", false);
      } else if (status.exists) {
        return;
      }
    }
  }
  os.remove_folder(without_trailing_separator(folder));
}

bool delete_uninstall_entry(os::Os& os, const UninstallLog& log) {
  return !log.name_damaged && package::delete_uninstall_entry(os, log.registered_name);
}

void run_removal(os::Os& os, const UninstallLog& log, const FolderGuard& guard,
                 RemovalObserver& observer) {
  const std::size_t count = log.entries.size();
  const std::size_t last = count == 0 ? 0 : count - 1;
  observer.set_progress_range(last);
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const LogEntry& entry = log.entries[i];
    observer.set_status(removing_line(entry.path));
    if (!entry.damaged) remove_entry(os, guard, entry.path);
    observer.set_progress(i);
  }
  // The last entry is the install folder: only what became empty goes.
  if (count > 0 && !log.entries[last].damaged && guard.may_remove(log.entries[last].path)) {
    sweep_folder(os, log.entries[last].path, "", true);
  }
  delete_uninstall_entry(os, log);
  observer.set_progress(last);
  observer.set_status("Done!");
  observer.finished();
}

}  // namespace quill::uninstall
