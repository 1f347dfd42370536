// The installer's appearance files.
#include "package/appearance_files.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "common/lines.h"
#include "common/paths.h"

namespace quill::package {

namespace {

constexpr std::size_t kCompanionNumberLength = 4;

void line(std::string& out, const std::string& text) {
  out += text;
  out += '\n';
}

void line(std::string& out, long number) { line(out, std::to_string(number)); }

const char* true_false(bool value) { return value ? "true" : "false"; }

bool begins_with_t(const std::string& text) { return !text.empty() && text[0] == 't'; }

// Reads up to `count` lines; lines past the end of the file read as empty.
// False when the file cannot be opened.
bool read_lines(LineReader&& reader, std::size_t count, std::vector<std::string>* lines) {
  lines->assign(count, std::string());
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

void colour_lines(std::string& out, std::uint32_t colour) {
  line(out, static_cast<long>(colour & 0xFF));
  line(out, static_cast<long>((colour >> 8) & 0xFF));
  line(out, static_cast<long>((colour >> 16) & 0xFF));
}

}  // namespace

std::string installer_settings_text(const InstallerSettings& settings) {
  return std::to_string(static_cast<unsigned>(settings.progress_style)) + "\n" +
         true_false(settings.shrink_during_install);
}

namespace {

bool installer_settings(LineReader&& reader, InstallerSettings* settings) {
  std::vector<std::string> lines;
  *settings = InstallerSettings();
  if (!read_lines(std::move(reader), 2, &lines)) return false;
  long style = parse_decimal(lines[0]);
  settings->progress_style = style == 1 ? 1 : 0;
  settings->shrink_during_install = begins_with_t(lines[1]);
  return true;
}

}  // namespace

bool read_installer_settings(os::Os& os, const std::string& path, InstallerSettings* settings) {
  return installer_settings(LineReader(os, path), settings);
}

void installer_settings_from_text(const std::string& bytes, InstallerSettings* settings) {
  installer_settings(LineReader(bytes), settings);
}

std::string fullscreen_text(const FullscreenSettings& s) {
  std::string out;
  line(out, s.text);
  line(out, s.title_bar ? "with" : "without");
  for (long number : {long{s.width}, long{s.height}}) line(out, number);
  line(out, s.font_face);
  // The reader keeps the alignment flag's bits; it is written as the number
  // it was given.
  for (long number : {long{s.font_size}, long{s.font_weight}, long{s.italic}, long{s.underline},
                      long{s.strike_out}, long{s.char_set},
                      long{static_cast<std::int32_t>(s.alignment)}}) {
    line(out, number);
  }
  for (bool flag : {s.fade, s.shadow}) line(out, true_false(flag));
  line(out, s.shadow_offset);
  for (std::uint32_t c : {s.text_colour, s.shadow_colour, s.background_colour, s.fade_colour}) {
    colour_lines(out, c);
  }
  return out;
}

namespace {

bool fullscreen_settings(LineReader&& reader, FullscreenSettings* settings) {
  std::vector<std::string> lines;
  *settings = FullscreenSettings();
  if (!read_lines(std::move(reader), kFullscreenLineCount, &lines)) return false;
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
  s.alignment = static_cast<std::uint32_t>(parse_decimal(lines[11]));
  s.fade = begins_with_t(lines[12]);
  s.shadow = begins_with_t(lines[13]);
  s.shadow_offset = to_int(lines[14]);
  s.text_colour = colour(lines, 15);
  s.shadow_colour = colour(lines, 18);
  s.background_colour = colour(lines, 21);
  s.fade_colour = colour(lines, 24);
  return true;
}

}  // namespace

bool read_fullscreen_settings(os::Os& os, const std::string& path, FullscreenSettings* settings) {
  return fullscreen_settings(LineReader(os, path), settings);
}

void fullscreen_settings_from_text(const std::string& bytes, FullscreenSettings* settings) {
  fullscreen_settings(LineReader(bytes), settings);
}

std::string background_companion_text(const BackgroundPicture& picture) {
  std::string out;
  line(out, picture.placement);
  line(out, picture.x);
  line(out, picture.y);
  return out;
}

namespace {

bool background_companion(LineReader&& reader, BackgroundPicture* picture) {
  std::vector<std::string> lines;
  bool found = read_lines(std::move(reader), 3, &lines);
  picture->placement = to_int(lines[0].substr(0, kCompanionNumberLength));
  picture->x = to_int(lines[1].substr(0, kCompanionNumberLength));
  picture->y = to_int(lines[2].substr(0, kCompanionNumberLength));
  return found;
}

}  // namespace

bool read_background_companion(os::Os& os, const std::string& path, BackgroundPicture* picture) {
  return background_companion(LineReader(os, path), picture);
}

void background_companion_from_text(const std::string& bytes, BackgroundPicture* picture) {
  background_companion(LineReader(bytes), picture);
}

}  // namespace quill::package
