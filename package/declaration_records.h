// The uninstall log's records of applied declarations: each registry value
// the install wrote with what it replaced, each key it created, each folder
// it added to a `Path`. They lie among the log's lines before its closing
// lines; every such line starts with '*', which no path does, and the
// reader keeps them apart from the entries (UninstallLog::declaration_lines),
// so a log without them reads as before. A record is escaped to printable
// ASCII and cut into pieces of at most kRecordPieceLength characters, one a
// line: "*+" before every piece but the last, "*." before the last.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "os/os.h"
#include "package/uninstall_log.h"

namespace quill::package {

constexpr std::size_t kRecordPieceLength = 200;
// A record longer than this (escaped) is damaged.
constexpr std::size_t kMaxRecordLength = std::size_t{1} << 20;

struct DeclarationRecord {
  enum class Kind {
    value,        // a registry value written
    created_key,  // a key created, deleted again when left empty
    path_entry,   // a folder added to the `Path` of `key`
  };
  Kind kind = Kind::value;
  // value: 'v' a declared registry value, 'a' part of an association, 'e'
  // an environment variable.
  char what = 'v';
  os::RegistryRoot root = os::RegistryRoot::current_user;
  std::string key;
  std::string name;  // value: its name; path_entry: the folder
  os::Os::RegistryValue previous;  // value: what was there (Type::absent: nothing)
  bool remove_on_uninstall = true;
  bool remove_key_when_empty = false;
  bool created_value = false;  // path_entry: the `Path` value did not exist
};

// True for a line that belongs to a declaration record.
bool is_declaration_record_line(const std::string& line);
// The log lines of one record.
std::vector<std::string> declaration_record_lines(const DeclarationRecord& record);
// The records of a log's declaration lines, in order. A damaged record (a
// piece missing or damaged, a field that does not read, a root other than
// the user's or the machine's hive, an empty or malformed key) is left out.
std::vector<DeclarationRecord> declaration_records(const std::vector<std::string>& lines);

}  // namespace quill::package
