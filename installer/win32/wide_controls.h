// The installer's dialog controls: the shared wide wrappers (UTF-8 in the
// program, UTF-16 in the window) and the texts of the language table.
#pragma once

#include <windows.h>

#include <string>

#include "common/dialog_controls_win32.h"
#include "common/texts.h"
#include "os/win32_text.h"

namespace quill::installer::win32 {

using dialog_controls::enable;
using dialog_controls::get_text;
using dialog_controls::is_checked;
using dialog_controls::set_checked;
using dialog_controls::set_lines;
using dialog_controls::set_text;
using dialog_controls::set_window_text;
using dialog_controls::show;
using dialog_controls::to_control_text;

inline void set_text(HWND dialog, int id, texts::TextId text) {
  set_text(dialog, id, std::string(texts::text(text)));
}

inline int message_box(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  return MessageBoxW(owner, os::wide(text).c_str(), os::wide(caption).c_str(), style);
}

}  // namespace quill::installer::win32
