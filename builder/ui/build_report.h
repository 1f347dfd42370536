// The build's reports as posted messages: the build thread never calls a
// window function of the main window's thread; it posts these, and the main
// window shows them. Warnings reach the editor instead, which lists them
// when the build has ended (Editor::build_finished).
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "builder/project/build.h"

namespace quill::ui {

// Posted to the main window. A text travels as a heap string that the
// receiver takes over (take_posted_text).
enum : UINT {
  kBuildStatusMessage = WM_APP + 1,    // lParam: text
  kBuildRangeMessage = WM_APP + 2,     // wParam: upper end of the range
  kBuildPositionMessage = WM_APP + 3,  // wParam: position
  kBuildEndMessage = WM_APP + 5,       // wParam: project::BuildOutcome
};

std::string take_posted_text(LPARAM lparam);

class PostedBuildReport : public project::BuildReport {
 public:
  explicit PostedBuildReport(HWND window) : window_(window) {}
  void set_status(const std::string& text) override;
  // Progress bars count in ints: large ranges are scaled down by a shift.
  void set_progress_range(std::uint64_t maximum) override;
  void set_progress(std::uint64_t position) override;
  void finished(project::BuildOutcome outcome);

 private:
  void post_text(UINT message, const std::string& text);
  HWND window_;
  std::atomic<int> shift_{0};
};

}  // namespace quill::ui
