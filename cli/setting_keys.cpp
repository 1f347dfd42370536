// Settings from the command line: each value checked against its row of
// the settings table and turned into the row's own form.
#include "cli/setting_keys.h"

#include <cctype>
#include <cstdlib>

#include "builder/project/language_section.h"
#include "builder/project/package_listing.h"
#include "cli/edit_session.h"

namespace quill::cli {

using project::Setting;
using K = project::SettingKind;

namespace {

bool all_hex(const std::string& text) {
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string list(const std::vector<std::string>& choices) {
  std::string text;
  for (const std::string& c : choices) text += (text.empty() ? "" : "|") + c;
  return text;
}

}  // namespace

std::string parse_setting(EditSession& session, const Setting& key, const std::string& value) {
  const std::string name = key.key;
  const std::string what = "the value of " + name;
  switch (key.kind) {
    case K::text:
      check_line(what, value);
      if (key.id == project::SettingId::font_face && (value.empty() || value.size() > 31)) {
        throw Refused("a font face name has 1 to 31 characters");
      }
      if (key.id == project::SettingId::package_identifier && !value.empty() &&
          !project::is_package_identifier(value)) {
        throw Refused("a package identifier is two to eight parts joined by dots (Publisher.Name), each of 1 "
                      "to 32 characters without spaces or \\/:*?\"<>|");
      }
      return value;
    case K::path: {
      // A Windows path ("C:\...", "\\server\...") is kept as typed: the
      // project may be meant for a build on Windows.
      bool windows = (value.size() >= 2 && value[1] == ':') || value.compare(0, 2, "\\\\") == 0;
      std::string path = value.empty() || windows ? value : session.platform().os_path(value);
      check_line(what, path);
      return path;
    }
    case K::flag:
    case K::choice:
      for (const std::string& c : key.choices) {
        if (c == value) return value;
      }
      throw Refused(name + " takes " + list(key.choices) + ", not \"" + value + "\"");
    case K::number: {
      char* end = nullptr;
      long n = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || n < key.minimum || n > key.maximum) {
        throw Refused(name + " takes a number from " + std::to_string(key.minimum) + " to " +
                      std::to_string(key.maximum) + ", not \"" + value + "\"");
      }
      return std::to_string(n);
    }
    case K::colour:
      if (value.size() == 7 && value[0] == '#' && all_hex(value.substr(1))) {
        return project::format_colour(project::parse_colour(value));
      }
      throw Refused(name + " takes a colour as #RRGGBB, not \"" + value + "\"");
    case K::language_list: {
      std::vector<std::string> unknown;
      const std::vector<std::string> codes = project::parse_language_list(value, &unknown);
      if (!unknown.empty()) throw Refused("unknown language \"" + unknown[0] + "\" in " + name);
      return project::language_list_text(codes);
    }
  }
  return value;
}

void apply_window_setting(EditSession& session, const Setting& key, const std::string& value) {
  session.run([&] { session.editor().set_setting(key.id, value); });
}

}  // namespace quill::cli
