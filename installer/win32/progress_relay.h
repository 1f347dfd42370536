// The install thread's progress on its way to a window, shared by the
// wizard (and its small window) and the "/PASSIVE" window. The thread keeps
// the latest status and position here and posts kShowProgress to the
// window when the pace allows (installer/progress_pace.h); the window's
// thread shows the latest state. A window update per file would cost more
// than writing the file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "installer/progress_pace.h"

namespace quill::installer::win32 {

// Posted to the window that shows the progress.
constexpr UINT kShowProgress = WM_APP + 3;

class ProgressRelay {
 public:
  ProgressRelay() { InitializeCriticalSection(&lock_); }
  ~ProgressRelay() { DeleteCriticalSection(&lock_); }
  ProgressRelay(const ProgressRelay&) = delete;
  ProgressRelay& operator=(const ProgressRelay&) = delete;

  // Install thread. The status of a slow phase goes at once; a new range
  // waits for its first position, which posts.
  void set_status(HWND window, const std::string& text);
  void set_range(std::uint64_t total);
  void set_position(HWND window, std::uint64_t done);
  // Posts kShowProgress to `window` when due, or at once when `urgent`.
  void post(HWND window, bool urgent);

  // Window thread: the latest state into `target`'s status line and both
  // progress bars, what changed since the last time.
  void show(HWND target);

 private:
  CRITICAL_SECTION lock_;
  std::string status_;
  bool status_changed_ = false;
  std::uint64_t done_ = 0;
  std::uint64_t total_ = 0;
  bool progress_changed_ = false;
  ProgressPace pace_;  // install thread only
};

}  // namespace quill::installer::win32
