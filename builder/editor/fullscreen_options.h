// The fullscreen options dialog (template 111): a working copy of the
// project's background window settings, the rules that enable its
// controls, the shadow position kept in step between trackbar and edit,
// and the font the dialog owns while it is open.
//
// Win32 side: WM_INITDIALOG builds a FullscreenOptionsDialog from
// Editor::project().fullscreen() and a FontMaker over CreateFontIndirectW /
// DeleteObject, and renders every control from it. Clicks on checks and
// radios go to set_checked() and the enabled states are rendered again; the
// four colour buttons and the font button go to set_colour() / choose_font();
// trackbar notices to trackbar_moved(), timer 0 to shadow_edit_tick().
// "Save and close" stores the texts with set_text() and hands result() to
// Editor::store_fullscreen(); the close box drops the dialog. Destroying the
// dialog object deletes the font it owns.
#pragma once

#include <cstdint>
#include <string>

#include "builder/project/project.h"
#include "resources/quillset_resource.h"

namespace quill::editor {

enum FullscreenControl : int {
  kFsWidth = IDC_FS_WIDTH,
  kFsHeight = IDC_FS_HEIGHT,
  kFsStretch = IDC_FS_STRETCH,
  kFsNoTitleBar = IDC_FS_NO_TITLE_BAR,
  kFsSaveAndClose = IDC_FS_SAVE,
  kFsText = IDC_FS_TEXT,
  kFsBackgroundEdit = IDC_FS_BACKGROUND_EDIT,
  kFsFadeEdit = IDC_FS_FADE_EDIT,
  kFsFade = IDC_FS_FADE,
  kFsFontColourEdit = IDC_FS_FONT_COLOUR_EDIT,
  kFsSwatch = IDC_FS_SWATCH,  // the hidden "Color" label
  kFsFontEdit = IDC_FS_FONT_EDIT,
  kFsFaceName = IDC_FS_FACE,
  kFsAlignLeft = IDC_FS_ALIGN_LEFT,
  kFsAlignCenter = IDC_FS_ALIGN_CENTER,
  kFsAlignRight = IDC_FS_ALIGN_RIGHT,
  kFsShadow = IDC_FS_SHADOW,
  kFsShadowTrack = IDC_FS_SHADOW_TRACK,
  kFsShadowEdit = IDC_FS_SHADOW_EDIT,
  kFsShadowColourEdit = IDC_FS_SHADOW_COLOUR_EDIT,
};

// Timer 0 of the dialog: the trackbar follows the shadow edit.
constexpr int kFsTimerMilliseconds = 100;
constexpr int kShadowMin = 1;
constexpr int kShadowMax = 10;

// Each colour button and the owner-drawn control that shows its colour.
struct Swatch {
  int button;
  int control;
};
extern const Swatch kSwatches[4];

// The font the working copy holds, as the system's handle; 0: none.
using FontHandle = std::uintptr_t;

class FontMaker {
 public:
  virtual ~FontMaker() = default;
  // 0 when no font could be made from the lines.
  virtual FontHandle create(const project::FontLines& lines) = 0;
  virtual void destroy(FontHandle font) = 0;
};

// A font described the way the system's font records describe one, with
// the height in pixels for a given screen resolution.
struct LogicalFont {
  int height = 0;  // negative: character height
  int weight = 400;
  bool italic = false, underline = false, strike_out = false;
  int charset = 0;
  std::string face;
};
// The lines' point size becomes -(points * dpi / 72), rounded.
LogicalFont logical_font(const project::FontLines& lines, int dpi);
project::FontLines font_lines(const LogicalFont& font, int dpi);

class FullscreenOptionsDialog {
 public:
  FullscreenOptionsDialog(const project::FullscreenOptions& options, FontMaker& maker);
  ~FullscreenOptionsDialog();
  FullscreenOptionsDialog(const FullscreenOptionsDialog&) = delete;
  FullscreenOptionsDialog& operator=(const FullscreenOptionsDialog&) = delete;

  // Checks 1116, 1132, 1117, 1140 and the radios 1137 to 1139.
  bool checked(int control) const;
  void set_checked(int control, bool on);
  bool enabled(int control) const;
  // 1114, 1115, 1120 and 1142 as numbers or text.
  std::string text(int control) const;
  void set_text(int control, const std::string& text);

  // The working colour of an "Edit" button (1128, 1131, 1133, 1143).
  project::Colour colour(int button) const;
  void set_colour(int button, project::Colour colour);

  // The font dialog chose `lines`: false when no font could be made of
  // them ("Font creation failed!"), the working font then stays.
  bool choose_font(const project::FontLines& lines);
  const project::FontLines& font() const { return options_.font; }
  FontHandle font_handle() const { return font_; }

  // The trackbar reports `position`: true when 1142 must show it.
  bool trackbar_moved(int position);
  // Timer 0 with the text of 1142: the position the trackbar must move
  // to, or -1 when the number did not change.
  int shadow_edit_tick(const std::string& edit_text);
  int shadow_position() const { return options_.shadow_offset; }

  // Everything the dialog shows, as "Save and close" stores it.
  const project::FullscreenOptions& result() const { return options_; }

 private:
  project::FullscreenOptions options_;
  FontMaker& maker_;
  FontHandle font_ = 0;
};

namespace text {
extern const char kFontCreationFailed[];
extern const char kFullscreenTitle[];     // "Quillset - Fullscreen Options"
extern const char kWindowSettingsTitle[];  // "Quillset - Installer Window Settings"
}  // namespace text

}  // namespace quill::editor
