// The project file's declarations section: the declarations' text form
// between a start line and an end line, the last lines of the file. A file
// without it (every file saved before it existed) has no declarations.
// Builders that know nothing of it read the settings and stop before it.
#pragma once

#include <string>

#include "os/os.h"
#include "package/declarations.h"

namespace quill::project {

// Appends the section to a project file's text; nothing when there are no
// declarations.
void append_declarations_section(const package::Declarations& declarations, std::string* out);

// A project file's bytes, or as many as could be read before a read failed
// (the file then looks like one that ends early). False when it cannot be
// opened.
bool read_project_bytes(os::Os& os, const std::string& path, std::string* bytes);

// Cuts the section off the end of a project file's bytes into
// `declarations` (emptied first). False, with `error`, when the file ends
// with a section that cannot be read; the bytes are cut all the same.
bool take_declarations_section(std::string* bytes, package::Declarations* declarations, std::string* error);

}  // namespace quill::project
