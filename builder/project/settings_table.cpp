// The settings table and the readings and writings that every row shares.
#include "builder/project/settings_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <type_traits>

#include "builder/project/field_rules.h"
#include "builder/project/language_section.h"
#include "common/paths.h"

namespace quill::project {

std::string format_colour(Colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", red_of(c), green_of(c), blue_of(c));
  return text;
}

Colour parse_colour(const std::string& text) {
  unsigned long rgb = std::strtoul(text.c_str() + 1, nullptr, 16);
  return make_colour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

namespace {

// The part of the project a settings struct is.
template <typename Part, typename P>
auto& part(P& project) {
  if constexpr (std::is_same_v<Part, Settings>) return project.settings();
  else if constexpr (std::is_same_v<Part, FullscreenOptions>) return project.fullscreen();
  else if constexpr (std::is_same_v<Part, FontLines>) return project.fullscreen().font;
  else return project.window_settings();
}

template <typename Part, typename T>
struct MemberOf {
  using part = Part;
  using type = T;
};
template <typename Part, typename T>
MemberOf<Part, T> member_of(T Part::*);

template <auto Member>
Setting row(SettingId id, const char* key, SettingKind kind, int line, const char* help) {
  using Info = decltype(member_of(Member));
  using T = typename Info::type;
  using Part = typename Info::part;
  SettingField<T> field{[](Project& p) -> T& { return part<Part>(p).*Member; },
                        [](const Project& p) -> const T& { return part<Part>(p).*Member; }};
  Setting s{};
  s.id = id;
  s.key = key;
  s.kind = kind;
  s.help = help;
  s.line = line;
  s.field = field;
  s.main_window = std::is_same_v<Part, Settings>;
  if (kind == SettingKind::flag) s.choices = {"off", "on"};
  return s;
}

Setting choice(Setting s, std::vector<std::string> choices) {
  s.choices = std::move(choices);
  s.loaded = OutOfRange::zeroed;
  return s;
}

Setting number(Setting s, int minimum, int maximum, OutOfRange loaded = OutOfRange::kept) {
  s.minimum = minimum;
  s.maximum = maximum;
  s.loaded = loaded;
  return s;
}

// The author edits the languages in a dialog of their own.
Setting languages_row(Setting s) {
  s.main_window = false;
  return s;
}

// Set from the command line only: no control of the window holds them.
Setting listing_row(Setting s) {
  s.main_window = false;
  return s;
}

Setting choice_words(Setting s) {
  s.choice_words = true;
  return s;
}

Setting inverted(Setting s) {
  s.inverted = true;
  return s;
}

std::vector<Setting> make_table() {
  using S = Settings;
  using F = FullscreenOptions;
  using L = FontLines;
  using W = WindowSettings;
  using I = SettingId;
  using K = SettingKind;
  Setting buttons = inverted(choice(row<&S::message_box_ok>(I::eoi_buttons, "eoi-buttons", K::choice, 10,
                                                            "buttons of that message"),
                                    {"ok", "yesno"}));
  buttons.file_words[0] = "YESNO";
  buttons.file_words[1] = "OK";
  return {
      row<&S::program_name>(I::name, "name", K::text, 3, "the program name, the value of %name%"),
      row<&S::title>(I::title, "title", K::text, 4, "the installer window's title"),
      row<&S::default_folder>(I::default_folder, "default-folder", K::text, 5, "the folder the installer offers"),
      row<&S::try_path_first>(I::try_path_first, "try-path-first", K::flag, 22,
                              "try the registry macro's folder first"),
      row<&S::preferred_folder>(I::registry_macro, "registry-macro", K::text, 21, "the macro tried first"),
      row<&S::welcome_file>(I::welcome_file, "welcome-file", K::path, 1, "text file of the welcome step"),
      row<&S::licence_file>(I::licence_file, "licence-file", K::path, 2, "text file of the licence step"),
      row<&S::eoi_message>(I::eoi_message, "eoi-message", K::text, 18, "message shown when the installation ends"),
      row<&S::eoi_command>(I::eoi_command, "eoi-command", K::text, 19,
                           "file or command started when the installation ends"),
      buttons,
      row<&S::include_uninstaller>(I::uninstaller, "uninstaller", K::flag, 9,
                                   "include the uninstaller as %install path%\\Uninstall.exe"),
      row<&S::output_path>(I::output, "output", K::path, 6, "where \"build\" writes the installer"),
      choice(row<&W::progress_style>(I::progress_bar, "progress-bar", K::choice, 8, "installer progress bar"),
             {"segmented", "smooth"}),
      row<&W::shrink_during_install>(I::shrink_window, "shrink-window", K::flag, 7,
                                     "shrink the installer window while installing"),
      row<&S::use_background_window>(I::background, "background", K::flag, 11,
                                     "show the fullscreen background window"),
      number(row<&F::width>(I::fullscreen_width, "fullscreen-width", K::number, 16, "background window width"), 1,
             16384),
      number(row<&F::height>(I::fullscreen_height, "fullscreen-height", K::number, 17, "background window height"),
             1, 16384),
      row<&F::stretch_to_desktop>(I::fullscreen_stretch, "fullscreen-stretch", K::flag, 12,
                                  "stretch the background window to the desktop"),
      inverted(row<&F::without_title_bar>(I::fullscreen_title_bar, "fullscreen-title-bar", K::flag, 13,
                                          "give the background window a title bar")),
      row<&F::text>(I::fullscreen_text, "fullscreen-text", K::text, 15, "text of the background window"),
      row<&F::background_colour>(I::fullscreen_colour, "fullscreen-colour", K::colour, 36, "background colour"),
      row<&F::fade>(I::fullscreen_fade, "fullscreen-fade", K::flag, 14, "fade to a second colour"),
      row<&F::fade_colour>(I::fullscreen_fade_colour, "fullscreen-fade-colour", K::colour, 39, "the second colour"),
      row<&F::text_colour>(I::fullscreen_text_colour, "fullscreen-text-colour", K::colour, 30, "text colour"),
      choice(row<&F::alignment>(I::fullscreen_align, "fullscreen-align", K::choice, 42, "text alignment"),
             {"left", "centre", "right"}),
      row<&F::shadow>(I::fullscreen_shadow, "fullscreen-shadow", K::flag, 43, "text shadow"),
      row<&F::shadow_colour>(I::fullscreen_shadow_colour, "fullscreen-shadow-colour", K::colour, 33,
                             "shadow colour"),
      number(row<&F::shadow_offset>(I::fullscreen_shadow_offset, "fullscreen-shadow-offset", K::number, 44,
                                    "shadow offset"),
             1, 10, OutOfRange::clamped),
      row<&L::face>(I::font_face, "font-face", K::text, 23, "font of the background window's text"),
      number(row<&L::points>(I::font_size, "font-size", K::number, 24, "in points"), 1, 1000),
      number(row<&L::weight>(I::font_weight, "font-weight", K::number, 25, "400 normal, 700 bold"), 0, 1000),
      row<&L::italic>(I::font_italic, "font-italic", K::flag, 26, "italic"),
      row<&L::underline>(I::font_underline, "font-underline", K::flag, 27, "underlined"),
      row<&L::strike_out>(I::font_strike_out, "font-strike-out", K::flag, 28, "struck out"),
      number(row<&L::charset>(I::font_charset, "font-charset", K::number, 29, "character set number"), 0, 255),
      choice(row<&S::install_scope>(I::install_scope, "install-scope", K::choice, 45,
                                    "machine: for every user, asks for administrator rights; user: for "
                                    "the user who runs it, without them"),
             {"machine", "user"}),
      choice(row<&S::architecture>(I::architecture, "architecture", K::choice, 46,
                                   "the Windows the package is made for"),
             {"x86", "x64"}),
      choice(row<&S::shortcuts_for>(I::shortcuts_for, "shortcuts-for", K::choice, 47,
                                    "whose desktop and start menu a machine-wide install's shortcuts go to"),
             {"all-users", "current-user"}),
      languages_row(row<&S::languages>(I::languages, "languages", K::language_list, 48,
                                       "the languages the installer speaks, as codes: en,de,fr,...")),
      listing_row(row<&S::package_identifier>(
          I::package_identifier, "package-identifier", K::text, 49,
          "identifier for deployment tools (Publisher.Name); empty: from %publisher% and name")),
      listing_row(row<&S::licence_name>(I::licence_name, "licence-name", K::text, 50,
                                        "licence's short name for deployment tools: MIT, ...")),
      listing_row(row<&S::short_description>(I::short_description, "short-description", K::text, 51,
                                             "what the program does, for deployment tools")),
      choice_words(listing_row(choice(row<&S::compression>(I::compression, "compression", K::choice, 52,
                                                           "how the package's files are compressed: deflate, "
                                                           "or lzma (smaller, small files together)"),
                                      {"deflate", "lzma"}))),
  };
}

long clamp(long value, long low, long high) { return std::max(low, std::min(high, value)); }

// --- The value in the command line's form, by field type.

// A font line that holds a switch: any number other than 0 is on.
std::string value_of(const Setting& row, const std::string& field) {
  return row.kind == SettingKind::flag ? row.choices[std::atoi(field.c_str()) != 0] : field;
}
std::string value_of(const Setting& row, const bool& field) { return row.choices[field != row.inverted]; }
std::string value_of(const Setting& row, const int& field) {
  if (row.kind == SettingKind::choice && field >= 0 && field < static_cast<int>(row.choices.size())) {
    return row.choices[field];
  }
  return std::to_string(field);
}
std::string value_of(const Setting&, const Colour& field) { return format_colour(field); }
std::string value_of(const Setting&, const std::vector<std::string>& field) {
  return language_list_text(field);
}
template <typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
std::string value_of(const Setting& row, const E& field) {
  return value_of(row, static_cast<int>(field));
}

void assign(const Setting& row, std::string& field, const std::string& value) {
  field = row.kind == SettingKind::flag ? (value == row.choices[1] ? "1" : "0") : value;
}
void assign(const Setting& row, bool& field, const std::string& value) {
  field = (value == row.choices[1]) != row.inverted;
}
void assign(const Setting& row, int& field, const std::string& value) {
  if (row.kind != SettingKind::choice) {
    field = std::atoi(value.c_str());
    return;
  }
  for (std::size_t i = 0; i < row.choices.size(); ++i) {
    if (row.choices[i] == value) field = static_cast<int>(i);
  }
}
void assign(const Setting&, Colour& field, const std::string& value) { field = parse_colour(value); }
void assign(const Setting&, std::vector<std::string>& field, const std::string& value) {
  field = parse_language_list(value);
}
template <typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
void assign(const Setting& row, E& field, const std::string& value) {
  int index = static_cast<int>(field);
  assign(row, index, value);
  field = static_cast<E>(index);
}

// --- The project file's lines, by field type.

void write(const Setting&, const std::string& field, std::string* lines) { lines[0] = field; }
void write(const Setting&, const std::vector<std::string>& field, std::string* lines) {
  lines[0] = language_list_text(field);
}
void write(const Setting& row, const bool& field, std::string* lines) { lines[0] = row.file_words[field]; }
void write(const Setting& row, const int& field, std::string* lines) {
  if (row.choice_words) {
    lines[0] = field > 0 && field < static_cast<int>(row.choices.size()) ? row.choices[field] : "";
    return;
  }
  lines[0] = std::to_string(field);
}
template <typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
void write(const Setting& row, const E& field, std::string* lines) {
  write(row, static_cast<int>(field), lines);
}
void write(const Setting&, const Colour& field, std::string* lines) {
  lines[0] = std::to_string(red_of(field));
  lines[1] = std::to_string(green_of(field));
  lines[2] = std::to_string(blue_of(field));
}

void read(const Setting&, std::string& field, const std::string* lines) { field = lines[0]; }
void read(const Setting&, std::vector<std::string>& field, const std::string* lines) {
  field = parse_language_list(lines[0]);
}
void read(const Setting& row, bool& field, const std::string* lines) {
  field = !lines[0].empty() && lines[0][0] == row.file_words[1][0];
}
void read(const Setting& row, int& field, const std::string* lines) {
  if (row.choice_words) {
    // An unknown word reads as the first choice.
    field = 0;
    for (std::size_t i = 1; i < row.choices.size(); ++i) {
      if (lines[0] == row.choices[i]) field = static_cast<int>(i);
    }
    return;
  }
  const long n = parse_decimal(lines[0]);
  switch (row.loaded) {
    case OutOfRange::kept: field = static_cast<int>(n); break;
    case OutOfRange::clamped: field = static_cast<int>(clamp(n, row.minimum, row.maximum)); break;
    // A choice's number outside its choices reads as the first choice.
    case OutOfRange::zeroed:
      field = n >= 0 && n < static_cast<long>(row.choices.size()) ? static_cast<int>(n) : 0;
      break;
  }
}
template <typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
void read(const Setting& row, E& field, const std::string* lines) {
  int index = 0;
  read(row, index, lines);
  field = static_cast<E>(index);
}
void read(const Setting&, Colour& field, const std::string* lines) {
  field = make_colour(static_cast<int>(clamp(parse_decimal(lines[0]), 0, 255)),
                      static_cast<int>(clamp(parse_decimal(lines[1]), 0, 255)),
                      static_cast<int>(clamp(parse_decimal(lines[2]), 0, 255)));
}

}  // namespace

const std::vector<Setting>& settings_table() {
  static const std::vector<Setting> table = make_table();
  return table;
}

const Setting& setting_row(SettingId id) {
  for (const Setting& row : settings_table()) {
    if (row.id == id) return row;
  }
  throw std::out_of_range("setting");
}

const Setting* find_setting(const std::string& key) {
  for (const Setting& row : settings_table()) {
    if (row.key == key) return &row;
  }
  return nullptr;
}

std::string setting_value(const Project& project, const Setting& row) {
  return std::visit([&](const auto& field) { return value_of(row, field.in(project)); }, row.field);
}

void store_setting(Project& project, const Setting& row, const std::string& value) {
  Settings& settings = project.settings();
  const package::Scope scope = settings.install_scope;
  std::visit([&](const auto& field) { assign(row, field.at(project), value); }, row.field);
  if (settings.install_scope != scope && settings.default_folder == package::default_folder_text(scope)) {
    settings.default_folder = package::default_folder_text(settings.install_scope);
  }
}

int setting_line_count(const Setting& row) { return row.kind == SettingKind::colour ? 3 : 1; }

std::string setting_lines_problem(const Setting& row, const std::string* lines) {
  switch (row.kind) {
    case SettingKind::number: {
      std::string problem = number_problem(lines[0], row.minimum, row.maximum);
      return problem.empty() ? problem : "\"" + lines[0] + "\" " + problem;
    }
    case SettingKind::choice: {
      // A choice held by a switch is a word.
      if (std::holds_alternative<SettingField<bool>>(row.field)) return std::string();
      std::string problem = number_problem(lines[0], 0, static_cast<long>(row.choices.size()) - 1);
      return problem.empty() ? problem : "\"" + lines[0] + "\" " + problem;
    }
    case SettingKind::colour:
      for (int i = 0; i < 3; ++i) {
        std::string problem = number_problem(lines[i], 0, 255);
        if (!problem.empty()) return "\"" + lines[i] + "\" (line " + std::to_string(i + 1) + " of 3) " + problem;
      }
      return std::string();
    default:
      return std::string();
  }
}

void write_setting_lines(const Project& project, const Setting& row, std::string* lines) {
  std::visit([&](const auto& field) { write(row, field.in(project), lines + row.line - 1); }, row.field);
}

void read_setting_lines(Project& project, const Setting& row, const std::string* lines, int read_count) {
  if (row.line + setting_line_count(row) - 1 > read_count) return;
  std::visit([&](const auto& field) { read(row, field.at(project), lines + row.line - 1); }, row.field);
}

}  // namespace quill::project
