// Pacing of the wizard's progress updates.
#include "installer/progress_pace.h"

#include "installer/install_engine.h"
#include "installer/registration.h"

namespace quill::installer {

bool ProgressPace::due(std::uint32_t now, bool urgent) {
  if (!urgent && updated_ && now - last_ < interval_) return false;
  updated_ = true;
  last_ = now;
  return true;
}

bool is_slow_phase_status(const std::string& status) {
  return status == undoing_status() || status == creating_shortcuts_status();
}

}  // namespace quill::installer
