// The parts both simulated machines share.
#include "os/simulated.h"

#include <algorithm>
#include <memory>

#include "text/unicode.h"

namespace quill::os::simulated {

const char kProfile[] = "C:\\Users\\User";
// The all-users folders, as a current Windows places them.
const char kPublicDesktop[] = "C:\\Users\\Public\\Desktop";
const char kCommonPrograms[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

std::vector<std::string> standard_folders() {
  const std::string profile = kProfile;
  const std::string roaming = profile + "\\AppData\\Roaming";
  return {"C:\\Program Files",
          "C:\\Windows",
          "C:\\Windows\\System32",
          "C:\\Users",
          "C:\\Users\\Public",
          kPublicDesktop,
          "C:\\ProgramData",
          "C:\\ProgramData\\Microsoft",
          "C:\\ProgramData\\Microsoft\\Windows",
          "C:\\ProgramData\\Microsoft\\Windows\\Start Menu",
          kCommonPrograms,
          profile,
          profile + "\\Desktop",
          profile + "\\AppData",
          roaming,
          roaming + "\\Microsoft",
          roaming + "\\Microsoft\\Windows",
          roaming + "\\Microsoft\\Windows\\Start Menu",
          roaming + "\\Microsoft\\Windows\\Start Menu\\Programs",
          roaming + "\\Microsoft\\Internet Explorer",
          roaming + "\\Microsoft\\Internet Explorer\\Quick Launch",
          profile + "\\AppData\\Local",
          profile + "\\AppData\\Local\\Temp"};
}

std::string special_folder(SpecialFolder which) {
  const std::string profile = kProfile;
  switch (which) {
    case SpecialFolder::program_files: return "C:\\Program Files";
    case SpecialFolder::windows: return "C:\\Windows";
    case SpecialFolder::system: return "C:\\Windows\\System32";
    case SpecialFolder::desktop: return profile + "\\Desktop";
    case SpecialFolder::programs: return profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    case SpecialFolder::app_data: return profile + "\\AppData\\Roaming";
    case SpecialFolder::profile: return profile;
    case SpecialFolder::local_app_data: return profile + "\\AppData\\Local";
    case SpecialFolder::common_desktop: return kPublicDesktop;
    case SpecialFolder::common_programs: return kCommonPrograms;
  }
  return std::string();
}

std::string temp_folder() { return std::string(kProfile) + "\\AppData\\Local\\Temp\\"; }

std::string upper(std::string_view text) { return text::upper_case(text); }

bool equal_nocase(std::string_view a, std::string_view b) { return text::equal_ignoring_case(a, b); }

bool listing_before(const std::string& a, const std::string& b) {
  const int order = text::compare_ignoring_case(a, b);
  return order != 0 ? order < 0 : a < b;
}

std::string first_characters(const std::string& text, std::size_t max_length) {
  std::size_t pos = 0;
  std::size_t units = 0;
  while (pos < text.size()) {
    std::size_t next = pos;
    const char32_t c = text::next_code_point(text, &next);
    units += c > 0xFFFF ? 2 : 1;
    if (units > max_length) break;
    pos = next;
  }
  return text.substr(0, pos);
}

bool dos_time(std::uint32_t dos_date_time, struct tm* out) {
  std::uint32_t date = dos_date_time >> 16;
  std::uint32_t time = dos_date_time & 0xffffu;
  struct tm t = {};
  t.tm_year = static_cast<int>((date >> 9) & 0x7f) + 80;
  t.tm_mon = static_cast<int>((date >> 5) & 0x0f) - 1;
  t.tm_mday = static_cast<int>(date & 0x1f);
  t.tm_hour = static_cast<int>((time >> 11) & 0x1f);
  t.tm_min = static_cast<int>((time >> 5) & 0x3f);
  t.tm_sec = static_cast<int>(time & 0x1f) * 2;
  t.tm_isdst = -1;
  if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 59) {
    return false;
  }
  *out = t;
  return true;
}

// ---- Registry

RegKey* RegKey::child(const std::string& child_name) {
  for (RegKey& k : children) {
    if (equal_nocase(k.name, child_name)) return &k;
  }
  return nullptr;
}

RegValue* RegKey::value(const std::string& value_name) {
  for (RegValue& v : values) {
    if (equal_nocase(v.name, value_name)) return &v;
  }
  return nullptr;
}

namespace {

std::vector<std::string> key_parts(const std::string& key) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i <= key.size()) {
    std::size_t end = key.find('\\', i);
    if (end == std::string::npos) end = key.size();
    if (end > i) parts.push_back(key.substr(i, end - i));
    i = end + 1;
  }
  return parts;
}

RegValue* value_for_write(RegKey* key, const std::string& name) {
  RegValue* v = key->value(name);
  if (v != nullptr) return v;
  key->values.push_back(RegValue{name, false, std::string(), 0});
  return &key->values.back();
}

}  // namespace

RegKey* RegistryTree::find(RegistryRoot root, const std::string& path, bool create) {
  RegKey* key = &roots_[static_cast<std::uint32_t>(root)];
  for (const std::string& part : key_parts(path)) {
    RegKey* next = key->child(part);
    if (next == nullptr) {
      if (!create) return nullptr;
      key->children.push_back(RegKey{part, {}, {}});
      next = &key->children.back();
    }
    key = next;
  }
  return key;
}

Error RegistryTree::read_string(RegistryRoot root, const std::string& key, const std::string& name,
                                std::string* value, std::size_t max_length) {
  RegKey* k = find(root, key, false);
  RegValue* v = k == nullptr ? nullptr : k->value(name);
  if (v == nullptr || v->is_dword) return Error::not_found;  // missing, or of another type
  // Like a zero-terminated read into a fixed buffer: up to the first zero.
  std::string text = v->text.substr(0, v->text.find('\0'));
  *value = first_characters(text, max_length);
  return Error::none;
}

Error RegistryTree::read_dword(RegistryRoot root, const std::string& key, const std::string& name,
                               std::uint32_t* value) {
  RegKey* k = find(root, key, false);
  RegValue* v = k == nullptr ? nullptr : k->value(name);
  if (v == nullptr || !v->is_dword) return Error::not_found;
  *value = v->dword;
  return Error::none;
}

void RegistryTree::write_string(RegistryRoot root, const std::string& key, const std::string& name,
                                const std::string& value) {
  RegValue* v = value_for_write(find(root, key, true), name);
  v->is_dword = false;
  v->text = value;
  v->dword = 0;
  v->expandable = false;
}

void RegistryTree::write_dword(RegistryRoot root, const std::string& key, const std::string& name,
                               std::uint32_t value) {
  RegValue* v = value_for_write(find(root, key, true), name);
  v->is_dword = true;
  v->text.clear();
  v->dword = value;
}

Error RegistryTree::delete_key(RegistryRoot root, const std::string& parent, const std::string& subkey) {
  std::vector<std::string> parts = key_parts(subkey);
  // An empty subkey would name the parent itself; never delete that by accident.
  if (parts.empty()) return Error::not_found;
  std::string holder = parent;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) holder += "\\" + parts[i];
  RegKey* k = find(root, holder, false);
  if (k == nullptr) return Error::not_found;
  auto it = std::find_if(k->children.begin(), k->children.end(),
                         [&](const RegKey& c) { return equal_nocase(c.name, parts.back()); });
  if (it == k->children.end()) return Error::not_found;
  k->children.erase(it);
  return Error::none;
}

void RegistryTree::read_value(RegistryRoot root, const std::string& key, const std::string& name,
                              Os::RegistryValue* value) {
  *value = Os::RegistryValue();
  RegKey* k = find(root, key, false);
  RegValue* v = k == nullptr ? nullptr : k->value(name);
  if (v == nullptr) return;
  using Type = Os::RegistryValue::Type;
  value->type = v->is_dword ? Type::dword : v->expandable ? Type::expandable_string : Type::string;
  value->text = v->text;
  value->dword = v->dword;
}

void RegistryTree::write_value(RegistryRoot root, const std::string& key, const std::string& name,
                               const Os::RegistryValue& value) {
  using Type = Os::RegistryValue::Type;
  if (value.type == Type::absent) {
    delete_value(root, key, name);
    return;
  }
  if (value.type == Type::dword) {
    write_dword(root, key, name, value.dword);
    return;
  }
  // The machine knows no other types: their bytes are kept as a string.
  write_string(root, key, name, value.text);
  find(root, key, false)->value(name)->expandable = value.type == Type::expandable_string;
}

Error RegistryTree::delete_value(RegistryRoot root, const std::string& key, const std::string& name) {
  RegKey* k = find(root, key, false);
  if (k == nullptr) return Error::not_found;
  auto it = std::find_if(k->values.begin(), k->values.end(),
                         [&](const RegValue& v) { return equal_nocase(v.name, name); });
  if (it == k->values.end()) return Error::not_found;
  k->values.erase(it);
  return Error::none;
}

bool RegistryTree::key_empty(RegistryRoot root, const std::string& key) {
  RegKey* k = find(root, key, false);
  return k != nullptr && k->values.empty() && k->children.empty();
}

// ---- Shortcuts

Error write_shortcut(Os& os, const Shortcut& shortcut) {
  Error error = Error::none;
  std::unique_ptr<File> file = os.open_file(shortcut.link_path, OpenMode::write, &error);
  if (!file) return error;
  std::string text = "[Shortcut]\r\nTarget=" + shortcut.target + "\r\nWorkingFolder=" + shortcut.working_folder +
                     "\r\nDescription=" + shortcut.description + "\r\n";
  return file->write(text.data(), text.size()) ? Error::none : Error::disk_full;
}

bool read_shortcut(Os& os, const std::string& link_path, Shortcut* shortcut) {
  std::unique_ptr<File> file = os.open_file(link_path, OpenMode::read);
  if (!file) return false;
  std::string text(static_cast<std::size_t>(std::min<std::uint64_t>(file->size(), 1 << 20)), '\0');
  text.resize(file->read(&text[0], text.size()));
  if (text.compare(0, 12, "[Shortcut]\r\n") != 0) return false;
  *shortcut = Shortcut();
  shortcut->link_path = link_path;
  std::size_t at = 12;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 2;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "Target") shortcut->target = value;
    else if (key == "WorkingFolder") shortcut->working_folder = value;
    else if (key == "Description") shortcut->description = value;
  }
  return true;
}

Error cancel_later_lines(std::vector<std::string>* log, const std::string& from) {
  const std::size_t before = log->size();
  log->erase(std::remove_if(log->begin(), log->end(),
                            [&](const std::string& line) {
                              return line == "later|" + from ||
                                     line.rfind("rename-later|" + from + "|", 0) == 0;
                            }),
             log->end());
  return log->size() < before ? Error::none : Error::not_found;
}

}  // namespace quill::os::simulated
