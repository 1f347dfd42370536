// Recursive, depth-first removal of a folder tree.
#include "common/folder_removal.h"

#include <vector>

#include "common/paths.h"

namespace quill {

bool remove_folder_tree(os::Os& os, const std::string& folder) {
  // A link in place of the folder goes itself: what it leads to belongs to
  // someone else.
  const std::string root = without_trailing_backslash(folder);
  if (os.file_status(root).is_link) return os.delete_file(root) == os::Error::none;
  std::vector<os::FolderEntry> entries;
  if (os.list_folder(folder, &entries) != os::Error::none) return false;
  const std::string prefix = with_trailing_backslash(folder);
  for (const os::FolderEntry& entry : entries) {
    const std::string path = prefix + entry.name;
    if (entry.is_link) {
      // Deleted as an entry, never walked into.
      if (os.delete_file(path) != os::Error::none) return false;
      continue;
    }
    if (entry.is_folder) {
      if (!remove_folder_tree(os, path)) return false;
      continue;
    }
    if (entry.read_only && os.set_read_only(path, false) != os::Error::none) return false;
    if (os.delete_file(path) != os::Error::none) return false;
  }
  return os.remove_folder(folder) == os::Error::none;
}

}  // namespace quill
