// The builder's dialog controls addressed by identifier: the shared wide
// wrappers (UTF-8 in the program, UTF-16 in the controls) and the few the
// builder's lists and captions add.
#pragma once

#include <windows.h>

#include <string>

#include "common/dialog_controls_win32.h"
#include "os/win32_text.h"

namespace quill::ui::controls {

using dialog_controls::enable;
using dialog_controls::get_text;
using dialog_controls::is_checked;
using dialog_controls::set_checked;
using dialog_controls::set_text;
using dialog_controls::set_window_text;
using dialog_controls::show;
using dialog_controls::sync_text;

// A list or combo box entry: its position (LB_ERR / CB_ERR on failure).
inline LRESULT add_string(HWND list, UINT message, const std::string& text) {
  const quill::os::WideString wide = os::wide(text);
  return SendMessageW(list, message, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace quill::ui::controls
