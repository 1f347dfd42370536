#include "builder/editor/folder_properties.h"

#include <cstdio>
#include <vector>

#include "builder/project/architecture.h"

namespace quill::editor {

FolderProperties folder_properties(const project::Project& project, int folder_slot, os::Os& os) {
  FolderProperties result;
  result.path = project.folder(folder_slot).path;
  result.name = project::folder_name_of_path(result.path);
  const std::string& prefix = result.path;
  unsigned folders = 0;
  for (int slot = 0; slot < project::kFolderSlots; ++slot) {
    const std::string& path = project.folder(slot).path;
    if (!path.empty() && path.compare(0, prefix.size(), prefix) == 0) ++folders;
  }
  result.subfolders = folders > 0 ? folders - 1 : 0;
  for (int slot = 0; slot < project::kFileSlots; ++slot) {
    if (!project.file_in_use(slot)) continue;
    const project::FileRecord& file = project.file(slot);
    if (file.target_folder.compare(0, prefix.size(), prefix) != 0) continue;
    ++result.files;
    os::FileStatus status = os.file_status(project::build_source(project, slot));
    if (status.exists && !status.is_folder) result.megabytes += static_cast<double>(status.size) / 1024.0 / 1024.0;
  }
  return result;
}

std::string folder_properties_text(const FolderProperties& p) {
  const char* format =
      "Folder name: %s\r\nFolder path: %s\r\n\r\nFiles in folder tree: %u\r\nSubfolders: %u\r\n"
      "Total folder size: %f MB";
  // The figures take at most 330 characters ("%f" of a huge total).
  std::vector<char> text(p.name.size() + p.path.size() + 512);
  int size = std::snprintf(text.data(), text.size(), format, p.name.c_str(), p.path.c_str(), p.files,
                           p.subfolders, p.megabytes);
  return std::string(text.data(), size > 0 ? static_cast<std::size_t>(size) : 0);
}

}  // namespace quill::editor
