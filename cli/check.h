// What a build of a project would warn about, found before building.
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "cli/platform.h"

namespace quill::cli {

struct Finding {
  bool error = false;  // the package would be wrong: a file, picture or text missing or misplaced
  std::string text;
};

// `renamed`: the records the load gave a "copy of " name; `file_findings`:
// what the load found no way into a project stores, each an error naming
// its section and line. With `for_build`, the output path and the builder's
// own files are left to the build.
std::vector<Finding> check_project(const project::Project& project, Platform& platform,
                                   const std::vector<project::RenamedFile>& renamed,
                                   const std::vector<project::FileFinding>& file_findings,
                                   bool for_build = false);
// A finding of the load as "check" tells it: "files section, line 5: ...".
std::string file_finding_text(const project::FileFinding& finding);
// The language variants' findings: a variant's text file missing, a variant
// of a language the project does not carry.
void check_languages(const project::Project& project, os::Os& os, std::vector<Finding>* found);

}  // namespace quill::cli
