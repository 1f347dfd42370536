// What a package changes besides its files and shortcuts: registry values,
// file associations, folders added to the PATH and environment variables.
// The author declares them in the project; the package carries them as the
// data file "declarations.txt", in the same text form as the project file's
// section; the installer applies them inside its transaction and records
// each in the uninstall log, so that removal undoes exactly what was done.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quill::package {

// The hive a registry value is written to. `scope` follows the package's
// install scope: the machine's hive for a machine-wide install, the current
// user's for a per-user one.
enum class RegistryRoot { scope, current_user, local_machine };
enum class RegistryType { string, expandable_string, number };

struct RegistryValueDeclaration {
  RegistryRoot root = RegistryRoot::scope;
  std::string key;   // below the root, "Software\Publisher\App"
  std::string name;  // empty: the key's default value
  RegistryType type = RegistryType::string;
  std::string data;  // macros expanded at install time; a number in decimal
  bool remove_on_uninstall = true;
  bool remove_key_when_empty = false;
};

struct AssociationDeclaration {
  std::string extension;    // ".xyz"
  std::string program_id;   // "Vendor.App.xyz"
  std::string description;  // "XYZ document"
  std::string file;         // the installed file that opens it: its folder and name in the project tree
  std::string icon;         // empty: the file's own first icon
  std::string command = "\"%1\"";  // the verb's arguments after the program's path
};

// Whose environment a PATH entry or variable goes into.
enum class EnvironmentScope { current_user, machine };

struct PathDeclaration {
  std::string folder;  // an installed folder, "%install path%\bin"
  EnvironmentScope scope = EnvironmentScope::current_user;
};

struct VariableDeclaration {
  std::string name;
  std::string value;  // macros expanded at install time
  EnvironmentScope scope = EnvironmentScope::current_user;
};

struct Declarations {
  std::vector<RegistryValueDeclaration> registry_values;
  std::vector<AssociationDeclaration> associations;
  std::vector<PathDeclaration> paths;
  std::vector<VariableDeclaration> variables;

  bool empty() const {
    return registry_values.empty() && associations.empty() && paths.empty() && variables.empty();
  }
};

// The most records one text may hold.
constexpr std::size_t kMaxDeclarations = 4096;
// Field limits, in UTF-16 code units as Windows counts them.
constexpr std::size_t kMaxRegistryKey = 255;
constexpr std::size_t kMaxValueName = 16383;
constexpr std::size_t kMaxValueData = 32767;
constexpr std::size_t kMaxExtension = 64;  // after the dot
constexpr std::size_t kMaxProgramId = 255;
constexpr std::size_t kMaxPathField = 1024;  // files, icons, folders

// Why one declaration cannot be carried, in a few words; empty when it can.
// The reader refuses exactly these, so the builder asks the same questions
// before it saves anything.
std::string declaration_error(const RegistryValueDeclaration& value);
std::string declaration_error(const AssociationDeclaration& association);
std::string declaration_error(const PathDeclaration& path);
std::string declaration_error(const VariableDeclaration& variable);

// The words of the text form, also used by the command line.
const char* registry_root_word(RegistryRoot root);      // "scope", "user", "machine"
const char* registry_type_word(RegistryType type);      // "string", "expandable", "number"
const char* environment_scope_word(EnvironmentScope scope);  // "user", "machine"
bool registry_root_from_word(std::string_view word, RegistryRoot* root);
bool registry_type_from_word(std::string_view word, RegistryType* type);
bool environment_scope_from_word(std::string_view word, EnvironmentScope* scope);

// The text form, shared by the project file's section and "declarations.txt":
// lines with LF ends (the file writers store CR LF).
std::string declarations_text(const Declarations& declarations);
// Reads the text form. False, with `error` naming the first bad line, for a
// text that is damaged or declares what the format does not allow (a root
// or type it does not know, a line break in a field, an over-long field).
bool parse_declarations(std::string_view text, Declarations* declarations, std::string* error);

}  // namespace quill::package
