// The declarations' text form: one record a line, a kind word and then the
// fields, separated by tabs. No field may hold a tab or any other control
// character, so a field can never add a line or a field of its own.
//
//   registry    ROOT KEY NAME TYPE DATA UNINSTALL EMPTY-KEY
//   association EXTENSION PROGRAM-ID DESCRIPTION FILE ICON COMMAND
//   path        SCOPE FOLDER
//   variable    SCOPE NAME VALUE
#include "package/declarations.h"

#include <initializer_list>
#include <vector>

#include "text/unicode.h"

namespace quill::package {
namespace {

const char kRegistry[] = "registry";
const char kAssociation[] = "association";
const char kPath[] = "path";
const char kVariable[] = "variable";
const char kRemove[] = "remove";
const char kKeep[] = "keep";
const char kRemoveEmptyKey[] = "remove empty key";
const char kKeepKey[] = "keep key";
const char kInstallPath[] = "%install path%";

struct Word {
  const char* word;
  int value;
};
const Word kRoots[] = {{"scope", int(RegistryRoot::scope)},
                       {"user", int(RegistryRoot::current_user)},
                       {"machine", int(RegistryRoot::local_machine)}};
const Word kTypes[] = {{"string", int(RegistryType::string)},
                       {"expandable", int(RegistryType::expandable_string)},
                       {"number", int(RegistryType::number)}};
const Word kScopes[] = {{"user", int(EnvironmentScope::current_user)},
                        {"machine", int(EnvironmentScope::machine)}};

template <std::size_t N>
const char* word_of(const Word (&words)[N], int value) {
  for (const Word& w : words) {
    if (w.value == value) return w.word;
  }
  return words[0].word;
}

template <std::size_t N>
bool value_of(const Word (&words)[N], std::string_view word, int* value) {
  for (const Word& w : words) {
    if (word == w.word) {
      *value = w.value;
      return true;
    }
  }
  return false;
}

// Length as Windows counts it.
std::size_t units(std::string_view text) { return text::utf8_to_utf16(text).size(); }

// Empty when `text` may be a field: well-formed UTF-8 without control
// characters, at most `limit` units long (and not empty when `required`).
std::string field_error(const char* what, std::string_view text, std::size_t limit, bool required = false) {
  const char* problem = nullptr;
  if (required && text.empty()) {
    problem = " is empty";
  } else {
    for (char c : text) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
        problem = " holds a control character";
        break;
      }
    }
  }
  if (problem == nullptr && !text::is_valid_utf8(text)) problem = " is not valid UTF-8";
  if (problem == nullptr && text.size() > limit && units(text) > limit) problem = " is too long";
  // One concatenation for every problem keeps this small in the stub.
  return problem != nullptr ? std::string(what) + problem : std::string();
}

bool is_decimal_number(std::string_view text) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return false;
  unsigned long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + unsigned(c - '0');
  }
  return n <= 0xFFFFFFFFull;
}

}  // namespace

const char* registry_root_word(RegistryRoot root) { return word_of(kRoots, int(root)); }
const char* registry_type_word(RegistryType type) { return word_of(kTypes, int(type)); }
const char* environment_scope_word(EnvironmentScope scope) { return word_of(kScopes, int(scope)); }

bool registry_root_from_word(std::string_view word, RegistryRoot* root) {
  int v;
  if (!value_of(kRoots, word, &v)) return false;
  *root = RegistryRoot(v);
  return true;
}
bool registry_type_from_word(std::string_view word, RegistryType* type) {
  int v;
  if (!value_of(kTypes, word, &v)) return false;
  *type = RegistryType(v);
  return true;
}
bool environment_scope_from_word(std::string_view word, EnvironmentScope* scope) {
  int v;
  if (!value_of(kScopes, word, &v)) return false;
  *scope = EnvironmentScope(v);
  return true;
}

std::string declaration_error(const RegistryValueDeclaration& value) {
  std::string e = field_error("the key", value.key, kMaxRegistryKey, true);
  if (e.empty() && (value.key.front() == '\\' || value.key.back() == '\\' ||
                    value.key.find("\\\\") != std::string::npos)) {
    e = "the key has an empty part";
  }
  if (e.empty()) e = field_error("the value name", value.name, kMaxValueName);
  if (e.empty()) e = field_error("the data", value.data, kMaxValueData);
  if (e.empty() && value.type == RegistryType::number && !is_decimal_number(value.data)) {
    e = "a number must be a decimal from 0 to 4294967295";
  }
  return e;
}

std::string declaration_error(const AssociationDeclaration& a) {
  const std::string& ext = a.extension;
  if (ext.size() < 2 || ext[0] != '.' || ext.find_first_of("\\/:*?\"<>| ", 1) != std::string::npos) {
    return "the extension must be a dot and a name without spaces or \\ / : * ? \" < > |";
  }
  std::string e = field_error("the extension", std::string_view(ext).substr(1), kMaxExtension);
  if (e.empty()) e = field_error("the program identifier", a.program_id, kMaxProgramId, true);
  if (e.empty() && (a.program_id[0] == '.' || a.program_id.find_first_of(" \\*") != std::string::npos)) {
    e = "the program identifier must not start with a dot or hold a space, \\ or *";
  }
  if (e.empty()) e = field_error("the description", a.description, kMaxValueData);
  if (e.empty()) e = field_error("the file", a.file, kMaxPathField, true);
  if (e.empty()) e = field_error("the icon", a.icon, kMaxPathField);
  if (e.empty()) e = field_error("the command", a.command, kMaxValueData);
  return e;
}

std::string declaration_error(const PathDeclaration& path) {
  std::string e = field_error("the folder", path.folder, kMaxPathField, true);
  if (!e.empty()) return e;
  // The install folder itself or a folder below it, named plainly: no
  // other macro, no step up, nothing that reads as another drive.
  const std::string& f = path.folder;
  const std::string_view prefix = kInstallPath;
  bool below = f.compare(0, prefix.size(), prefix) == 0;
  if (below && f.size() > prefix.size()) {
    std::string_view rest = std::string_view(f).substr(prefix.size());
    below = rest[0] == '\\' && rest.find_first_of("%/:*?\"<>|") == std::string_view::npos;
    // Every part after the prefix: not empty, not "." or "..".
    for (std::size_t at = 1; below && at <= rest.size();) {
      std::size_t end = rest.find('\\', at);
      if (end == std::string_view::npos) end = rest.size();
      const std::string_view part = rest.substr(at, end - at);
      if (part.empty() || part == "." || part == "..") below = false;
      at = end + 1;
    }
  }
  return below ? std::string() : "the folder must be %install path% or a folder below it";
}

std::string declaration_error(const VariableDeclaration& v) {
  std::string e = field_error("the name", v.name, kMaxRegistryKey, true);
  if (e.empty() && v.name.find('=') != std::string::npos) e = "the name holds '='";
  // The PATH has its own declarations, which add to it instead of replacing it.
  if (e.empty() && text::equal_ignoring_case(v.name, "PATH")) e = "the PATH is changed by path declarations";
  if (e.empty()) e = field_error("the value", v.value, kMaxValueData);
  return e;
}

std::string declarations_text(const Declarations& d) {
  std::string out;
  auto record = [&out](std::initializer_list<std::string_view> fields) {
    bool first = true;
    for (std::string_view f : fields) {
      if (!first) out += '\t';
      out += f;
      first = false;
    }
    out += '\n';
  };
  for (const RegistryValueDeclaration& r : d.registry_values) {
    record({kRegistry, registry_root_word(r.root), r.key, r.name, registry_type_word(r.type), r.data,
            r.remove_on_uninstall ? kRemove : kKeep, r.remove_key_when_empty ? kRemoveEmptyKey : kKeepKey});
  }
  for (const AssociationDeclaration& a : d.associations) {
    record({kAssociation, a.extension, a.program_id, a.description, a.file, a.icon, a.command});
  }
  for (const PathDeclaration& p : d.paths) record({kPath, environment_scope_word(p.scope), p.folder});
  for (const VariableDeclaration& v : d.variables) {
    record({kVariable, environment_scope_word(v.scope), v.name, v.value});
  }
  return out;
}

namespace {

// One record's fields into `d`; the reason it is refused otherwise.
std::string parse_record(const std::vector<std::string_view>& f, Declarations* d) {
  const std::string_view kind = f[0];
  auto count = [&f](std::size_t n) {
    return f.size() == n ? std::string() : "expected " + std::to_string(n - 1) + " fields";
  };
  std::string e;
  if (kind == kRegistry) {
    if (!(e = count(8)).empty()) return e;
    RegistryValueDeclaration r;
    if (!registry_root_from_word(f[1], &r.root)) return "unknown registry root";
    if (!registry_type_from_word(f[4], &r.type)) return "unknown value type";
    if (f[6] != kRemove && f[6] != kKeep) return "unknown uninstall word";
    if (f[7] != kRemoveEmptyKey && f[7] != kKeepKey) return "unknown key word";
    r.key = f[2];
    r.name = f[3];
    r.data = f[5];
    r.remove_on_uninstall = f[6] == kRemove;
    r.remove_key_when_empty = f[7] == kRemoveEmptyKey;
    if (!(e = declaration_error(r)).empty()) return e;
    d->registry_values.push_back(std::move(r));
  } else if (kind == kAssociation) {
    if (!(e = count(7)).empty()) return e;
    AssociationDeclaration a;
    a.extension = f[1];
    a.program_id = f[2];
    a.description = f[3];
    a.file = f[4];
    a.icon = f[5];
    a.command = f[6];
    if (!(e = declaration_error(a)).empty()) return e;
    d->associations.push_back(std::move(a));
  } else if (kind == kPath) {
    if (!(e = count(3)).empty()) return e;
    PathDeclaration p;
    if (!environment_scope_from_word(f[1], &p.scope)) return "unknown environment";
    p.folder = f[2];
    if (!(e = declaration_error(p)).empty()) return e;
    d->paths.push_back(std::move(p));
  } else if (kind == kVariable) {
    if (!(e = count(4)).empty()) return e;
    VariableDeclaration v;
    if (!environment_scope_from_word(f[1], &v.scope)) return "unknown environment";
    v.name = f[2];
    v.value = f[3];
    if (!(e = declaration_error(v)).empty()) return e;
    d->variables.push_back(std::move(v));
  } else {
    return "unknown kind of declaration";
  }
  return std::string();
}

}  // namespace

bool parse_declarations(std::string_view text, Declarations* declarations, std::string* error) {
  Declarations parsed;
  std::size_t records = 0;
  std::size_t line_number = 0;
  std::vector<std::string_view> fields;
  for (std::size_t at = 0; at < text.size();) {
    ++line_number;
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // stored with CR LF

    std::string why;
    if (++records > kMaxDeclarations) {
      why = "more than " + std::to_string(kMaxDeclarations) + " declarations";
    } else if (line.empty()) {
      why = "empty line";
    } else {
      fields.clear();
      for (std::size_t from = 0;;) {
        const std::size_t tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
        if (tab == std::string_view::npos) break;
        from = tab + 1;
      }
      why = parse_record(fields, &parsed);
    }
    if (!why.empty()) {
      if (error) *error = "line " + std::to_string(line_number) + ": " + why;
      return false;
    }
  }
  *declarations = std::move(parsed);
  return true;
}

}  // namespace quill::package
