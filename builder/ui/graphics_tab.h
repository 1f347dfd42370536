// The "Installer graphics" page of the main window and the two buttons of
// the "More options" page that open the appearance dialogs (111, 118).
#pragma once

#include <windows.h>

#include "builder/editor/editor.h"

namespace quill::ui {

class GraphicsPageView {
 public:
  void attach(HINSTANCE instance, HWND window, editor::Editor* editor) {
    instance_ = instance;
    window_ = window;
    editor_ = editor;
  }
  // True when the command was the page's (or opened one of the dialogs).
  bool on_command(int id, int code);
  // Timer 1: the position fields go into the selected picture.
  void on_timer();
  // Renders list, fields and enabled states from the editor.
  void render();

 private:
  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  editor::Editor* editor_ = nullptr;
  int list_version_ = -1;
  int shown_version_ = -1;
};

// The two appearance dialogs, modal over `owner`.
void run_fullscreen_options(HINSTANCE instance, HWND owner, editor::Editor& editor);
void run_window_settings(HINSTANCE instance, HWND owner, editor::Editor& editor);

}  // namespace quill::ui
