// The installer window settings dialog (template 118): the progress bar
// style chosen with two radios, the shrink check, and the previews that
// fill in step. Win32 side: render from the object at WM_INITDIALOG, send
// clicks to choose(), timer 0 (kPreviewMilliseconds) to tick() and set
// both bars to its result; "Save and close" hands result() to
// Editor::store_window_settings(); the close box drops it.
#pragma once

#include "builder/project/project.h"
#include "resources/quillset_resource.h"

namespace quill::editor {

enum WindowSettingsControl : int {
  kWsSaveAndClose = IDC_WS_SAVE,
  kWsStandardBar = IDC_WS_STANDARD_BAR,
  kWsSmoothBar = IDC_WS_SMOOTH_BAR,
  kWsStandardRadio = IDC_WS_STANDARD,
  kWsSmoothRadio = IDC_WS_SMOOTH,
  kWsShrink = IDC_WS_SHRINK,
};

constexpr int kPreviewMilliseconds = 50;

class WindowSettingsDialog {
 public:
  explicit WindowSettingsDialog(const project::WindowSettings& settings);
  bool checked(int control) const;
  // A click on 1171, 1172 or 1173 with the control's new state.
  void choose(int control, bool on);
  // One timer tick: the position both previews show (0 .. 100, then 0 again).
  int tick();
  const project::WindowSettings& result() const { return settings_; }

 private:
  project::WindowSettings settings_;
  int standard_counter_ = 0;
  int smooth_counter_ = 0;
};

}  // namespace quill::editor
