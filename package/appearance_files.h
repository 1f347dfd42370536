// How the installer looks: "installer_settings.txt" (the progress bar and
// the window's size during the install), "fullscreen.txt" (the background
// window) and the companion file of each background picture. The writers
// and the readers.
#pragma once

#include <cstdint>
#include <string>

#include "os/os.h"
#include "package/payload.h"

namespace quill::package {

constexpr int kFullscreenLineCount = 27;

// "installer_settings.txt".
struct InstallerSettings {
  int progress_style = 0;  // 0 plain bar, 1 smooth bar; other numbers read as 0
  bool shrink_during_install = false;  // line 2 begins with 't'
};
// With "\n" line ends; the style is written as the unsigned number it is.
std::string installer_settings_text(const InstallerSettings& settings);
bool read_installer_settings(os::Os& os, const std::string& path, InstallerSettings* settings);
// The same from the file's bytes held in memory.
void installer_settings_from_text(const std::string& bytes, InstallerSettings* settings);

// "fullscreen.txt": the background window. Colours are packed as
// red + green * 256 + blue * 65536; the file holds each part on a line of
// its own, and the reader clamps each part to 0..255.
struct FullscreenSettings {
  std::string text;
  bool title_bar = true;  // line 2 other than "without"
  int width = 0;          // below 1: the whole screen
  int height = 0;
  std::string font_face;
  int font_size = 0;
  int font_weight = 0;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  int char_set = 0;
  std::uint32_t alignment = 0;  // the text-drawing flag: 0 left, 1 centre, 2 right
  bool fade = false;            // the background fades from its colour to fade_colour
  bool shadow = false;
  int shadow_offset = 0;
  std::uint32_t text_colour = 0;
  std::uint32_t shadow_colour = 0;
  std::uint32_t background_colour = 0;
  std::uint32_t fade_colour = 0;
};
// With "\n" line ends.
std::string fullscreen_text(const FullscreenSettings& settings);
bool read_fullscreen_settings(os::Os& os, const std::string& path, FullscreenSettings* settings);
void fullscreen_settings_from_text(const std::string& bytes, FullscreenSettings* settings);

// A background picture's companion (picture path + ".txt"): placement, x, y,
// each a decimal number, of which the reader takes at most four characters.
// Missing lines read 0.
std::string background_companion_text(const BackgroundPicture& picture);
bool read_background_companion(os::Os& os, const std::string& path, BackgroundPicture* picture);
void background_companion_from_text(const std::string& bytes, BackgroundPicture* picture);

}  // namespace quill::package
