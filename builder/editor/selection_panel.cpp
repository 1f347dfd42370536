// What the selection panel shows for the current item.
#include "builder/editor/selection_panel.h"

#include "builder/project/architecture.h"

namespace quill::editor {

using project::kNoSlot;
using project::Project;

SelectionPanel compute_panel(const Project& project, const PageState& state) {
  SelectionPanel panel;
  panel.location = state.location;
  project::TreeItem item = state.current;
  if (item == project::kNoItem) return panel;
  int file = project.find_file_by_tree_item(item);
  int folder = file == kNoSlot ? project.find_folder_by_tree_item(item) : kNoSlot;
  if (file == kNoSlot && folder == kNoSlot) return panel;

  bool root = item == project.install_root() || item == project.custom_root();
  panel.remove_enabled = !root;
  if (folder != kNoSlot) {
    panel.install_to = project.folder(folder).path;
    panel.add_enabled = item != project.custom_root();
    return panel;
  }

  const project::FileRecord& record = project.file(file);
  panel.item_path = project::build_source(project, file);
  panel.install_to = record.target_folder;
  panel.install_to_editable = state.custom_editing;
  panel.custom_button_caption = state.custom_editing ? "Save path" : "Set custom path";
  panel.custom_button_enabled = true;
  panel.shortcut_fields_enabled = true;
  panel.start_menu_enabled = state.location == project::kStartMenu;
  const project::ShortcutSlot& slot = project.shortcut(file, state.location);
  panel.shortcut_name = slot.name;
  panel.start_menu_folder = slot.start_menu_folder;
  return panel;
}

}  // namespace quill::editor
