// The selection panel of the "Files to install" page: what the item path,
// "Install to:", the buttons and the shortcut fields show and whether each
// is enabled, for the current item.
//
// Win32 side: after EditorView::panel_changed(), set every control from
// Editor::panel(): texts with SetDlgItemTextW, enabled states with
// EnableWindow, list 1157's selection from `location`, edit 1013's read-only
// state from `install_to_editable`.
#pragma once

#include <string>

#include "builder/project/project.h"

namespace quill::editor {

struct SelectionPanel {
  std::string item_path;          // 1005: a file's source path, else empty
  std::string install_to;         // 1013: a file's target folder or a folder's path
  bool install_to_editable = false;  // 1013 enabled (custom-path editing)
  std::string custom_button_caption = "Set custom path";  // 1068
  bool custom_button_enabled = false;
  bool add_enabled = false;     // 1002 and 1003
  bool remove_enabled = false;  // 1004
  // 1156, 1157, 1158, 1159; 1160 and 1161 follow `start_menu_enabled`.
  bool shortcut_fields_enabled = false;
  bool start_menu_enabled = false;
  int location = 0;               // selected location code of list 1157
  std::string shortcut_name;      // 1159
  std::string start_menu_folder;  // 1161
};

// What the page edits beside the project: the current item, custom-path
// editing, the selected location code, the shown file and the sync switch.
struct PageState {
  project::TreeItem current = project::kNoItem;
  bool custom_editing = false;
  int location = 0;
  project::TreeItem shown_file = project::kNoItem;  // the file whose shortcut slots the fields show
  bool sync = false;  // the field sync timer writes the fields back
};

// The panel for `state` (a current item that is neither file nor folder,
// kNoItem included, shows an empty panel with everything disabled).
SelectionPanel compute_panel(const project::Project& project, const PageState& state);

}  // namespace quill::editor
