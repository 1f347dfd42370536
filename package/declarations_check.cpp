// Planning a package's declarations for one install.
#include "package/declarations_check.h"

#include <cstdlib>

#include "common/limits.h"
#include "common/paths.h"
#include "text/unicode.h"

namespace quill::package {

const char kMachineEnvironmentKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserEnvironmentKey[] = "Environment";
const char kPathValue[] = "Path";

namespace {

const char kClasses[] = "Software\\Classes\\";

std::string trimmed_folder(std::string folder) {
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool has_control(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// An expanded text: no control character (a registry macro may bring one),
// within `limit` UTF-16 units.
bool fits(const std::string& text, std::size_t limit) {
  return !has_control(text) && text::is_valid_utf8(text) &&
         (text.size() <= limit || text::utf8_to_utf16(text).size() <= limit);
}

// An installed file named by the declaration: a relative name lies below
// the install folder; an absolute one (a project file installed elsewhere,
// "%system%\x.exe") is taken as it is. Empty for a name with a "." or ".."
// part or without a file name.
std::string installed_file(const std::string& name, const std::string& install_folder) {
  if (name.empty()) return std::string();
  const std::string path = is_absolute_backslash_path(name) ? name : install_folder + "\\" + name;
  const std::string below_root = path.substr(root_length(path));
  if (path.size() > kMaxPathLength || !is_safe_relative_name(below_root) ||
      below_root.find_first_of("/\"") != std::string::npos ||
      path.back() == '\\') {
    return std::string();
  }
  return path;
}

os::Os::RegistryValue string_value(std::string text, bool expandable = false) {
  os::Os::RegistryValue value;
  value.type = expandable ? os::Os::RegistryValue::Type::expandable_string
                          : os::Os::RegistryValue::Type::string;
  value.text = std::move(text);
  return value;
}

}  // namespace

bool is_install_folder_or_below(const std::string& folder, const std::string& install_folder) {
  const std::string base = trimmed_folder(install_folder);
  const std::string path = trimmed_folder(folder);
  if (base.empty() || !is_absolute_backslash_path(base) || path.size() < base.size()) return false;
  if (!text::equal_ignoring_case(path.substr(0, base.size()), base)) return false;
  if (path.size() == base.size()) return true;
  if (path[base.size()] != '\\' && base.back() != '\\') return false;
  const std::string rest = path.substr(base.size() + (path[base.size()] == '\\' ? 1 : 0));
  return is_safe_relative_name(rest) && rest.find('/') == std::string::npos &&
         rest.find_first_of(";\"") == std::string::npos;
}

bool plan_declarations(const Declarations& declarations, const InstallScope& scope,
                       const std::string& install_folder,
                       CallbackRef<std::string(const std::string&)> expand,
                       DeclarationPlan* plan, std::string* error) {
  *plan = DeclarationPlan();
  auto refuse = [error](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const std::string folder = trimmed_folder(install_folder);
  if (!is_absolute_backslash_path(folder)) return refuse("no install folder");
  const bool per_user = scope.scope == Scope::user;
  const os::RegistryRoot scope_root =
      per_user ? os::RegistryRoot::current_user : os::RegistryRoot::local_machine;

  for (const RegistryValueDeclaration& d : declarations.registry_values) {
    const std::string why = declaration_error(d);
    if (!why.empty()) return refuse("registry value: " + why);
    PlannedValue v;
    v.kind = PlannedKind::value;
    switch (d.root) {
      case RegistryRoot::scope: v.root = scope_root; break;
      case RegistryRoot::current_user: v.root = os::RegistryRoot::current_user; break;
      case RegistryRoot::local_machine: v.root = os::RegistryRoot::local_machine; break;
      default: return refuse("registry value: unknown root");
    }
    if (per_user && v.root == os::RegistryRoot::local_machine) {
      return refuse("registry value: a per-user package may not write the machine's hive");
    }
    v.key = d.key;
    v.name = d.name;
    switch (d.type) {
      case RegistryType::string:
      case RegistryType::expandable_string:
        v.value = string_value(expand(d.data), d.type == RegistryType::expandable_string);
        if (!fits(v.value.text, kMaxValueData)) return refuse("registry value: the data is too long");
        break;
      case RegistryType::number:
        v.value.type = os::Os::RegistryValue::Type::dword;
        v.value.dword = static_cast<std::uint32_t>(std::strtoul(d.data.c_str(), nullptr, 10));
        break;
      default: return refuse("registry value: unknown type");
    }
    v.remove_on_uninstall = d.remove_on_uninstall;
    v.remove_key_when_empty = d.remove_key_when_empty;
    plan->values.push_back(std::move(v));
  }

  for (const AssociationDeclaration& d : declarations.associations) {
    const std::string why = declaration_error(d);
    if (!why.empty()) return refuse("association: " + why);
    const std::string program = installed_file(expand(d.file), folder);
    if (program.empty()) return refuse("association: the file is no installed file");
    std::string icon = d.icon.empty() ? program + ",0" : expand(d.icon);
    if (!is_absolute_backslash_path(icon)) icon = folder + "\\" + icon;
    const std::string command = "\"" + program + "\" " + expand(d.command);
    const std::string description = expand(d.description);
    if (!fits(icon, kMaxValueData) || !fits(command, kMaxValueData) ||
        !fits(description, kMaxValueData)) {
      return refuse("association: a value is too long");
    }
    const std::string progid = kClasses + d.program_id;
    const std::pair<std::string, std::string> values[] = {
        {kClasses + d.extension, d.program_id},
        {progid, description},
        {progid + "\\DefaultIcon", icon},
        {progid + "\\shell\\open\\command", command},
    };
    for (const auto& [key, text] : values) {
      PlannedValue v;
      v.kind = PlannedKind::association;
      v.root = scope_root;
      v.key = key;
      v.value = string_value(text);
      v.remove_created_keys = true;
      plan->values.push_back(std::move(v));
    }
  }

  for (const VariableDeclaration& d : declarations.variables) {
    const std::string why = declaration_error(d);
    if (!why.empty()) return refuse("variable: " + why);
    const bool machine = d.scope == EnvironmentScope::machine;
    if (per_user && machine) return refuse("variable: a per-user package may not change the machine's environment");
    PlannedValue v;
    v.kind = PlannedKind::environment;
    v.root = machine ? os::RegistryRoot::local_machine : os::RegistryRoot::current_user;
    v.key = machine ? kMachineEnvironmentKey : kUserEnvironmentKey;
    v.name = d.name;
    // A value that still holds '%' after the package's macros names the
    // system's variables: it is stored to be expanded when read.
    const std::string text = expand(d.value);
    v.value = string_value(text, text.find('%') != std::string::npos);
    if (!fits(v.value.text, kMaxValueData)) return refuse("variable: the value is too long");
    plan->values.push_back(std::move(v));
  }

  for (const PathDeclaration& d : declarations.paths) {
    const std::string why = declaration_error(d);
    if (!why.empty()) return refuse("PATH entry: " + why);
    const bool machine = d.scope == EnvironmentScope::machine;
    if (per_user && machine) return refuse("PATH entry: a per-user package may not change the machine's PATH");
    PlannedPath p;
    p.root = machine ? os::RegistryRoot::local_machine : os::RegistryRoot::current_user;
    p.folder = trimmed_folder(expand(d.folder));
    if (!fits(p.folder, kMaxPathLength) || !is_install_folder_or_below(p.folder, folder)) {
      return refuse("PATH entry: the folder is not the install folder or below it");
    }
    plan->paths.push_back(std::move(p));
  }
  return true;
}

namespace {

bool same_entry(std::string entry, const std::string& folder) {
  return text::equal_ignoring_case(trimmed_folder(entry), trimmed_folder(folder)) && !entry.empty();
}

std::vector<std::string> path_entries(const std::string& path) {
  std::vector<std::string> entries;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = path.find(';', at);
    entries.push_back(path.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return entries;
}

}  // namespace

bool path_holds(const std::string& path, const std::string& folder) {
  for (const std::string& entry : path_entries(path)) {
    if (same_entry(entry, folder)) return true;
  }
  return false;
}

std::string path_with(const std::string& path, const std::string& folder) {
  if (path.empty()) return folder;
  return path.back() == ';' ? path + folder : path + ";" + folder;
}

bool path_without(const std::string& path, const std::string& folder, std::string* result) {
  std::vector<std::string> entries = path_entries(path);
  for (std::size_t i = entries.size(); i-- > 0;) {
    if (!same_entry(entries[i], folder)) continue;
    // The separator that went with the entry goes with it: the one before
    // it, or for the first entry the one after it.
    std::size_t start = 0;
    for (std::size_t j = 0; j < i; ++j) start += entries[j].size() + 1;
    std::string out = path;
    if (i > 0) {
      out.erase(start - 1, entries[i].size() + 1);
    } else {
      out.erase(0, entries[i].size() + (entries.size() > 1 ? 1 : 0));
    }
    *result = out;
    return true;
  }
  return false;
}

}  // namespace quill::package
