// Writing and reading the declaration records of the uninstall log.
//
// A record's text is its fields joined by '|':
//   V|WHAT|ROOT|KEY|NAME|FLAGS|TYPE|RAW-TYPE|DATA   a value written
//   K|ROOT|KEY                                      a key created
//   P|ROOT|KEY|FOLDER|CREATED                       a folder added to a Path
// ROOT is U (the user's hive) or M (the machine's); FLAGS two characters,
// 'r' or '-' (remove on uninstall), 'k' or '-' (the key when left empty);
// TYPE of the previous value '-' (none), 's', 'e', 'd' or 'o' (another type,
// RAW-TYPE its number, DATA its bytes); CREATED '1' or '0'. Every byte
// below '!' other than the space, from 0x7F, and '%' and '|' are written %XX.
#include "package/declaration_records.h"

#include <cstdlib>

namespace quill::package {
namespace {

using Type = os::Os::RegistryValue::Type;

// Appends '|' and the field, escaped.
void add_field(std::string* out, const std::string& text) {
  *out += '|';
  for (unsigned char c : text) {
    if (c < 0x20 || c >= 0x7F || c == '%' || c == '|') {
      // By hand rather than through the printf family, whose formatter
      // would add some 20 KiB to the installer stub.
      static const char kDigits[] = "0123456789ABCDEF";
      *out += '%';
      *out += kDigits[c >> 4];
      *out += kDigits[c & 0xF];
    } else {
      *out += static_cast<char>(c);
    }
  }
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool unescape(const std::string& text, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out->push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = hex_digit(text[i + 1]);
    const int low = hex_digit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out->push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return true;
}

const char* root_letter(os::RegistryRoot root) {
  return root == os::RegistryRoot::local_machine ? "M" : "U";
}

bool root_from_letter(const std::string& letter, os::RegistryRoot* root) {
  if (letter == "U") {
    *root = os::RegistryRoot::current_user;
  } else if (letter == "M") {
    *root = os::RegistryRoot::local_machine;
  } else {
    return false;
  }
  return true;
}

// A key the records may name: not empty, no empty part, no control
// character (the reader's unescaping could make one).
bool usable_key(const std::string& key) {
  if (key.empty() || key.front() == '\\' || key.back() == '\\' ||
      key.find("\\\\") != std::string::npos || key.size() > 1024) {
    return false;
  }
  for (unsigned char c : key) {
    if (c < 0x20) return false;
  }
  return true;
}

bool decimal(const std::string& text, std::uint32_t* value) {
  if (text.empty() || text.size() > 10) return false;
  unsigned long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + unsigned(c - '0');
  }
  if (n > 0xFFFFFFFFull) return false;
  *value = static_cast<std::uint32_t>(n);
  return true;
}

// Built by appending to one string: the stub carries this code, and a chain
// of concatenations costs a temporary at each step.
std::string record_text(const DeclarationRecord& r) {
  std::string out;
  switch (r.kind) {
    case DeclarationRecord::Kind::created_key:
      out = "K|";
      out += root_letter(r.root);
      add_field(&out, r.key);
      return out;
    case DeclarationRecord::Kind::path_entry:
      out = "P|";
      out += root_letter(r.root);
      add_field(&out, r.key);
      add_field(&out, r.name);
      out += r.created_value ? "|1" : "|0";
      return out;
    case DeclarationRecord::Kind::value: break;
  }
  char type = '-';
  std::string number;  // a number's decimal digits
  const std::string* data = &r.previous.text;
  std::uint32_t raw = 0;
  switch (r.previous.type) {
    case Type::absent: data = &number; break;
    case Type::string: type = 's'; break;
    case Type::expandable_string: type = 'e'; break;
    case Type::dword: type = 'd'; number = std::to_string(r.previous.dword); data = &number; break;
    case Type::other: type = 'o'; raw = r.previous.raw_type; break;
  }
  out = "V|";
  out += r.what;
  out += '|';
  out += root_letter(r.root);
  add_field(&out, r.key);
  add_field(&out, r.name);
  out += '|';
  out += r.remove_on_uninstall ? 'r' : '-';
  out += r.remove_key_when_empty ? 'k' : '-';
  out += '|';
  out += type;
  out += '|';
  out += std::to_string(raw);
  add_field(&out, *data);
  return out;
}

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  for (;;) {
    const std::size_t bar = text.find('|', at);
    fields.push_back(text.substr(at, bar == std::string::npos ? std::string::npos : bar - at));
    if (bar == std::string::npos) return fields;
    at = bar + 1;
  }
}

bool parse_record(const std::string& text, DeclarationRecord* r) {
  const std::vector<std::string> f = split(text);
  if (f.empty()) return false;
  if (f[0] == "K" && f.size() == 3) {
    r->kind = DeclarationRecord::Kind::created_key;
    return root_from_letter(f[1], &r->root) && unescape(f[2], &r->key) && usable_key(r->key);
  }
  if (f[0] == "P" && f.size() == 5) {
    r->kind = DeclarationRecord::Kind::path_entry;
    if (f[4] != "0" && f[4] != "1") return false;
    r->created_value = f[4] == "1";
    return root_from_letter(f[1], &r->root) && unescape(f[2], &r->key) && usable_key(r->key) &&
           unescape(f[3], &r->name) && !r->name.empty() && r->name.find(';') == std::string::npos;
  }
  if (f[0] != "V" || f.size() != 9) return false;
  r->kind = DeclarationRecord::Kind::value;
  if (f[1] != "v" && f[1] != "a" && f[1] != "e") return false;
  r->what = f[1][0];
  if (!root_from_letter(f[2], &r->root) || !unescape(f[3], &r->key) || !usable_key(r->key) ||
      !unescape(f[4], &r->name)) {
    return false;
  }
  if (f[5].size() != 2 || (f[5][0] != 'r' && f[5][0] != '-') || (f[5][1] != 'k' && f[5][1] != '-')) return false;
  r->remove_on_uninstall = f[5][0] == 'r';
  r->remove_key_when_empty = f[5][1] == 'k';
  std::string data;
  if (!unescape(f[8], &data) || !decimal(f[7], &r->previous.raw_type)) return false;
  r->previous = os::Os::RegistryValue();
  if (f[6].size() != 1) return false;
  switch (f[6][0]) {
    case '-': return data.empty();
    case 's':
    case 'e':
      r->previous.type = f[6][0] == 's' ? Type::string : Type::expandable_string;
      r->previous.text = data;
      return true;
    case 'd':
      r->previous.type = Type::dword;
      return decimal(data, &r->previous.dword);
    case 'o':
      r->previous.type = Type::other;
      r->previous.text = data;
      return decimal(f[7], &r->previous.raw_type);
  }
  return false;
}

}  // namespace

bool is_declaration_record_line(const std::string& line) { return !line.empty() && line[0] == '*'; }

std::vector<std::string> declaration_record_lines(const DeclarationRecord& record) {
  const std::string text = record_text(record);
  std::vector<std::string> lines;
  for (std::size_t at = 0; at == 0 || at < text.size(); at += kRecordPieceLength) {
    const bool last = at + kRecordPieceLength >= text.size();
    lines.push_back((last ? "*." : "*+") + text.substr(at, kRecordPieceLength));
  }
  return lines;
}

std::vector<DeclarationRecord> declaration_records(const std::vector<std::string>& lines) {
  std::vector<DeclarationRecord> records;
  std::string text;
  bool broken = false;  // a piece of the record being read was damaged
  for (const std::string& line : lines) {
    const bool piece = line.size() >= 2 && line[0] == '*' && (line[1] == '+' || line[1] == '.');
    if (!piece || text.size() + line.size() > kMaxRecordLength) {
      broken = true;
    } else {
      text.append(line, 2, std::string::npos);
    }
    if (piece && line[1] == '+') continue;
    DeclarationRecord record;
    if (!broken && parse_record(text, &record)) records.push_back(std::move(record));
    text.clear();
    broken = false;
  }
  return records;
}

}  // namespace quill::package
