// The folder properties dialog's text: what a folder's tree holds.
#pragma once

#include <string>

#include "builder/project/project.h"
#include "os/os.h"

namespace quill::editor {

struct FolderProperties {
  std::string name;  // the path's last folder name ("%install path%" for the root)
  std::string path;
  unsigned files = 0;       // file records whose target folder begins with the path
  unsigned subfolders = 0;  // folder records below the path
  double megabytes = 0;     // the readable sources' sizes, in MB
};

FolderProperties folder_properties(const project::Project& project, int folder_slot, os::Os& os);
// "Folder name: ...\r\nFolder path: ...\r\n\r\nFiles in folder tree: ..."
std::string folder_properties_text(const FolderProperties& properties);

}  // namespace quill::editor
