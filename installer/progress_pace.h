// When the install thread brings the wizard's progress up to date. A window
// update per file would cost more than writing the file, so an update waits
// until an interval has passed since the last; an urgent one (a question, the
// end of the run, the slow phases after the files) goes at once.
#pragma once

#include <cstdint>
#include <string>

namespace quill::installer {

class ProgressPace {
 public:
  explicit ProgressPace(std::uint32_t interval_ms = 50) : interval_(interval_ms) {}
  // True when an update is due at `now`, a millisecond tick count that may
  // wrap around; a due update counts as made.
  bool due(std::uint32_t now, bool urgent);

 private:
  std::uint32_t interval_;
  bool updated_ = false;
  std::uint32_t last_ = 0;
};

// True for the status of a phase after the files (undoing, shortcuts), which
// may take a while and is shown at once.
bool is_slow_phase_status(const std::string& status);

}  // namespace quill::installer
