// What keeps a project's declarations from being built: each declaration's
// own form, what the install scope may write, an association whose program
// is not one of the project's files, and the same thing declared twice.
// The command line's check, the build and the window ask here.
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace quill::project {

// One sentence per problem, in the order of the declarations; none when
// the declarations can be built.
std::vector<std::string> declaration_errors(const Project& project);
// The same for other declarations than the project holds, in the project's
// scope and against its files.
std::vector<std::string> declaration_errors(const Project& project, const package::Declarations& declarations);
// The first problem of `changed` that the project's own declarations do not
// have; empty when the change brings none. What an edit is refused for.
std::string new_declaration_error(const Project& project, const package::Declarations& changed);

// One declaration as lists show it: the builder's list view and the
// command line's list and show.
struct DeclarationRow {
  std::string kind;    // "Registry value", "Association", "User PATH", "Machine variable" ...
  std::string target;  // "HKCU\Software\Vendor\App [Home]", ".xyz", the folder, the name
  std::string value;   // "string: text", "Vendor.App.xyz -> %install path%\App.exe", the variable's value
};
// Registry values first, then associations, PATH entries and variables,
// each in its order.
std::vector<DeclarationRow> declaration_rows(const package::Declarations& declarations);

// How a registry value is named in those sentences and in lists:
// "HKCU\Software\Vendor\App [Home]".
std::string registry_value_label(const package::RegistryValueDeclaration& value);

}  // namespace quill::project
