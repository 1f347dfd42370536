// The declarations' checks.
#include "builder/project/declarations_check.h"

#include <algorithm>
#include <set>
#include <utility>

#include "text/unicode.h"

namespace quill::project {
namespace {

using package::EnvironmentScope;
using package::RegistryRoot;

// Names compare as Windows compares them.
std::string key_of(std::string_view text) { return text::upper_case(text); }

const char* environment_name(EnvironmentScope scope) {
  return scope == EnvironmentScope::machine ? "the machine's" : "the user's";
}

}  // namespace

std::string registry_value_label(const package::RegistryValueDeclaration& value) {
  const char* root = value.root == RegistryRoot::current_user    ? "HKCU\\"
                     : value.root == RegistryRoot::local_machine ? "HKLM\\"
                                                                 : "(scope)\\";
  return root + value.key + " [" + (value.name.empty() ? "(default)" : value.name) + "]";
}

std::vector<DeclarationRow> declaration_rows(const package::Declarations& d) {
  std::vector<DeclarationRow> rows;
  for (const package::RegistryValueDeclaration& r : d.registry_values) {
    std::string value = std::string(package::registry_type_word(r.type)) + ": " + r.data;
    if (!r.remove_on_uninstall) value += "  (kept on uninstall)";
    if (r.remove_key_when_empty) value += "  (empty key removed)";
    rows.push_back({"Registry value", registry_value_label(r), value});
  }
  for (const package::AssociationDeclaration& a : d.associations) {
    rows.push_back({"Association", a.extension, a.program_id + " -> " + a.file});
  }
  for (const package::PathDeclaration& p : d.paths) {
    rows.push_back({p.scope == EnvironmentScope::machine ? "Machine PATH" : "User PATH", p.folder, ""});
  }
  for (const package::VariableDeclaration& v : d.variables) {
    rows.push_back({v.scope == EnvironmentScope::machine ? "Machine variable" : "User variable", v.name, v.value});
  }
  return rows;
}

std::vector<std::string> declaration_errors(const Project& project) {
  return declaration_errors(project, project.declarations());
}

std::string new_declaration_error(const Project& project, const package::Declarations& changed) {
  const std::size_t count =
      changed.registry_values.size() + changed.associations.size() + changed.paths.size() + changed.variables.size();
  if (count > package::kMaxDeclarations) {
    return "A project holds at most " + std::to_string(package::kMaxDeclarations) + " declarations.";
  }
  const std::vector<std::string> before = declaration_errors(project);
  for (const std::string& error : declaration_errors(project, changed)) {
    if (std::find(before.begin(), before.end(), error) == before.end()) return error;
  }
  return std::string();
}

std::vector<std::string> declaration_errors(const Project& project, const package::Declarations& d) {
  const bool per_user = project.settings().install_scope == package::Scope::user;
  std::vector<std::string> errors;
  auto bad = [&errors](const std::string& what, const std::string& why) {
    errors.push_back(what + ": " + why + ".");
  };

  std::set<std::pair<int, std::string>> seen;
  for (const package::RegistryValueDeclaration& r : d.registry_values) {
    const std::string label = "Registry value " + registry_value_label(r);
    const std::string e = package::declaration_error(r);
    if (!e.empty()) bad(label, e);
    if (per_user && r.root == RegistryRoot::local_machine) {
      bad(label, "a per-user package cannot write the machine's hive");
    }
    // The scope root is the machine's hive for a machine-wide package.
    const RegistryRoot root = r.root != RegistryRoot::scope ? r.root
                              : per_user                    ? RegistryRoot::current_user
                                                            : RegistryRoot::local_machine;
    if (!seen.insert({int(root), key_of(r.key + "\\\\" + r.name)}).second) bad(label, "declared twice");
  }

  seen.clear();
  for (const package::AssociationDeclaration& a : d.associations) {
    const std::string label = "Association " + a.extension;
    const std::string e = package::declaration_error(a);
    if (!e.empty()) bad(label, e);
    const std::size_t cut = a.file.rfind('\\');
    const std::string folder = cut == std::string::npos ? std::string() : a.file.substr(0, cut + 1);
    if (!a.file.empty() &&
        project.find_file_by_name_and_folder(a.file.substr(folder.size()), folder) == kNoSlot) {
      bad(label, "its program \"" + a.file + "\" is not a file of the project");
    }
    if (!seen.insert({0, key_of(a.extension)}).second) bad(label, "declared twice");
  }

  seen.clear();
  for (const package::PathDeclaration& p : d.paths) {
    const std::string label = "PATH entry " + p.folder;
    const std::string e = package::declaration_error(p);
    if (!e.empty()) bad(label, e);
    if (per_user && p.scope == EnvironmentScope::machine) {
      bad(label, "a per-user package cannot change the machine's environment");
    }
    if (!seen.insert({int(p.scope), key_of(p.folder)}).second) {
      bad(label, std::string("already in ") + environment_name(p.scope) + " PATH");
    }
  }

  seen.clear();
  for (const package::VariableDeclaration& v : d.variables) {
    const std::string label = "Variable " + v.name;
    const std::string e = package::declaration_error(v);
    if (!e.empty()) bad(label, e);
    if (per_user && v.scope == EnvironmentScope::machine) {
      bad(label, "a per-user package cannot change the machine's environment");
    }
    if (!seen.insert({int(v.scope), key_of(v.name)}).second) {
      bad(label, std::string("declared twice in ") + environment_name(v.scope) + " environment");
    }
  }
  return errors;
}

}  // namespace quill::project
