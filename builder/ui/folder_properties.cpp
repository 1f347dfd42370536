// Dialog 119: a folder's properties in a read-only rich edit control (a
// wide one: its text is set as UTF-16).
#include <string>

#include "builder/ui/dialog_setup.h"
#include "builder/ui/wide_controls.h"
#include "builder/ui/moves_ui.h"
#include "quillset_resource.h"

namespace quill::ui {

using namespace controls;

namespace {

INT_PTR CALLBACK folder_properties_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      set_text(window, IDC_FOLDER_INFO, *reinterpret_cast<const std::string*>(lparam));
      set_caption_and_icon(window, "Quillset - Folder properties");
      // The focus on "Close", so that the text is shown unselected.
      SetFocus(GetDlgItem(window, IDC_FOLDER_CLOSE));
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_FOLDER_CLOSE) EndDialog(window, 0);
      return TRUE;
    case WM_CLOSE:
      EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void show_folder_properties(HINSTANCE instance, HWND owner, const std::string& text) {
  run_dialog(instance, IDD_FOLDER_PROPERTIES, owner, folder_properties_proc, &text);
}

}  // namespace quill::ui
