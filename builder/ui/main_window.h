// The main window: a modal dialog (template 101) that renders the editor's
// state and forwards every command to it. It lives for the whole run.
#pragma once

#include <windows.h>

namespace quill::ui {

// Runs the main window; returns when it has ended.
void run_main_window(HINSTANCE instance);

}  // namespace quill::ui
