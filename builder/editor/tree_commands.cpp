// The commands of the "Files to install" page.
#include <cstdio>

#include "builder/editor/controls.h"
#include "builder/editor/editor.h"
#include "builder/editor/folder_scan.h"
#include "builder/editor/messages.h"
#include "builder/project/field_rules.h"
#include "common/paths.h"

namespace quill::editor {

using project::kNoItem;
using project::kNoSlot;
using project::TreeItem;

namespace {

// The part of a path after its last separator ("/" counts for host paths).
std::string last_segment(const std::string& path) {
  std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The name a chosen folder gets in the tree: its last segment; a drive's
// root ("D:\") is named by its letter.
std::string folder_name(std::string path) {
  while (!path.empty() && is_path_separator(path.back())) path.pop_back();
  if (path.size() == 2 && path[1] == ':') return path.substr(0, 1);
  return last_segment(path);
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool Editor::is_file(TreeItem item) const {
  return item != kNoItem && project_.find_file_by_tree_item(item) != kNoSlot;
}

bool Editor::is_folder(TreeItem item) const {
  return item != kNoItem && project_.find_folder_by_tree_item(item) != kNoSlot;
}

bool Editor::is_root(TreeItem item) const {
  return item != kNoItem && (item == project_.install_root() || item == project_.custom_root());
}

std::string Editor::folder_path_of(TreeItem item) const {
  int slot = project_.find_folder_by_tree_item(item);
  return slot == kNoSlot ? std::string() : project_.folder(slot).path;
}

void Editor::show_item(TreeItem item) {
  page_.sync = false;
  page_.current = item;
  page_.custom_editing = false;
  if (is_file(item)) {
    page_.shown_file = item;
    page_.sync = true;
  }
}

void Editor::select(TreeItem item) {
  show_item(item);
  view_.panel_changed();
}

bool Editor::check_insert_target() {
  if (!is_folder(page_.current) || page_.current == project_.custom_root()) {
    prompter_.tell(text::kInvalidFolder, Icon::warning);
    return false;
  }
  return true;
}

void Editor::add_file() {
  if (!check_insert_target()) return;
  if (project_.file_count() >= project::kFileSlots) {
    prompter_.tell(text::kFileTableFull, Icon::warning);
    return;
  }
  std::string source;
  if (!prompter_.choose_file_to_open({text::kAllFilesFilter, text::kAllFilesPattern, "", false, false},
                                     &source)) {
    return;
  }
  TreeItem folder = page_.current;
  std::string target = folder_path_of(folder);
  std::string name = last_segment(source);
  if (name.empty()) {
    prompter_.tell(text::kEmptyName, Icon::warning);
    return;
  }
  // The project file keeps the source only as one line; the installer
  // creates the name as given.
  if (!project::text_problem(source).empty() || !project::file_name_problem(name).empty()) {
    prompter_.tell(text::kNameNotCreatable, Icon::warning);
    return;
  }
  if (target.size() + name.size() > kMaxPathLength) {
    prompter_.tell(text::kPathTooLong, Icon::warning);
    return;
  }
  {
    Lock lock(mutex_);
    TreeItem item = project_.tree().insert(folder, name, project::NodeKind::file);
    project_.add_file_record(source, name, target, item);
  }
  view_.expand_item(folder);
}

void Editor::add_folder() {
  if (!check_insert_target()) return;
  if (project_.folder_count() >= project::kFolderSlots) {
    prompter_.tell(text::kFolderTableFull, Icon::warning);
    return;
  }
  std::string source;
  if (!prompter_.choose_folder(text::kFolderTitle, &source)) return;
  TreeItem parent = page_.current;
  std::string name = folder_name(source);
  if (name.empty()) {
    prompter_.tell(text::kEmptyName, Icon::warning);
    return;
  }
  if (!project::file_name_problem(name).empty()) {
    prompter_.tell(text::kNameNotCreatable, Icon::warning);
    return;
  }
  std::string path = folder_path_of(parent) + name + "\\";
  if (path.size() > kMaxPathLength) {
    prompter_.tell(text::kPathTooLong, Icon::warning);
    return;
  }
  // The whole tree is listed before anything is added, so that a tree the
  // tables cannot hold adds nothing at all.
  ScanPlan plan = plan_folder_scan(os_, source, path);
  int free_files = project::kFileSlots - project_.file_count();
  int free_folders = project::kFolderSlots - project_.folder_count();
  if (plan.files > free_files || plan.folders + 1 > free_folders) {
    char message[256];
    std::snprintf(message, sizeof message, text::kFolderTooBig, plan.files, plan.folders + 1);
    prompter_.tell(message, Icon::warning);
    return;
  }
  {
    Lock lock(mutex_);
    TreeItem item = project_.insert_folder(parent, name, path);
    apply_folder_scan(project_, plan, item, path);
  }
  view_.expand_item(parent);
  view_.set_status(text::kReady);
}

void Editor::empty_folder(TreeItem folder) {
  for (TreeItem child : project_.tree().children(folder)) {
    int file = project_.find_file_by_tree_item(child);
    if (file != kNoSlot) {
      project_.remove_file_record(file);
    } else if (project_.find_folder_by_tree_item(child) != kNoSlot) {
      empty_folder(child);
    }
  }
  int slot = project_.find_folder_by_tree_item(folder);
  if (slot != kNoSlot) project_.remove_folder_record(slot);
}

void Editor::remove_item(TreeItem item) {
  int file = project_.find_file_by_tree_item(item);
  if (file != kNoSlot) {
    project_.remove_file_record(file);
  } else {
    empty_folder(item);
  }
  project_.tree().remove(item);
}

void Editor::forget_uninstaller_if_gone() {
  TreeItem uninstaller = project_.uninstaller_item();
  if (uninstaller == kNoItem || project_.find_file_by_tree_item(uninstaller) != kNoSlot) return;
  project_.set_uninstaller_item(kNoItem);
  project_.settings().include_uninstaller = false;
  view_.setting_changed(project::SettingId::uninstaller);
}

void Editor::remove() {
  TreeItem item = page_.current;
  if (item == kNoItem || (!is_file(item) && !is_folder(item))) return;
  if (is_root(item)) {
    prompter_.tell(text::kCantDelete, Icon::warning);
    return;
  }
  {
    Lock lock(mutex_);
    remove_item(item);
    forget_uninstaller_if_gone();
  }
  check_clipboard();
  // A tree view selects another item when its selected one goes, and
  // reports it through select() meanwhile; that choice stands.
  if (page_.current == item || !project_.tree().contains(page_.current)) {
    page_.current = kNoItem;
    page_.custom_editing = false;
    page_.sync = false;
  }
  view_.panel_changed();
}

bool Editor::begin_label_edit(TreeItem item) {
  return !is_root(item) && (is_file(item) || is_folder(item));
}

bool Editor::end_label_edit(TreeItem item, const std::string& typed) {
  if (!begin_label_edit(item)) return false;
  std::string name = typed.substr(0, kMaxPathLength);
  if (name.empty()) {
    prompter_.tell(text::kEmptyName, Icon::warning);
    return false;
  }
  // A backslash would split the name into folders; the other characters
  // cannot stand in a Windows file name ("|" would also break the
  // installer's file list), and "." or ".." would lead out of the folder.
  if (name.find_first_of("\\/:*?\"<>|") != std::string::npos) {
    prompter_.tell(text::kNameWithBackslash, Icon::warning);
    return false;
  }
  if (name == "." || name == "..") {
    prompter_.tell(text::kDotName, Icon::warning);
    return false;
  }
  if (!project::file_name_problem(name).empty()) {
    prompter_.tell(text::kNameNotCreatable, Icon::warning);
    return false;
  }
  int file = project_.find_file_by_tree_item(item);
  bool renamed = file != kNoSlot ? rename_file(file, name)
                                 : rename_folder(project_.find_folder_by_tree_item(item), name);
  if (renamed) view_.panel_changed();
  return renamed;
}

bool Editor::rename_file(int slot, const std::string& name) {
  if (project_.file(slot).target_folder.size() + name.size() > kMaxPathLength) {
    prompter_.tell(text::kPathTooLong, Icon::warning);
    return false;
  }
  Lock lock(mutex_);
  project_.set_file_name(slot, name);
  project_.tree().set_label(project_.file(slot).item, name);
  return true;
}

bool Editor::rename_folder(int slot, const std::string& name) {
  const std::string old_path = project_.folder(slot).path;
  TreeItem item = project_.folder(slot).item;
  std::size_t position = old_path.size() - 1 - project::folder_name_of_path(old_path).size();
  const std::string new_path = old_path.substr(0, position) + name + "\\";
  // Every path below the folder changes its head: check them all first.
  auto renamed = [&](const std::string& path) { return new_path + path.substr(old_path.size()); };
  std::vector<int> folders, files;
  for (int f = 0; f < project::kFolderSlots; ++f) {
    const std::string& path = project_.folder(f).path;
    if (path.empty() || !starts_with(path, old_path)) continue;
    if (path.size() - old_path.size() + new_path.size() > kMaxPathLength) {
      prompter_.tell(text::kPathTooLong, Icon::warning);
      return false;
    }
    folders.push_back(f);
  }
  for (int f = 0; f < project::kFileSlots; ++f) {
    if (!project_.file_in_use(f)) continue;
    const project::FileRecord& record = project_.file(f);
    if (!starts_with(record.target_folder, old_path)) continue;
    if (record.target_folder.size() - old_path.size() + new_path.size() + record.name.size() >
        kMaxPathLength) {
      prompter_.tell(text::kPathTooLong, Icon::warning);
      return false;
    }
    files.push_back(f);
  }
  Lock lock(mutex_);
  for (int f : folders) project_.set_folder_path(f, renamed(project_.folder(f).path));
  for (int f : files) project_.set_file_target_folder(f, renamed(project_.file(f).target_folder));
  project_.tree().set_label(item, name);
  return true;
}

void Editor::custom_path_button(const std::string& install_to) {
  TreeItem item = page_.current;
  int slot = project_.find_file_by_tree_item(item);
  if (slot == kNoSlot) return;
  if (!page_.custom_editing) {
    page_.custom_editing = true;
    view_.panel_changed();
    return;
  }
  std::string folder = install_to.substr(0, kMaxPathLength);
  if (folder.empty()) {
    prompter_.tell(text::kEmptyCustomPath, Icon::warning);
    return;
  }
  if (!project::custom_folder_problem(folder.back() == '\\' ? folder : folder + '\\').empty()) {
    prompter_.tell(text::kCustomPathNotFull, Icon::warning);
    return;
  }
  project::FileRecord record = project_.file(slot);
  if (folder.size() + record.name.size() > kMaxPathLength) {
    prompter_.tell(text::kPathTooLong, Icon::warning);
    return;
  }
  TreeItem moved;
  {
    Lock lock(mutex_);
    // The new record comes first (the "copy of " rule sees the old one);
    // with a full table the old record makes room first.
    bool full = project_.file_count() >= project::kFileSlots;
    if (full) {
      project_.remove_file_record(slot);
      project_.tree().remove(item);
    }
    moved = project_.add_file(record.source, record.name, folder, project_.custom_root());
    if (!full) {
      project_.remove_file_record(slot);
      project_.tree().remove(item);
    }
    // The uninstaller role goes with its file.
    if (project_.uninstaller_item() == item) project_.set_uninstaller_item(moved);
  }
  check_clipboard();
  show_item(moved);
  view_.select_item(moved);
  view_.panel_changed();
}

void Editor::include_uninstaller(bool on) {
  TreeItem current = project_.uninstaller_item();
  bool present = current != kNoItem && is_file(current);
  if (on) {
    if (present) return;
    if (project_.file_count() >= project::kFileSlots) {
      prompter_.tell(text::kFileTableFull, Icon::warning);
      view_.setting_changed(project::SettingId::uninstaller);
      return;
    }
    TreeItem item;
    {
      Lock lock(mutex_);
      project_.set_include_uninstaller(true, builder_folder_ + "uninst.dat");
      item = project_.uninstaller_item();
    }
    view_.setting_changed(project::SettingId::uninstaller);
    view_.select_tab(kFilesTab);
    show_item(item);
    view_.select_item(item);
    view_.panel_changed();
    return;
  }
  {
    Lock lock(mutex_);
    if (present) remove_item(current);
    project_.set_uninstaller_item(kNoItem);
    project_.settings().include_uninstaller = false;
  }
  check_clipboard();
  if (present && page_.current == current) {
    page_.current = kNoItem;
    page_.sync = false;
  }
  view_.setting_changed(project::SettingId::uninstaller);
  view_.panel_changed();
}

void Editor::location_changed(int location) {
  if (location < 0 || location >= project::kShortcutLocations) return;
  page_.sync = false;
  page_.location = location;
  page_.sync = is_file(page_.shown_file);
  view_.panel_changed();
}

void Editor::sync_tick(const std::string& shortcut_name, const std::string& start_menu_folder) {
  if (!page_.sync) return;
  // The shown file is remembered by its item: its slot moves when the
  // table is compacted.
  int slot = project_.find_file_by_tree_item(page_.shown_file);
  if (slot == kNoSlot) return;
  std::string name = shortcut_name.substr(0, kMaxPathLength);
  std::string folder = start_menu_folder.substr(0, kMaxPathLength);
  std::string target = project_.shortcut_target(slot);
  const project::ShortcutSlot& now = project_.shortcuts(slot)[page_.location];
  if (now.name == name && now.start_menu_folder == folder &&
      (name.empty() || (now.target == target && now.location == page_.location))) {
    return;
  }
  Lock lock(mutex_);
  project::ShortcutSlot& shortcut = project_.shortcut(slot, page_.location);
  shortcut.name = name;
  shortcut.start_menu_folder = folder;
  shortcut.target = target;
  shortcut.location = page_.location;
}

bool Editor::tree_key(TreeKey key, bool tree_has_focus, bool foreground) {
  if (!tree_has_focus || !foreground) return false;
  TreeItem item = page_.current;
  if (item == kNoItem || item == project_.custom_root()) return false;
  switch (key) {
    case TreeKey::remove:
      if (item == project_.install_root()) return false;
      remove();
      return true;
    case TreeKey::cut:
    case TreeKey::copy:
      if (item == project_.install_root()) return false;
      key == TreeKey::cut ? cut() : copy();
      return true;
    case TreeKey::paste:
      if (!is_folder(item) || clipboard_.item == kNoItem) return false;
      paste();
      return true;
  }
  return false;
}

}  // namespace quill::editor
