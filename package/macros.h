// Macro expansion: built-in macros (special folders, the install folder), text
// macros and registry macros from the macro table, applied to a text or to a
// whole installer data file in place.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "os/os.h"

namespace quill::package {

// One user macro as stored in "macros.txt": a registry macro when `key` or
// `value_name` is non-empty, else a text macro.
struct MacroRecord {
  std::string name;        // the token, percent signs included
  std::string value;       // replacement text, or the root key name of a registry macro
  std::string key;         // registry key path below the root
  std::string value_name;  // registry value to read

  bool is_registry_macro() const { return !key.empty() || !value_name.empty(); }
};

// The installer's macro table holds at most this many records.
constexpr std::size_t kMaxMacroRecords = 1024;
// The size of the classic expansion buffer; longer texts are expanded fully.
constexpr std::size_t kMacroTextCapacity = 131072;

// Maps a root key name ("HKEY_LOCAL_MACHINE" ...) to its root; false for any
// other text (compared exactly).
bool registry_root_from_name(const std::string& name, os::RegistryRoot* root);

// Expands every macro of `text`. At each '%' the built-ins are tried first
// ("%program files%", "%windows%", "%system%", "%install path%", "%user
// programs%": the user's local application data folder's "Programs"), then the
// whole table once in order at the position behind any replacement. Inserted
// text is never scanned again. `install_folder` loses one trailing backslash
// when it is inserted. A registry macro whose value cannot be read, or holds
// a control character (a line break would add lines to a data file), expands
// to nothing.
std::string expand_macros(os::Os& os, const std::vector<MacroRecord>& table,
                          const std::string& text, std::string install_folder);

// Reads the file, expands its macros and writes it back (CR LF line ends).
// A missing file is left alone. Files of every size are expanded fully.
void expand_macros_in_file(os::Os& os, const std::vector<MacroRecord>& table,
                           const std::string& file_path, const std::string& install_folder);

// The same for a data file's bytes held in memory: the bytes the file would
// hold after expand_macros_in_file.
std::string expand_data_file(os::Os& os, const std::vector<MacroRecord>& table,
                             const std::string& bytes, const std::string& install_folder);

}  // namespace quill::package
