// Parsing and judging the install folder.
#include "installer/install_folder.h"

#include <cstring>

#include "common/limits.h"
#include "common/paths.h"

namespace quill::installer {
namespace {

// `folder` ends in a backslash and uses no '/'.
bool is_usable(const std::string& folder) {
  if (!is_absolute_backslash_path(folder)) return false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(folder[i]);
    if (c < 32 || std::strchr("<>\"|?*", c) != nullptr) return false;
    if (c == ':' && i != 1) return false;
  }
  // Parts: after "X:\" or "\\"; a drive path needs one, a share path its
  // server and share.
  std::size_t position = folder[1] == ':' ? 3 : 2;
  std::size_t parts = 0;
  while (position < folder.size()) {
    std::size_t end = folder.find('\\', position);
    const std::string part = folder.substr(position, end - position);
    // An empty part ("C:\\Tool") and "." or ".." would make the folder's
    // name depend on how it is read; the uninstaller refuses such folders.
    if (part.empty() || part == "." || part == "..") return false;
    ++parts;
    position = end + 1;
  }
  // A drive's root is no folder of the program's own: its uninstall would
  // judge the whole drive.
  return parts >= (folder[1] == ':' ? 1u : 2u);
}

// Makes and deletes a file of an unpredictable name in the folder, or in
// its nearest existing parent. Without a source of such names nothing is
// probed and the folder counts as writable: the install itself then reports
// a file it cannot write.
bool may_write_to(os::Os& os, std::string folder) {
  folder = without_trailing_backslash(folder);
  for (;;) {
    const os::FileStatus status = os.file_status(folder);
    if (status.exists) {
      if (!status.is_folder) return false;
      break;
    }
    const std::size_t cut = folder.find_last_of('\\');
    if (cut == std::string::npos || cut < 2) return false;
    folder.erase(cut);
  }
  const std::string name = os.unpredictable_name();
  if (name.empty()) return true;
  const std::string probe = with_trailing_backslash(folder) + "Quillprobe-" + name + ".tmp";
  const bool written = os.open_file(probe, os::OpenMode::write) != nullptr;
  if (written) os.delete_file(probe);
  return written;
}

}  // namespace

InstallFolder::InstallFolder(const std::string& text)
    : typed_(text.size() > kMaxPathLength ? text.substr(0, kMaxPathLength) : text),
      text_(replace_char(typed_, '/', '\\')),
      path_(with_trailing_backslash(text_)) {
  if (text_.size() < 2) {
    fault_ = Fault::too_short;
  } else {
    fault_ = is_usable(path_) ? Fault::none : Fault::unusable;
  }
}

FolderCheck check_install_folder(const InstallFolder& folder, std::uint64_t megabytes_needed,
                                 std::uint64_t megabytes_available) {
  switch (folder.fault()) {
    case InstallFolder::Fault::too_short: return FolderCheck::too_short;
    case InstallFolder::Fault::unusable: return FolderCheck::unusable;
    case InstallFolder::Fault::none: break;
  }
  return megabytes_needed >= megabytes_available ? FolderCheck::not_enough_space
                                                 : FolderCheck::usable;
}

FolderCheck check_install_folder(os::Os& os, const InstallFolder& folder, std::uint64_t megabytes_needed,
                                 std::uint64_t megabytes_available, bool per_user) {
  const FolderCheck check = check_install_folder(folder, megabytes_needed, megabytes_available);
  if (check != FolderCheck::usable || !per_user) return check;
  return may_write_to(os, folder.text()) ? FolderCheck::usable : FolderCheck::not_writable;
}

std::string initial_folder_text(const package::InstallFolders& folders,
                                const std::string& command_line_folder,
                                const std::string& installed_folder) {
  if (!command_line_folder.empty()) return command_line_folder;
  return installed_folder.empty() ? folders.initial() : installed_folder;
}

}  // namespace quill::installer
