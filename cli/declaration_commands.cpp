// The commands for what a package changes besides its files: registry,
// association, path and env, each with add, remove and list; their help;
// and their part of show.
#include <algorithm>
#include <functional>
#include <ostream>

#include "builder/project/declarations_check.h"
#include "cli/commands.h"
#include "cli/edit_session.h"
#include "text/unicode.h"

namespace quill::cli {

namespace {

using package::Declarations;

const char kRegistryHelp[] =
    "usage: quillset-build registry PROJECT.qsp add KEY [--root scope|user|machine] [--name NAME]\n"
    "                            [--type string|expandable|number] [--data DATA] [--keep] [--remove-empty-key]\n"
    "       quillset-build registry PROJECT.qsp remove KEY [--root ROOT] [--name NAME]\n"
    "       quillset-build registry PROJECT.qsp list\n"
    "\n"
    "A registry value the installer writes, e.g. KEY \"Software\\Vendor\\App\".\n"
    "  --root   scope (default): the machine's hive for a machine-wide package,\n"
    "           the user's for a per-user one; user; machine (not for a\n"
    "           per-user package)\n"
    "  --name   the value's name; without it the key's default value\n"
    "  --type   string (default), expandable (%PATH%-style references expand\n"
    "           when read), number (a decimal from 0 to 4294967295)\n"
    "  --data   the value; macros such as %install path% are expanded at install\n"
    "  --keep   leave the value behind on uninstall (default: removed, and a\n"
    "           value the install replaced comes back)\n"
    "  --remove-empty-key  remove the key on uninstall when nothing is left in it\n"
    "Adding a value that is declared already (same root, key and name)\n"
    "replaces its declaration.\n";

const char kAssociationHelp[] =
    "usage: quillset-build association PROJECT.qsp add EXTENSION FILE --program-id ID\n"
    "                            [--description TEXT] [--icon ICON] [--command ARGS]\n"
    "       quillset-build association PROJECT.qsp remove EXTENSION\n"
    "       quillset-build association PROJECT.qsp list\n"
    "\n"
    "Opens files named *EXTENSION (.xyz) with FILE, an installed file of the\n"
    "project as show lists it (bin/app.exe, or \"%install path%\\bin\\app.exe\").\n"
    "  --program-id ID     the program identifier, e.g. Vendor.App.xyz (no\n"
    "                      spaces or \\)\n"
    "  --description TEXT  what Explorer calls such files\n"
    "  --icon ICON         the files' icon (default: FILE's own first icon)\n"
    "  --command ARGS      what follows the program's path on the command line\n"
    "                      (default: \"%1\", the file opened)\n";

const char kPathHelp[] =
    "usage: quillset-build path PROJECT.qsp add|remove FOLDER [--machine]\n"
    "       quillset-build path PROJECT.qsp list\n"
    "\n"
    "Adds an installed folder to the user's PATH (with --machine: the\n"
    "machine's, not for a per-user package). FOLDER is the install folder (.)\n"
    "or a folder below it: bin, or \"%install path%\\bin\". The uninstaller\n"
    "takes it out again, unless it was on the PATH before the install.\n";

const char kEnvHelp[] =
    "usage: quillset-build env PROJECT.qsp add NAME VALUE [--machine]\n"
    "       quillset-build env PROJECT.qsp remove NAME [--machine]\n"
    "       quillset-build env PROJECT.qsp list\n"
    "\n"
    "Sets the environment variable NAME to VALUE (macros expanded at install)\n"
    "for the user (with --machine: for the machine, not for a per-user\n"
    "package). The uninstaller restores what it was before. The PATH has its\n"
    "own command: path.\n";

void need(const Args& args, std::size_t words, const std::string& usage) {
  if (args.words.size() != words) throw Refused(usage);
}

bool same(const std::string& a, const std::string& b) { return text::equal_ignoring_case(a, b); }

// Opens the project, lets `change` edit its declarations and saves it,
// unless the change brought a problem the declarations did not have.
void change_declarations(Context& c, const std::string& typed, const std::function<void(EditSession&)>& resolve,
                         const std::function<void(Declarations&)>& change) {
  EditSession session(c.platform);
  const std::string path = c.platform.os_path(typed);
  session.open(path, typed);
  if (resolve) resolve(session);
  project::Project result = session.project();
  Declarations changed = result.declarations();
  change(changed);
  const std::string error = project::new_declaration_error(result, changed);
  if (!error.empty()) throw Refused(error);
  result.declarations() = std::move(changed);
  session.save(result, path, typed);
}

// Replaces the first element `match` finds, or appends.
template <typename T, typename Match>
void put(std::vector<T>& list, T item, Match match) {
  auto it = std::find_if(list.begin(), list.end(), match);
  if (it != list.end()) {
    *it = std::move(item);
  } else {
    list.push_back(std::move(item));
  }
}

template <typename T, typename Match>
void take(std::vector<T>& list, Match match, const std::string& missing) {
  auto it = std::find_if(list.begin(), list.end(), match);
  if (it == list.end()) throw Refused(missing);
  list.erase(it);
}

// Prints the rows of one kind (those whose kind contains `kind`).
int list(Context& c, const Args& args, const std::string& kind) {
  if (args.words.size() != 2) throw Refused("list takes no more words");
  EditSession session(c.platform);
  session.open(c.platform.os_path(args.words[0]), args.words[0]);
  for (const project::DeclarationRow& row : project::declaration_rows(session.project().declarations())) {
    if (row.kind.find(kind) == std::string::npos) continue;
    c.out << row.kind << "\t" << row.target << (row.value.empty() ? "" : "\t" + row.value) << "\n";
  }
  return 0;
}

package::EnvironmentScope scope_of(const Args& args) {
  return args.has("--machine") ? package::EnvironmentScope::machine : package::EnvironmentScope::current_user;
}

const std::string& action_of(const Args& args, const char* command) {
  if (args.words.size() < 2) throw Refused(std::string("missing arguments; see quillset-build ") + command + " --help");
  const std::string& action = args.words[1];
  if (action != "add" && action != "remove" && action != "list") {
    throw Refused(std::string(command) + " takes add, remove or list, not \"" + action + "\"");
  }
  return action;
}

}  // namespace

int command_registry(const Args& args, Context& c) {
  const std::string& action = action_of(args, "registry");
  if (action == "list") return list(c, args, "Registry");
  need(args, 3, "registry " + action + " takes one KEY");
  package::RegistryValueDeclaration value;
  value.key = args.words[2];
  value.name = args.value("--name");
  if (args.has("--root") && !package::registry_root_from_word(args.value("--root"), &value.root)) {
    throw Refused("--root takes scope, user or machine");
  }
  auto match = [&value](const package::RegistryValueDeclaration& r) {
    return r.root == value.root && same(r.key, value.key) && same(r.name, value.name);
  };
  if (action == "remove") {
    for (const char* option : {"--type", "--data", "--keep", "--remove-empty-key"}) {
      if (args.has(option)) throw Refused(std::string(option) + " is for add");
    }
    change_declarations(c, args.words[0], nullptr, [&](Declarations& d) {
      take(d.registry_values, match, "the project declares no such value: " + project::registry_value_label(value));
    });
    return 0;
  }
  if (args.has("--type") && !package::registry_type_from_word(args.value("--type"), &value.type)) {
    throw Refused("--type takes string, expandable or number");
  }
  value.data = args.value("--data");
  if (value.type == package::RegistryType::number && !args.has("--data")) value.data = "0";
  value.remove_on_uninstall = !args.has("--keep");
  value.remove_key_when_empty = args.has("--remove-empty-key");
  change_declarations(c, args.words[0], nullptr, [&](Declarations& d) { put(d.registry_values, value, match); });
  return 0;
}

int command_association(const Args& args, Context& c) {
  const std::string& action = action_of(args, "association");
  if (action == "list") return list(c, args, "Association");
  const auto match = [&args](const package::AssociationDeclaration& a) { return same(a.extension, args.words[2]); };
  if (action == "remove") {
    need(args, 3, "association remove takes one EXTENSION");
    change_declarations(c, args.words[0], nullptr, [&](Declarations& d) {
      take(d.associations, match, "the project declares no association for " + args.words[2]);
    });
    return 0;
  }
  need(args, 4, "association add takes EXTENSION and FILE");
  if (!args.has("--program-id")) throw Refused("association add needs --program-id ID");
  package::AssociationDeclaration a;
  a.extension = args.words[2];
  a.program_id = args.value("--program-id");
  a.description = args.value("--description");
  a.icon = args.value("--icon");
  if (args.has("--command")) a.command = args.value("--command");
  change_declarations(
      c, args.words[0],
      [&](EditSession& s) {
        const project::TreeItem item = s.find_file(args.words[3]);
        if (item == project::kNoItem) throw Refused("the project installs no file " + args.words[3]);
        const project::FileRecord& file = s.project().file(s.project().find_file_by_tree_item(item));
        a.file = file.target_folder + file.name;
      },
      [&](Declarations& d) { put(d.associations, a, match); });
  return 0;
}

int command_path(const Args& args, Context& c) {
  const std::string& action = action_of(args, "path");
  if (action == "list") return list(c, args, "PATH");
  need(args, 3, "path " + action + " takes one FOLDER");
  package::PathDeclaration p;
  p.scope = scope_of(args);
  const std::string& typed = args.words[2];
  if (typed.find(':') != std::string::npos || (typed[0] == '%' && typed.rfind("%install path%", 0) != 0)) {
    throw Refused("a PATH entry is the install folder or a folder below it, not " + typed);
  }
  p.folder = typed == "." ? std::string("%install path%\\") : install_folder_path(typed);
  p.folder.pop_back();  // the folder itself, without its closing backslash
  const auto match = [&p](const package::PathDeclaration& e) { return e.scope == p.scope && same(e.folder, p.folder); };
  change_declarations(c, args.words[0], nullptr, [&](Declarations& d) {
    if (action == "remove") {
      take(d.paths, match, "the project adds no " + std::string(p.scope == package::EnvironmentScope::machine
                                                                  ? "machine" : "user") + " PATH entry " + p.folder);
    } else {
      put(d.paths, p, match);
    }
  });
  return 0;
}

int command_env(const Args& args, Context& c) {
  const std::string& action = action_of(args, "env");
  if (action == "list") return list(c, args, "variable");
  package::VariableDeclaration v;
  v.scope = scope_of(args);
  v.name = args.words.size() > 2 ? args.words[2] : std::string();
  const auto match = [&v](const package::VariableDeclaration& e) { return e.scope == v.scope && same(e.name, v.name); };
  if (action == "remove") {
    need(args, 3, "env remove takes one NAME");
    change_declarations(c, args.words[0], nullptr, [&](Declarations& d) {
      take(d.variables, match, "the project sets no such variable: " + v.name);
    });
    return 0;
  }
  need(args, 4, "env add takes NAME and VALUE");
  v.value = args.words[3];
  change_declarations(c, args.words[0], nullptr, [&](Declarations& d) { put(d.variables, v, match); });
  return 0;
}

std::string declaration_help(const std::string& command) {
  if (command == "registry") return kRegistryHelp;
  if (command == "association") return kAssociationHelp;
  if (command == "path") return kPathHelp;
  if (command == "env") return kEnvHelp;
  return std::string();
}

void print_declarations(const project::Project& project, std::ostream& out) {
  const Declarations& d = project.declarations();
  if (!d.empty()) out << "Declarations:\n";
  for (const project::DeclarationRow& row : project::declaration_rows(d)) {
    out << "  " << row.kind << ": " << row.target << (row.value.empty() ? "" : " = " + row.value) << "\n";
  }
}

// One array per kind, each element an object of its fields.
Json declarations_json(const project::Project& project) {
  const Declarations& d = project.declarations();
  Json registry = Json::array(), associations = Json::array(), paths = Json::array(), variables = Json::array();
  for (const auto& r : d.registry_values) {
    registry.push_back({{"root", package::registry_root_word(r.root)}, {"key", r.key}, {"name", r.name},
                        {"type", package::registry_type_word(r.type)}, {"data", r.data},
                        {"remove_on_uninstall", r.remove_on_uninstall},
                        {"remove_key_when_empty", r.remove_key_when_empty}});
  }
  for (const auto& a : d.associations) {
    associations.push_back({{"extension", a.extension}, {"program_id", a.program_id}, {"description", a.description},
                            {"file", a.file}, {"icon", a.icon}, {"command", a.command}});
  }
  for (const auto& p : d.paths) {
    paths.push_back({{"folder", p.folder}, {"scope", package::environment_scope_word(p.scope)}});
  }
  for (const auto& v : d.variables) {
    variables.push_back({{"name", v.name}, {"value", v.value}, {"scope", package::environment_scope_word(v.scope)}});
  }
  return {{"registry", registry}, {"associations", associations}, {"path", paths}, {"environment", variables}};
}

}  // namespace quill::cli
