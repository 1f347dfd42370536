// The installer window settings dialog's working copy.
#include "builder/editor/window_settings.h"

namespace quill::editor {

WindowSettingsDialog::WindowSettingsDialog(const project::WindowSettings& settings) : settings_(settings) {
  // Styles other than 0 and 1 are outside the format; the dialog offers the smooth bar for them.
  if (settings_.progress_style != 0) settings_.progress_style = 1;
}

bool WindowSettingsDialog::checked(int control) const {
  switch (control) {
    case kWsStandardRadio: return settings_.progress_style == 0;
    case kWsSmoothRadio: return settings_.progress_style == 1;
    case kWsShrink: return settings_.shrink_during_install;
    default: return false;
  }
}

void WindowSettingsDialog::choose(int control, bool on) {
  switch (control) {
    case kWsStandardRadio: if (on) settings_.progress_style = 0; break;
    case kWsSmoothRadio: if (on) settings_.progress_style = 1; break;
    case kWsShrink: settings_.shrink_during_install = on; break;
    default: break;
  }
}

int WindowSettingsDialog::tick() {
  // Two counters, one per preview, advanced together.
  standard_counter_ = standard_counter_ >= 100 ? 0 : standard_counter_ + 1;
  smooth_counter_ = smooth_counter_ >= 100 ? 0 : smooth_counter_ + 1;
  return standard_counter_;
}

}  // namespace quill::editor
