// Installer data file readers and the start-up load of the installer's settings.
#include "package/data_files.h"

#include <algorithm>
#include <limits>

#include "common/lines.h"
#include "common/paths.h"
#include "common/text_file.h"

namespace quill::package {

namespace {

constexpr std::size_t kCompanionNumberLength = 4;

// Reads up to `count` lines; lines past the end of the file read as empty.
// False when the file cannot be opened.
bool read_lines(os::Os& os, const std::string& path, std::size_t count,
                std::vector<std::string>* lines) {
  lines->assign(count, std::string());
  LineReader reader(os, path);
  if (!reader.is_open()) return false;
  for (std::size_t i = 0; i < count && reader.next(&(*lines)[i]); ++i) {
  }
  return true;
}

int to_int(const std::string& text) {
  long value = parse_decimal(text);
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

std::uint32_t colour_part(const std::string& text) {
  long value = parse_decimal(text);
  return static_cast<std::uint32_t>(std::clamp(value, 0L, 255L));
}

std::uint32_t colour(const std::vector<std::string>& lines, std::size_t first) {
  return colour_part(lines[first]) + colour_part(lines[first + 1]) * 256u +
         colour_part(lines[first + 2]) * 65536u;
}

bool begins_with_t(const std::string& text) { return !text.empty() && text[0] == 't'; }

}  // namespace

bool read_whole_data_file(os::Os& os, const std::string& path, std::size_t max_bytes,
                          std::string* text) {
  text->clear();
  if (!os.file_status(path).exists) return false;
  if (!read_text_file(os, path, max_bytes, text)) {
    text->clear();
    return false;
  }
  return true;
}

std::vector<std::array<std::string, 4>> read_four_line_records(os::Os& os,
                                                               const std::string& path,
                                                               std::size_t max_records) {
  std::vector<std::array<std::string, 4>> records;
  LineReader reader(os, path);
  if (!reader.is_open()) return records;
  while (records.size() < max_records) {
    std::array<std::string, 4> record;
    bool complete = true;
    for (std::string& line : record) {
      if (!reader.next(&line)) {
        complete = false;
        break;
      }
    }
    if (!complete) return records;  // no terminating record: keep what is complete
    bool terminator = !record[3].empty() && record[3][0] == '/';
    records.push_back(std::move(record));
    if (terminator) {
      records.pop_back();
      return records;
    }
  }
  // The limit was met before the terminating record: the last one read is
  // dropped, as the terminator would have been.
  if (!records.empty()) records.pop_back();
  return records;
}

std::vector<MacroRecord> read_macro_records(os::Os& os, const std::string& path) {
  std::vector<MacroRecord> table;
  for (auto& lines : read_four_line_records(os, path, kMaxMacroRecords)) {
    table.push_back(MacroRecord{std::move(lines[0]), std::move(lines[1]), std::move(lines[2]),
                                std::move(lines[3])});
  }
  return table;
}

bool registered_name(const std::vector<MacroRecord>& table, std::string* name) {
  if (table.empty()) return false;
  *name = table.back().value;
  return true;
}

bool read_shortcut_records(os::Os& os, const std::string& path,
                           std::vector<ShortcutRecord>* records) {
  records->clear();
  if (!os.file_status(path).exists) return false;
  for (auto& lines :
       read_four_line_records(os, path, std::numeric_limits<std::size_t>::max())) {
    ShortcutRecord record;
    record.start_menu_folder = std::move(lines[0]);
    record.name = std::move(lines[1]);
    record.target = std::move(lines[2]);
    long location = parse_decimal(lines[3]);
    record.location = location >= 0 && location <= 2 ? static_cast<ShortcutLocation>(location)
                                                      : ShortcutLocation::none;
    records->push_back(std::move(record));
  }
  return true;
}

ShortcutLocations shortcut_locations(const std::vector<ShortcutRecord>& records) {
  ShortcutLocations locations;
  for (const ShortcutRecord& record : records) {
    switch (record.location) {
      case ShortcutLocation::desktop: locations.desktop = true; break;
      case ShortcutLocation::start_menu: locations.start_menu = true; break;
      case ShortcutLocation::quick_launch: locations.quick_launch = true; break;
      case ShortcutLocation::none: break;
    }
  }
  return locations;
}

bool read_install_folders(os::Os& os, const std::string& path, InstallFolders* folders) {
  std::vector<std::string> lines;
  *folders = InstallFolders();
  if (!read_lines(os, path, 2, &lines)) return false;
  folders->default_folder = lines[0];
  folders->preferred_folder = lines[1];
  return true;
}

bool read_installer_settings(os::Os& os, const std::string& path, InstallerSettings* settings) {
  std::vector<std::string> lines;
  *settings = InstallerSettings();
  if (!read_lines(os, path, 2, &lines)) return false;
  long style = parse_decimal(lines[0]);
  settings->progress_style = style == 1 ? 1 : 0;
  settings->small_window = begins_with_t(lines[1]);
  return true;
}

bool read_fullscreen_settings(os::Os& os, const std::string& path, FullscreenSettings* settings) {
  std::vector<std::string> lines;
  *settings = FullscreenSettings();
  if (!read_lines(os, path, kFullscreenLineCount, &lines)) return false;
  FullscreenSettings& s = *settings;
  s.text = lines[0];
  s.title_bar = lines[1] != "without";
  s.width = to_int(lines[2]);
  s.height = to_int(lines[3]);
  s.font_face = lines[4];
  s.font_size = to_int(lines[5]);
  s.font_weight = to_int(lines[6]);
  s.italic = parse_decimal(lines[7]) != 0;
  s.underline = parse_decimal(lines[8]) != 0;
  s.strike_out = parse_decimal(lines[9]) != 0;
  s.char_set = to_int(lines[10]);
  s.text_format = static_cast<std::uint32_t>(parse_decimal(lines[11]));
  s.gradient = begins_with_t(lines[12]);
  s.shadow = begins_with_t(lines[13]);
  s.shadow_offset = to_int(lines[14]);
  s.text_colour = colour(lines, 15);
  s.shadow_colour = colour(lines, 18);
  s.background_colour = colour(lines, 21);
  s.gradient_colour = colour(lines, 24);
  return true;
}

bool read_background_companion(os::Os& os, const std::string& path, BackgroundPicture* picture) {
  std::vector<std::string> lines;
  bool found = read_lines(os, path, 3, &lines);
  picture->placement = to_int(lines[0].substr(0, kCompanionNumberLength));
  picture->x = to_int(lines[1].substr(0, kCompanionNumberLength));
  picture->y = to_int(lines[2].substr(0, kCompanionNumberLength));
  return found;
}

FileInfoLine parse_file_info_line(const std::string& line) {
  std::size_t bar = line.find('|');
  if (bar == std::string::npos) return FileInfoLine{line, line};
  return FileInfoLine{line.substr(0, bar), line.substr(bar + 1)};
}

bool read_file_info(os::Os& os, const std::string& path, std::vector<FileInfoLine>* lines) {
  lines->clear();
  LineReader reader(os, path);
  if (!reader.is_open()) return false;
  std::string line;
  while (reader.next(&line) && !is_file_info_end(line)) {
    lines->push_back(parse_file_info_line(line));
  }
  return true;
}

std::string file_info_destination(const FileInfoLine& line) {
  std::string name = line.entry_name;
  if (!name.empty() && name[0] == '\\') name.erase(0, 1);
  return with_trailing_backslash(line.destination) + name;
}

void read_end_of_install(os::Os& os, const std::vector<MacroRecord>& table,
                         const std::string& install_folder, EndOfInstall* events) {
  const std::string folder = payload_folder(os);
  *events = EndOfInstall();
  expand_macros_in_file(os, table, folder + "eoi_file.txt", install_folder);
  read_whole_data_file(os, folder + "eoi_file.txt", kMaxEndOfInstallText, &events->command);
  expand_macros_in_file(os, table, folder + "eoi_message.txt", std::string());
  read_whole_data_file(os, folder + "eoi_message.txt", kMaxEndOfInstallText, &events->message);
  expand_macros_in_file(os, table, folder + "eoi_buttons.txt", std::string());
  std::string buttons;
  read_whole_data_file(os, folder + "eoi_buttons.txt", kMaxEndOfInstallText, &buttons);
  events->ok_box = !buttons.empty() && buttons[0] == 'O';
}

bool read_uninstaller_path(os::Os& os, const std::vector<MacroRecord>& table,
                           const std::string& install_folder, std::string* path) {
  const std::string file = payload_folder(os) + "uninstall.txt";
  expand_macros_in_file(os, table, file, install_folder);
  return read_whole_data_file(os, file, kMaxUninstallText, path);
}

void load_installer_data(os::Os& os, const PayloadScan& scan, InstallerData* data) {
  *data = InstallerData();
  const std::string folder = payload_folder(os);
  const std::string no_install_path;

  // Background companions were read when the payload was extracted.
  data->step_pictures = scan.step_pictures;
  data->background_pictures = scan.background_pictures;
  data->step6_picture_count = scan.step6_picture_count;
  data->install_entry_count = scan.install_entry_count;
  data->megabytes_needed = scan.megabytes_needed;

  if (os.file_status(folder + "font").exists) data->font_path = folder + "font";

  data->macros = read_macro_records(os, folder + "macros.txt");
  data->has_registered_name = registered_name(data->macros, &data->registered_name);

  auto expanded_text = [&](const char* name, std::size_t limit, std::string* text) {
    expand_macros_in_file(os, data->macros, folder + name, no_install_path);
    read_whole_data_file(os, folder + name, limit, text);
  };
  expanded_text("wt.txt", kMaxMainText, &data->welcome_text);
  expanded_text("tt.txt", kMaxMainText, &data->title);
  expanded_text("license.txt", kMaxMainText, &data->licence_text);

  expand_macros_in_file(os, data->macros, folder + "def_install.txt", no_install_path);
  read_install_folders(os, folder + "def_install.txt", &data->install_folders);

  // Only the locations are needed now; the records are expanded and read
  // again at install time.
  std::vector<ShortcutRecord> shortcuts;
  data->has_shortcuts = read_shortcut_records(os, folder + "shortcuts.txt", &shortcuts);
  data->shortcut_locations = shortcut_locations(shortcuts);

  read_installer_settings(os, folder + "installer_settings.txt", &data->settings);

  expand_macros_in_file(os, data->macros, folder + "fullscreen.txt", no_install_path);
  data->has_fullscreen =
      read_fullscreen_settings(os, folder + "fullscreen.txt", &data->fullscreen);
}

}  // namespace quill::package
