// The settings table: each key with its kind, its reader and its writer.
#include "cli/setting_keys.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "builder/editor/controls.h"
#include "cli/edit_session.h"

namespace quill::cli {

using project::Project;
using K = SettingKey;

namespace {

std::string on_off(bool on) { return on ? "on" : "off"; }

std::string colour_text(project::Colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", project::red_of(c), project::green_of(c),
                project::blue_of(c));
  return text;
}

project::Colour colour_value(const std::string& text) {
  unsigned long rgb = std::strtoul(text.c_str() + 1, nullptr, 16);
  return project::make_colour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A font line that holds a switch: any number other than 0 is on.
std::string font_flag(const std::string& line) { return on_off(std::atoi(line.c_str()) != 0); }

K text_key(const char* name, int control, const char* help, std::string project::Settings::*field,
           K::Kind kind = K::text) {
  K k;
  k.name = name;
  k.kind = kind;
  k.help = help;
  k.control = control;
  k.get = [field](const Project& p) { return p.settings().*field; };
  return k;
}

K flag_key(const char* name, const char* help, std::function<bool(const Project&)> get,
           std::function<void(Project&, bool)> put, int control = 0) {
  K k;
  k.name = name;
  k.kind = K::flag;
  k.help = help;
  k.choices = {"off", "on"};
  k.control = control;
  k.get = [get](const Project& p) { return on_off(get(p)); };
  if (put) k.put = [put](Project& p, const std::string& v) { put(p, v == "on"); };
  return k;
}

K number_key(const char* name, const char* help, int minimum, int maximum,
             std::function<std::string(const Project&)> get,
             std::function<void(Project&, const std::string&)> put) {
  K k;
  k.name = name;
  k.kind = K::number;
  k.help = help;
  k.minimum = minimum;
  k.maximum = maximum;
  k.get = std::move(get);
  k.put = std::move(put);
  return k;
}

K choice_key(const char* name, const char* help, std::vector<std::string> choices,
             std::function<int(const Project&)> get, std::function<void(Project&, int)> put) {
  K k;
  k.name = name;
  k.kind = K::choice;
  k.help = help;
  k.choices = choices;
  k.get = [get, choices](const Project& p) {
    int i = get(p);
    return i >= 0 && i < static_cast<int>(choices.size()) ? choices[i] : std::to_string(i);
  };
  k.put = [put, choices](Project& p, const std::string& v) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
      if (choices[i] == v) put(p, static_cast<int>(i));
    }
  };
  return k;
}

K colour_key(const char* name, const char* help, project::Colour project::FullscreenOptions::*field) {
  K k;
  k.name = name;
  k.kind = K::colour;
  k.help = help;
  k.get = [field](const Project& p) { return colour_text(p.fullscreen().*field); };
  k.put = [field](Project& p, const std::string& v) { p.fullscreen().*field = colour_value(v); };
  return k;
}

K font_key(const char* name, const char* help, std::string project::FontLines::*line, int minimum,
           int maximum) {
  return number_key(
      name, help, minimum, maximum, [line](const Project& p) { return p.fullscreen().font.*line; },
      [line](Project& p, const std::string& v) { p.fullscreen().font.*line = v; });
}

K font_flag_key(const char* name, const char* help, std::string project::FontLines::*line) {
  K k = flag_key(name, help, nullptr, nullptr);
  k.get = [line](const Project& p) { return font_flag(p.fullscreen().font.*line); };
  k.put = [line](Project& p, const std::string& v) { p.fullscreen().font.*line = v == "on" ? "1" : "0"; };
  return k;
}

std::vector<SettingKey> make_keys() {
  using S = project::Settings;
  using F = project::FullscreenOptions;
  using namespace editor;
  std::vector<K> keys;
  keys.push_back(text_key("name", kProgramName, "the program name, the value of %name%", &S::program_name));
  keys.push_back(text_key("title", kTitleText, "the installer window's title", &S::title));
  keys.push_back(text_key("default-folder", kDefaultFolder, "the folder the installer offers",
                          &S::default_install_folder));
  keys.push_back(flag_key(
      "try-path-first", "try the registry macro's folder first",
      [](const Project& p) { return p.settings().try_path_first; }, nullptr, kTryPathFirst));
  keys.push_back(text_key("registry-macro", kRegistryMacro, "the macro tried first", &S::preferred_folder));
  keys.push_back(text_key("welcome-file", kWelcomeFile, "text file of the welcome step",
                          &S::welcome_file, K::path));
  keys.push_back(text_key("licence-file", kLicenceFile, "text file of the licence step",
                          &S::licence_file, K::path));
  keys.push_back(text_key("eoi-message", kEoiMessage, "message shown when the installation ends",
                          &S::eoi_message));
  keys.push_back(text_key("eoi-command", kEoiFile, "file or command started when the installation ends",
                          &S::eoi_file));
  K buttons = choice_key(
      "eoi-buttons", "buttons of that message", {"ok", "yesno"},
      [](const Project& p) { return p.settings().message_box_ok ? 0 : 1; }, nullptr);
  buttons.put = nullptr;
  buttons.control = kMessageOk;
  keys.push_back(buttons);
  keys.push_back(flag_key(
      "uninstaller", "include the uninstaller as %install path%\\Uninstall.exe",
      [](const Project& p) { return p.settings().include_uninstaller; }, nullptr, kIncludeUninstaller));
  keys.push_back(text_key("output", kOutputPath, "where \"build\" writes the installer", &S::output_path,
                          K::path));
  keys.push_back(choice_key(
      "progress-bar", "installer progress bar", {"segmented", "smooth"},
      [](const Project& p) { return p.window_settings().progress_style; },
      [](Project& p, int v) { p.window_settings().progress_style = v; }));
  keys.push_back(flag_key(
      "shrink-window", "shrink the installer window while installing",
      [](const Project& p) { return p.window_settings().shrink_during_install; },
      [](Project& p, bool v) { p.window_settings().shrink_during_install = v; }));
  keys.push_back(flag_key(
      "background", "show the fullscreen background window",
      [](const Project& p) { return p.settings().use_background_window; }, nullptr, kUseBackground));
  keys.push_back(number_key(
      "fullscreen-width", "background window width", 1, 16384,
      [](const Project& p) { return std::to_string(p.fullscreen().width); },
      [](Project& p, const std::string& v) { p.fullscreen().width = std::atoi(v.c_str()); }));
  keys.push_back(number_key(
      "fullscreen-height", "background window height", 1, 16384,
      [](const Project& p) { return std::to_string(p.fullscreen().height); },
      [](Project& p, const std::string& v) { p.fullscreen().height = std::atoi(v.c_str()); }));
  keys.push_back(flag_key(
      "fullscreen-stretch", "stretch the background window to the desktop",
      [](const Project& p) { return p.fullscreen().stretch_to_desktop; },
      [](Project& p, bool v) { p.fullscreen().stretch_to_desktop = v; }));
  keys.push_back(flag_key(
      "fullscreen-title-bar", "give the background window a title bar",
      [](const Project& p) { return !p.fullscreen().without_title_bar; },
      [](Project& p, bool v) { p.fullscreen().without_title_bar = !v; }));
  K text;
  text.name = "fullscreen-text";
  text.help = "text of the background window";
  text.get = [](const Project& p) { return p.fullscreen().text; };
  text.put = [](Project& p, const std::string& v) { p.fullscreen().text = v; };
  keys.push_back(text);
  keys.push_back(colour_key("fullscreen-colour", "background colour", &F::background_colour));
  keys.push_back(flag_key(
      "fullscreen-fade", "fade to a second colour", [](const Project& p) { return p.fullscreen().fade; },
      [](Project& p, bool v) { p.fullscreen().fade = v; }));
  keys.push_back(colour_key("fullscreen-fade-colour", "the second colour", &F::fade_colour));
  keys.push_back(colour_key("fullscreen-text-colour", "text colour", &F::text_colour));
  keys.push_back(choice_key(
      "fullscreen-align", "text alignment", {"left", "centre", "right"},
      [](const Project& p) { return p.fullscreen().alignment; },
      [](Project& p, int v) { p.fullscreen().alignment = v; }));
  keys.push_back(flag_key(
      "fullscreen-shadow", "text shadow", [](const Project& p) { return p.fullscreen().shadow; },
      [](Project& p, bool v) { p.fullscreen().shadow = v; }));
  keys.push_back(colour_key("fullscreen-shadow-colour", "shadow colour", &F::shadow_colour));
  keys.push_back(number_key(
      "fullscreen-shadow-offset", "shadow offset", 1, 10,
      [](const Project& p) { return std::to_string(p.fullscreen().shadow_offset); },
      [](Project& p, const std::string& v) { p.fullscreen().shadow_offset = std::atoi(v.c_str()); }));
  K face;
  face.name = "font-face";
  face.help = "font of the background window's text";
  face.get = [](const Project& p) { return p.fullscreen().font.face; };
  face.put = [](Project& p, const std::string& v) { p.fullscreen().font.face = v; };
  keys.push_back(face);
  keys.push_back(font_key("font-size", "in points", &project::FontLines::points, 1, 1000));
  keys.push_back(font_key("font-weight", "400 normal, 700 bold", &project::FontLines::weight, 0, 1000));
  keys.push_back(font_flag_key("font-italic", "italic", &project::FontLines::italic));
  keys.push_back(font_flag_key("font-underline", "underlined", &project::FontLines::underline));
  keys.push_back(font_flag_key("font-strike-out", "struck out", &project::FontLines::strike_out));
  keys.push_back(font_key("font-charset", "character set number", &project::FontLines::charset, 0, 255));
  return keys;
}

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

const std::vector<SettingKey>& setting_keys() {
  static const std::vector<SettingKey> keys = make_keys();
  return keys;
}

const SettingKey* find_setting_key(const std::string& name) {
  for (const SettingKey& key : setting_keys()) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

std::string parse_setting(EditSession& session, const SettingKey& key, const std::string& value) {
  const std::string what = "the value of " + key.name;
  switch (key.kind) {
    case K::text:
      check_line(what, value);
      if (key.name == "font-face" && (value.empty() || value.size() > 31)) {
        throw Refused("a font face name has 1 to 31 characters");
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
      throw Refused(key.name + " takes " + list(key.choices) + ", not \"" + value + "\"");
    case K::number: {
      char* end = nullptr;
      long n = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || n < key.minimum || n > key.maximum) {
        throw Refused(key.name + " takes a number from " + std::to_string(key.minimum) + " to " +
                      std::to_string(key.maximum) + ", not \"" + value + "\"");
      }
      return std::to_string(n);
    }
    case K::colour:
      if (value.size() == 7 && value[0] == '#' && all_hex(value.substr(1))) {
        return colour_text(colour_value(value));
      }
      throw Refused(key.name + " takes a colour as #RRGGBB, not \"" + value + "\"");
  }
  return value;
}

void apply_window_setting(EditSession& session, const SettingKey& key, const std::string& value) {
  editor::Editor& e = session.editor();
  session.run([&] {
    if (key.name == "eoi-buttons") {
      e.set_checked(value == "ok" ? editor::kMessageOk : editor::kMessageYesNo, true);
    } else if (key.kind == K::flag) {
      e.set_checked(key.control, value == "on");
    } else {
      e.set_control_text(key.control, value);
    }
  });
}

void apply_dialog_setting(project::Project& model, const SettingKey& key, const std::string& value) {
  key.put(model, value);
}

}  // namespace quill::cli
