// The builder's dialog controls addressed by identifier, through the wide
// (UTF-16) calls: the program's UTF-8 texts go in and come out unchanged,
// whatever the system's code page.
#pragma once

#include <windows.h>

#include <string>

#include "common/dialog_controls_win32.h"
#include "common/limits.h"
#include "os/win32_text.h"

namespace quill::ui::controls {

using dialog_controls::enable;
using dialog_controls::is_checked;
using dialog_controls::set_checked;
using dialog_controls::show;

inline void set_text(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, os::wide(text).c_str());
}

// The control's text, at most `max_length` UTF-16 units.
inline std::string get_text(HWND dialog, int id, int max_length = static_cast<int>(kMaxPathLength)) {
  std::wstring buffer(static_cast<std::size_t>(max_length) + 1, L'\0');
  UINT length = GetDlgItemTextW(dialog, id, &buffer[0], max_length + 1);
  buffer.resize(length);
  return os::narrow(buffer);
}

inline void set_window_text(HWND window, const std::string& text) {
  SetWindowTextW(window, os::wide(text).c_str());
}

// Sets a text only when it differs, so that a box being typed in keeps its
// caret and no change notice loops back.
inline void sync_text(HWND dialog, int id, const std::string& text) {
  if (get_text(dialog, id, 1024) != text) set_text(dialog, id, text);
}

// A list or combo box entry: its position (LB_ERR / CB_ERR on failure).
inline LRESULT add_string(HWND list, UINT message, const std::string& text) {
  const std::wstring wide = os::wide(text);
  return SendMessageW(list, message, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace quill::ui::controls
