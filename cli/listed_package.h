// A built package with what it tells deployment tools: the project's
// listing, and the package file's name, size and hash. What "manifest" and
// "describe" both start from.
#pragma once

#include <string>

#include "builder/project/package_listing.h"
#include "cli/commands.h"
#include "cli/file_hash.h"

namespace quill::cli {

struct ListedPackage {
  project::PackageListing listing;
  std::string file_name;  // "example-setup.exe"
  FileHash hash;
};

// Reads the project file (the first word) and the package built from it:
// --package FILE, else the project's "Save installer as" path. Throws
// Refused when no package is named, Failed when it cannot be read.
ListedPackage listed_package(const Args& args, Context& context);

}  // namespace quill::cli
