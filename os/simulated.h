// What the two simulated Windows machines (os/posix_os on disk, the test
// double tests/support/memory_os in memory) share: the machine's folders, the
// registry tree and its operations, the shortcut file format and the MS-DOS
// time rule.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "os/os.h"

namespace quill::os::simulated {

// The user profile; every folder of the machine below it or on C:.
extern const char kProfile[];
// The folders a fresh machine has, each with all its parents.
std::vector<std::string> standard_folders();
std::string special_folder(SpecialFolder which);
std::string temp_folder();  // ends in a backslash

// Names are UTF-8 and compare as Windows compares them: ignoring the case
// of letters (Latin, Greek, Cyrillic; see text::upper_case).
std::string upper(std::string_view text);
bool equal_nocase(std::string_view a, std::string_view b);
// Listing order of a Windows file system: by name ignoring letter case.
bool listing_before(const std::string& a, const std::string& b);
// The first `max_length` UTF-16 units of a UTF-8 text (a character that
// needs two units is kept whole or dropped whole), as a read into a buffer
// of that many characters gives it.
std::string first_characters(const std::string& text, std::size_t max_length);

// An MS-DOS date and time pair as local calendar time; false when it names
// no valid date.
bool dos_time(std::uint32_t dos_date_time, struct tm* out);

struct RegValue {
  std::string name;
  bool is_dword = false;
  std::string text;
  std::uint32_t dword = 0;
  bool expandable = false;  // a string value of the expandable type
};

struct RegKey {
  std::string name;
  std::vector<RegKey> children;
  std::vector<RegValue> values;

  RegKey* child(const std::string& child_name);
  RegValue* value(const std::string& value_name);
};

// The registry: one tree per root, names compared ignoring letter case.
class RegistryTree {
 public:
  // The key at `path` below `root`; created (with its parents) when `create`.
  RegKey* find(RegistryRoot root, const std::string& path, bool create);
  Error read_string(RegistryRoot root, const std::string& key, const std::string& name,
                    std::string* value, std::size_t max_length);
  Error read_dword(RegistryRoot root, const std::string& key, const std::string& name,
                   std::uint32_t* value);
  void write_string(RegistryRoot root, const std::string& key, const std::string& name,
                    const std::string& value);
  void write_dword(RegistryRoot root, const std::string& key, const std::string& name,
                   std::uint32_t value);
  Error delete_key(RegistryRoot root, const std::string& parent, const std::string& subkey);
  // Values with their type, for declared values (os.h).
  void read_value(RegistryRoot root, const std::string& key, const std::string& name,
                  Os::RegistryValue* value);
  void write_value(RegistryRoot root, const std::string& key, const std::string& name,
                   const Os::RegistryValue& value);
  Error delete_value(RegistryRoot root, const std::string& key, const std::string& name);
  bool key_empty(RegistryRoot root, const std::string& key);

  std::map<std::uint32_t, RegKey>& roots() { return roots_; }

 private:
  std::map<std::uint32_t, RegKey> roots_;
};

// A shortcut is a small text file naming its target and working folder.
Error write_shortcut(Os& os, const Shortcut& shortcut);
bool read_shortcut(Os& os, const std::string& link_path, Shortcut* shortcut);

// The simulated list of operations for the next start is the machine's
// shell log: "later|PATH" deletes, "rename-later|FROM|TO" renames. Drops
// the lines of `from`; Error::not_found when there were none.
Error cancel_later_lines(std::vector<std::string>* log, const std::string& from);

}  // namespace quill::os::simulated
