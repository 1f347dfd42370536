// Cut, copy, paste, drag and drop, "Move all files out of this folder" and
// the folder properties of the "Files to install" page.
#include "builder/editor/editor.h"
#include "builder/editor/folder_properties.h"
#include "builder/editor/messages.h"
#include "resources/quillset_resource.h"

namespace quill::editor {

using project::kNoItem;
using project::kNoSlot;
using project::TreeItem;

namespace {
constexpr int kCutCommand = IDM_TREE_CUT;
constexpr int kCopyCommand = IDM_TREE_COPY;
constexpr int kPasteCommand = IDM_TREE_PASTE;
constexpr int kFilePropertiesCommand = IDM_TREE_PROPERTIES;
constexpr int kFolderPropertiesCommand = IDM_TREE_FOLDER_PROPERTIES;
constexpr int kMoveAllOutCommand = IDM_TREE_MOVE_ALL_OUT;
}  // namespace

void Editor::point_at(TreeItem item) {
  if (item != kNoItem && project_.tree().contains(item)) page_.current = item;
}

std::vector<Editor::ContextEntry> Editor::context_menu() const {
  const TreeItem item = page_.current;
  const bool file = is_file(item), folder = is_folder(item);
  std::vector<ContextEntry> entries;
  if ((file || folder) && !is_root(item)) {
    entries.push_back({kCutCommand, "Cut ( ctrl + x )", false});
    entries.push_back({kCopyCommand, "Copy ( ctrl + c )", false});
  }
  if (clipboard_.item != kNoItem && item != project_.custom_root()) {
    entries.push_back({kPasteCommand, "Paste ( ctrl + v )", false});
  }
  if (folder && !is_root(item)) entries.push_back({kMoveAllOutCommand, "Move all files out of this folder", false});
  // A separator only parts the properties from entries above it.
  if (file) entries.push_back({kFilePropertiesCommand, "Properties ( double click )", !entries.empty()});
  if (folder) entries.push_back({kFolderPropertiesCommand, "Folder properties", !entries.empty()});
  return entries;
}

void Editor::context_command(int command) {
  switch (command) {
    case kCutCommand: cut(); return;
    case kCopyCommand: copy(); return;
    case kPasteCommand:
      if (page_.current != project_.custom_root()) paste();
      return;
    case kMoveAllOutCommand: move_all_out(); return;
    default: return;
  }
}

void Editor::cut() {
  if (is_root(page_.current) || (!is_file(page_.current) && !is_folder(page_.current))) return;
  clipboard_.item = page_.current;
  clipboard_.mode = MoveMode::move;
}

void Editor::copy() {
  cut();
  if (clipboard_.item == page_.current) clipboard_.mode = MoveMode::copy;
}

void Editor::check_clipboard() {
  if (clipboard_.item == kNoItem) return;
  if (!is_file(clipboard_.item) && !is_folder(clipboard_.item)) clipboard_.item = kNoItem;
}

void Editor::paste() {
  check_clipboard();
  if (clipboard_.item == kNoItem) return;
  const MoveMode mode = clipboard_.mode;
  run_move(clipboard_.item, page_.current, mode);
  if (mode == MoveMode::move) clipboard_.item = kNoItem;
}

void Editor::move_all_out() {
  TreeItem folder = page_.current;
  if (!is_folder(folder) || is_root(folder)) return;
  MoveOutcome outcome;
  {
    Lock lock(mutex_);
    outcome = quill::editor::move_all_out(project_, folder);
  }
  moved(outcome);
}

bool Editor::begin_drag(TreeItem item) {
  if (is_root(item)) {
    prompter_.tell(text::kCantModify, Icon::warning);
    return false;
  }
  return is_file(item) || is_folder(item);
}

void Editor::drop(TreeItem dragged, TreeItem target) {
  if (target == kNoItem || target == project_.custom_root() || target == dragged) return;
  run_move(dragged, target, MoveMode::move);
}

void Editor::run_move(TreeItem source, TreeItem destination, MoveMode mode) {
  MoveOutcome outcome;
  {
    Lock lock(mutex_);
    outcome = move_item(project_, source, destination, mode);
  }
  moved(outcome);
}

void Editor::moved(MoveOutcome outcome) {
  if (outcome == MoveOutcome::no_room) prompter_.tell(text::kNoRoomToMove, Icon::warning);
  if (outcome != MoveOutcome::done) return;
  check_clipboard();
  if (!project_.tree().contains(page_.current)) {
    page_.current = kNoItem;
    page_.custom_editing = false;
    page_.sync = false;
  }
  if (!project_.tree().contains(page_.shown_file)) {
    page_.shown_file = kNoItem;
    page_.sync = false;
  }
  view_.panel_changed();
}

std::string Editor::folder_properties() const {
  int slot = project_.find_folder_by_tree_item(page_.current);
  if (page_.current == kNoItem || slot == kNoSlot) return std::string();
  return folder_properties_text(quill::editor::folder_properties(project_, slot, os_));
}

std::unique_ptr<MacrosDialog> Editor::macros_dialog() {
  return std::make_unique<MacrosDialog>(project_, prompter_, mutex_);
}

}  // namespace quill::editor
