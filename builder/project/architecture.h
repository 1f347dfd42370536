// Which programs from beside the builder a package is made of, by the
// project's architecture: the installer stub at its head and the
// uninstaller it installs as Uninstall.exe.
#pragma once

#include <string>

#include "builder/project/project.h"

namespace quill::project {

struct ArchitectureFiles {
  const char* stub;         // "ext.dat", "ext64.dat"
  const char* uninstaller;  // "uninst.dat", "uninst64.dat"
};

ArchitectureFiles architecture_files(Architecture architecture);

// The file a build takes for the file record in `slot`: its own source,
// except the uninstaller of an x64 project, which is the x86_64 uninstaller
// in the folder of the one the record names (the project keeps naming the
// 32-bit one, so that switching the architecture back and forth needs no
// other change).
std::string build_source(const Project& project, int slot);

}  // namespace quill::project
