// Which folders a removal may delete as a whole tree or sweep. The log is
// plain text that anyone can edit or damage, so a listed folder is checked
// against the machine's own folders before anything below it is touched.
#pragma once

#include <string>
#include <vector>

#include "os/os.h"

namespace quill::uninstaller {

// The comparable form of an absolute folder path: separators as '\', runs of
// them collapsed, no trailing separator, trailing dots and spaces of each
// component dropped (as Windows drops them), ASCII letters in upper case.
// "C:" stands for the root of drive C and "\\SERVER\SHARE" for a share.
// Empty when the path is not a plain absolute path: relative or
// drive-relative paths, "." or ".." components, device or "\\?\" paths,
// stream names and wildcards. Short-name aliases such as "PROGRA~1" are not
// resolved here: the guard asks the OS for long names first.
std::string comparable_folder_path(const std::string& path);

class FolderGuard {
 public:
  // Protects the drive roots, the Windows, system, program files, Programs,
  // desktop (the user's and all users'), application-data, local
  // application-data and its Programs, and profile folders and the temporary folder
  // as the OS reports them. Every folder, protected or judged, is compared
  // by its long name (os::Os::long_path_name), so a short-name alias of a
  // protected folder is refused and a folder that merely has "~1" in its
  // name is not.
  explicit FolderGuard(os::Os& os);
  // Protects drive roots and the given folders only.
  explicit FolderGuard(const std::vector<std::string>& protected_folders);

  // True when `folder` may be deleted as a tree or swept: it is a plain
  // absolute path, not a drive or share root, and neither one of the
  // protected folders nor a folder that holds one of them.
  bool may_remove(const std::string& folder) const;

 private:
  void add(const std::string& folder);
  std::string long_name(const std::string& folder) const;
  os::Os* os_ = nullptr;  // resolves short names; none for a given list
  std::vector<std::string> protected_;  // comparable forms
};

}  // namespace quill::uninstaller
