// Every project setting, one row each: the field that holds it, its lines in
// the project file's settings section, its command-line key with its kind
// and limits, and its help text. The project file, the command line's
// "set" and "show" and the builder's editor all walk this table; a new
// setting is a new row (plus the window control that shows it, if any).
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "builder/project/project.h"

namespace quill::project {

enum class SettingId {
  name,
  title,
  default_folder,
  try_path_first,
  registry_macro,
  welcome_file,
  licence_file,
  eoi_message,
  eoi_command,
  eoi_buttons,
  uninstaller,
  output,
  progress_bar,
  shrink_window,
  background,
  fullscreen_width,
  fullscreen_height,
  fullscreen_stretch,
  fullscreen_title_bar,
  fullscreen_text,
  fullscreen_colour,
  fullscreen_fade,
  fullscreen_fade_colour,
  fullscreen_text_colour,
  fullscreen_align,
  fullscreen_shadow,
  fullscreen_shadow_colour,
  fullscreen_shadow_offset,
  font_face,
  font_size,
  font_weight,
  font_italic,
  font_underline,
  font_strike_out,
  font_charset,
  install_scope,
  architecture,
  shortcuts_for,
  languages,
  package_identifier,
  licence_name,
  short_description,
  compression,
};

// A language list is a comma-separated list of codes of common/languages.h
// ("en,de,fr"), English always among them.
enum class SettingKind { text, path, flag, choice, number, colour, language_list };

// A field of the project's settings, reached from the project.
template <typename T>
struct SettingField {
  T& (*at)(Project&);
  const T& (*in)(const Project&);
};
// A choice may also be held by an enum, whose values are the choices' indexes.
using AnySettingField =
    std::variant<SettingField<std::string>, SettingField<bool>, SettingField<int>, SettingField<Colour>,
                 SettingField<Architecture>, SettingField<package::Scope>, SettingField<package::ShortcutFolders>, SettingField<package::Compression>,
                 SettingField<std::vector<std::string>>>;

// How a number read from the project file that lies outside the row's
// limits is taken.
enum class OutOfRange { kept, clamped, zeroed };

struct Setting {
  SettingId id;
  const char* key;  // the command line's name: "default-folder"
  SettingKind kind;
  const char* help;
  // The first line (1-based) of the settings section that holds it; a colour
  // takes three lines (red, green, blue), every other setting one.
  int line;
  AnySettingField field;
  // Held by a box, check or radio of the main window (the fields of
  // Settings); the others belong to the two appearance dialogs.
  bool main_window;
  std::vector<std::string> choices;  // flag: off, on; choice: the values by index
  int minimum = 0;                   // number: the values "set" takes
  int maximum = 0;
  OutOfRange loaded = OutOfRange::kept;
  // A flag or choice over a switch that holds the opposite of its first
  // choice ("fullscreen-title-bar" over without_title_bar).
  bool inverted = false;
  // A switch's two words in the project file, off then on; it reads as on
  // when the line starts with the on word's first letter.
  const char* file_words[2] = {"false", "true"};
  // A choice that the file holds as its word, the first choice as an empty
  // line (so that a file of the first choice saves as before the setting).
  bool choice_words = false;
};

// Every setting, in the order "show" lists them.
const std::vector<Setting>& settings_table();
const Setting& setting_row(SettingId id);
const Setting* find_setting(const std::string& key);

// The value as "show" prints it and "set" takes it: "on", "smooth",
// "#FF0000", a number, a text.
std::string setting_value(const Project& project, const Setting& row);
// Stores a value of that form, already checked against the row's kind and
// limits. Only the field changes (the uninstaller's file is the editor's),
// except that a default folder still at one scope's default follows the
// install scope to the other's.
void store_setting(Project& project, const Setting& row, const std::string& value);

// A colour as "#RRGGBB", and back from a text of that form.
std::string format_colour(Colour c);
Colour parse_colour(const std::string& text);

// The project file's settings section: 48 lines, of which line 20 names the
// uninstaller's file slot and every other belongs to a row. Files saved
// before lines 45 to 48 existed end after line 44 (or 47) and are complete.
constexpr int kSettingsLines = 48;
constexpr int kRequiredSettingsLines = 44;
constexpr int kUninstallerSlotLine = 20;
// Lines 49 to 52 (what a package tells deployment tools, and its
// compression) live in a section of their own after the settings
// (listing_section.h), present only when one of them holds a value.
constexpr int kListingFirstLine = 49;
constexpr int kAllSettingLines = 52;
int setting_line_count(const Setting& row);
// What the row's lines as a file holds them (from lines[0]) hold outside
// the row's limits, as "\"-5\" is not a number from 1 to 16384"; empty when
// nothing: a number outside minimum to maximum, a choice's index outside
// its choices, a colour's part outside 0 to 255.
std::string setting_lines_problem(const Setting& row, const std::string* lines);
// The row's lines as the file holds them, into lines[row.line - 1 ...].
void write_setting_lines(const Project& project, const Setting& row, std::string* lines);
// Reads the row from lines[row.line - 1 ...] when all of its lines are among
// the first `read` lines; otherwise the field keeps its value.
void read_setting_lines(Project& project, const Setting& row, const std::string* lines, int read);

}  // namespace quill::project
