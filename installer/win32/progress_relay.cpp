// The install's progress between its thread and its window.
#include "installer/win32/progress_relay.h"

#include <commctrl.h>

#include "installer/win32/wide_controls.h"
#include "installer/wizard.h"

namespace quill::installer::win32 {

void ProgressRelay::set_status(HWND window, const std::string& text) {
  EnterCriticalSection(&lock_);
  status_ = text;
  status_changed_ = true;
  LeaveCriticalSection(&lock_);
  post(window, installer::is_slow_phase_status(text));
}

void ProgressRelay::set_range(std::uint64_t total) {
  EnterCriticalSection(&lock_);
  total_ = total;
  progress_changed_ = true;
  LeaveCriticalSection(&lock_);
}

void ProgressRelay::set_position(HWND window, std::uint64_t done) {
  EnterCriticalSection(&lock_);
  done_ = done;
  progress_changed_ = true;
  LeaveCriticalSection(&lock_);
  post(window, false);
}

void ProgressRelay::post(HWND window, bool urgent) {
  if (pace_.due(GetTickCount(), urgent)) PostMessageW(window, kShowProgress, 0, 0);
}

void ProgressRelay::show(HWND target) {
  EnterCriticalSection(&lock_);
  const bool status_changed = status_changed_;
  const bool progress_changed = progress_changed_;
  const std::string status = status_;
  const std::uint64_t done = done_;
  const std::uint64_t total = total_;
  status_changed_ = progress_changed_ = false;
  LeaveCriticalSection(&lock_);
  if (status_changed) set_lines(target, control::status, status);
  if (progress_changed) {
    for (int id : {control::progress_plain, control::progress_smooth}) {
      SendDlgItemMessageW(target, id, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
      SendDlgItemMessageW(target, id, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    }
  }
}

}  // namespace quill::installer::win32
