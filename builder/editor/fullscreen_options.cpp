// The fullscreen options dialog's working copy and rules.
#include "builder/editor/fullscreen_options.h"

#include <cstdlib>

#include "builder/editor/graphics_tab.h"
#include "common/limits.h"

namespace quill::editor {

using project::Colour;
using project::FontLines;

namespace text {
const char kFontCreationFailed[] = "Font creation failed!";
const char kFullscreenTitle[] = "Quillset - Fullscreen Options";
const char kWindowSettingsTitle[] = "Quillset - Installer Window Settings";
}  // namespace text

const Swatch kSwatches[4] = {
    {kFsBackgroundEdit, IDC_FS_BACKGROUND_SWATCH},
    {kFsFadeEdit, IDC_FS_FADE_SWATCH},
    {kFsFontColourEdit, IDC_FS_FONT_COLOUR_SWATCH},
    {kFsShadowColourEdit, IDC_FS_SHADOW_COLOUR_SWATCH},
};

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int mul_div(int a, int b, int c) {
  if (c == 0) return 0;
  long long p = static_cast<long long>(a) * b;
  long long q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
  return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}

int number(const std::string& text) { return std::atoi(text.c_str()); }

}  // namespace

LogicalFont logical_font(const FontLines& lines, int dpi) {
  LogicalFont font;
  font.height = -mul_div(number(lines.points), dpi, 72);
  font.weight = number(lines.weight);
  font.italic = number(lines.italic) != 0;
  font.underline = number(lines.underline) != 0;
  font.strike_out = number(lines.strike_out) != 0;
  font.charset = number(lines.charset);
  font.face = lines.face;
  return font;
}

FontLines font_lines(const LogicalFont& font, int dpi) {
  FontLines lines;
  lines.face = font.face;
  // A positive height is the cell height; either way the size in points
  // is what the author chose.
  lines.points = std::to_string(mul_div(font.height < 0 ? -font.height : font.height, 72, dpi));
  lines.weight = std::to_string(font.weight);
  lines.italic = font.italic ? "1" : "0";
  lines.underline = font.underline ? "1" : "0";
  lines.strike_out = font.strike_out ? "1" : "0";
  lines.charset = std::to_string(font.charset);
  return lines;
}

FullscreenOptionsDialog::FullscreenOptionsDialog(const project::FullscreenOptions& options, FontMaker& maker)
    : options_(options), maker_(maker) {
  // The dialog's own font: the project keeps only the description, so
  // nothing the dialog deletes is shared with anyone.
  font_ = maker_.create(options_.font);
}

FullscreenOptionsDialog::~FullscreenOptionsDialog() {
  if (font_) maker_.destroy(font_);
}

bool FullscreenOptionsDialog::checked(int control) const {
  switch (control) {
    case kFsStretch: return options_.stretch_to_desktop;
    case kFsFade: return options_.fade;
    case kFsNoTitleBar: return options_.without_title_bar;
    case kFsShadow: return options_.shadow;
    case kFsAlignLeft: return options_.alignment == 0;
    case kFsAlignCenter: return options_.alignment == 1;
    case kFsAlignRight: return options_.alignment != 0 && options_.alignment != 1;
    default: return false;
  }
}

void FullscreenOptionsDialog::set_checked(int control, bool on) {
  switch (control) {
    case kFsStretch: options_.stretch_to_desktop = on; break;
    case kFsFade: options_.fade = on; break;
    case kFsNoTitleBar: options_.without_title_bar = on; break;
    case kFsShadow: options_.shadow = on; break;
    case kFsAlignLeft: if (on) options_.alignment = 0; break;
    case kFsAlignCenter: if (on) options_.alignment = 1; break;
    case kFsAlignRight: if (on) options_.alignment = 2; break;
    default: break;
  }
}

bool FullscreenOptionsDialog::enabled(int control) const {
  switch (control) {
    case kFsWidth:
    case kFsHeight: return !options_.stretch_to_desktop;
    case kFsFadeEdit: return options_.fade;
    case kFsShadowTrack:
    case kFsShadowEdit:
    case kFsShadowColourEdit: return options_.shadow;
    default: return true;
  }
}

std::string FullscreenOptionsDialog::text(int control) const {
  switch (control) {
    case kFsWidth: return std::to_string(static_cast<unsigned>(options_.width));
    case kFsHeight: return std::to_string(static_cast<unsigned>(options_.height));
    case kFsText: return options_.text;
    case kFsShadowEdit: return std::to_string(options_.shadow_offset);
    case kFsFaceName: return options_.font.face;
    default: return std::string();
  }
}

void FullscreenOptionsDialog::set_text(int control, const std::string& text) {
  switch (control) {
    case kFsWidth: options_.width = static_cast<int>(leading_number(text)); break;
    case kFsHeight: options_.height = static_cast<int>(leading_number(text)); break;
    case kFsText: options_.text = text.substr(0, kMaxPathLength); break;
    default: break;
  }
}

Colour FullscreenOptionsDialog::colour(int button) const {
  switch (button) {
    case kFsBackgroundEdit: return options_.background_colour;
    case kFsFadeEdit: return options_.fade_colour;
    case kFsFontColourEdit: return options_.text_colour;
    case kFsShadowColourEdit: return options_.shadow_colour;
    default: return 0;
  }
}

void FullscreenOptionsDialog::set_colour(int button, Colour colour) {
  switch (button) {
    case kFsBackgroundEdit: options_.background_colour = colour; break;
    case kFsFadeEdit: options_.fade_colour = colour; break;
    case kFsFontColourEdit: options_.text_colour = colour; break;
    case kFsShadowColourEdit: options_.shadow_colour = colour; break;
    default: break;
  }
}

bool FullscreenOptionsDialog::choose_font(const FontLines& lines) {
  FontHandle made = maker_.create(lines);
  if (!made) return false;
  // The font it replaces was the dialog's own: delete it.
  if (font_) maker_.destroy(font_);
  font_ = made;
  options_.font = lines;
  return true;
}

bool FullscreenOptionsDialog::trackbar_moved(int position) {
  if (position == options_.shadow_offset) return false;
  options_.shadow_offset = position;
  return true;
}

int FullscreenOptionsDialog::shadow_edit_tick(const std::string& edit_text) {
  // Stored as typed: a shadow further than 10 pixels is the author's wish;
  // the trackbar shows it clamped.
  int typed = static_cast<int>(leading_number(edit_text));
  if (typed == options_.shadow_offset) return -1;
  options_.shadow_offset = typed;
  return typed < kShadowMin ? kShadowMin : typed > kShadowMax ? kShadowMax : typed;
}

}  // namespace quill::editor
