// What each of the builder's dialog procedures does to start: keep the
// state it was run with, and take its caption and the builder's icon.
#pragma once

#include <windows.h>

#include <string>

#include "os/win32_text.h"
#include "quillset_resource.h"

namespace quill::ui {

// Runs template `id` modally over `owner`; `state` reaches the procedure as
// WM_INITDIALOG's lparam and then through dialog_state().
inline INT_PTR run_dialog(HINSTANCE instance, int id, HWND owner, DLGPROC procedure,
                          const void* state = nullptr) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(id), owner, procedure, reinterpret_cast<LPARAM>(state));
}

// The state given to run_dialog(): stored at WM_INITDIALOG, read back for
// every later message; nullptr for the messages that come before it.
template <typename State>
State* dialog_state(HWND dialog, UINT message, LPARAM lparam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lparam);
  return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// Ends a dialog that runs a timer: the timer first.
inline void end_timed_dialog(HWND dialog, UINT_PTR timer, INT_PTR result) {
  KillTimer(dialog, timer);
  EndDialog(dialog, result);
}

inline void set_caption_and_icon(HWND dialog, const std::string& caption) {
  SetWindowTextW(dialog, os::wide(caption).c_str());
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUILLSET));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

}  // namespace quill::ui
