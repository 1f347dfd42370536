// The words in which every long operation reports to its front end: a status
// line, a progress range and position, and a poll for a cancel. The build,
// the extraction, the install and the removal each extend it with what only
// they ask; an operation that has no status or cannot be cancelled never
// calls that method, so its implementers may leave it alone.
#pragma once

#include <cstdint>
#include <string>

namespace quill {

class ProgressReport {
 public:
  virtual ~ProgressReport() = default;
  // The step the operation has reached, as one line of text.
  virtual void set_status(const std::string& text) { (void)text; }
  // The progress runs from 0 to `maximum`; a new range starts at 0.
  virtual void set_progress_range(std::uint64_t maximum) = 0;
  virtual void set_progress(std::uint64_t position) = 0;
  // Polled between units of work; true ends the operation as cancelled.
  virtual bool cancel_requested() { return false; }
};

}  // namespace quill
