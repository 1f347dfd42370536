// Thin wrappers over dialog controls, addressed by identifier, for the
// Win32 programs' dialog procedures. Texts are UTF-8 here and UTF-16 in the
// controls.
#pragma once

#include <windows.h>

#include <string>

#include "common/limits.h"
#include "common/text_file.h"
#include "os/win32_text.h"

namespace quill::dialog_controls {

inline void set_text(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, os::wide(text).c_str());
}

// Texts in memory end their lines with LF; multi-line controls and message
// boxes want CR LF.
inline std::string to_control_text(const std::string& text) { return crlf_line_ends(text); }
inline void set_lines(HWND dialog, int id, const std::string& text) {
  set_text(dialog, id, to_control_text(text));
}

inline void set_window_text(HWND window, const std::string& text) {
  SetWindowTextW(window, os::wide(text).c_str());
}

// The control's text, at most `max_length` UTF-16 characters (the
// programs' boxes hold at most 259).
inline std::string get_text(HWND dialog, int id, int max_length = static_cast<int>(kMaxPathLength)) {
  quill::os::WideString buffer(static_cast<std::size_t>(max_length) + 1, L'\0');
  UINT length = GetDlgItemTextW(dialog, id, &buffer[0], max_length + 1);
  buffer.resize(length);
  return os::narrow(buffer);
}

inline void show(HWND dialog, int id, bool visible) {
  ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOW : SW_HIDE);
}

inline void enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on); }

inline bool is_checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

inline void set_checked(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// Sets a text only when it differs, so that a box being typed in keeps its
// caret and no change notice loops back.
inline void sync_text(HWND dialog, int id, const std::string& text) {
  if (get_text(dialog, id, 1024) != text) set_text(dialog, id, text);
}

}  // namespace quill::dialog_controls
