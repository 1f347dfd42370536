// The programs a package is made of, by architecture.
#include "builder/project/architecture.h"

#include "common/paths.h"

namespace quill::project {

ArchitectureFiles architecture_files(Architecture architecture) {
  if (architecture == Architecture::x64) return {"ext64.dat", "uninst64.dat"};
  return {"ext.dat", "uninst.dat"};
}

std::string build_source(const Project& project, int slot) {
  const FileRecord& file = project.file(slot);
  const Architecture architecture = project.settings().architecture;
  if (architecture == Architecture::x86 || project.uninstaller_item() == kNoItem ||
      file.item != project.uninstaller_item()) {
    return file.source;
  }
  return folder_part(file.source) + architecture_files(architecture).uninstaller;
}

}  // namespace quill::project
