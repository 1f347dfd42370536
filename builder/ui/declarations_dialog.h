// The registry and environment dialog (IDD_DECLARATIONS) with its edit
// dialogs, over editor::DeclarationsDialog.
#pragma once

#include <windows.h>

#include "builder/editor/editor.h"

namespace quill::ui {

// Modal, owned by `owner`; changes reach the project as each edit is accepted.
void show_declarations_dialog(HINSTANCE instance, HWND owner, editor::Editor& editor);

}  // namespace quill::ui
