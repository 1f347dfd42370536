#include "builder/editor/item_move.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quill::editor {

using project::kNoItem;
using project::kNoSlot;
using project::NodeKind;
using project::Project;
using project::TreeItem;

namespace {

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Every folder slot of the subtree of `top` (included), in slot order.
std::vector<int> subtree_folders(const Project& project, TreeItem top) {
  std::vector<int> slots;
  std::vector<TreeItem> pending{top};
  while (!pending.empty()) {
    TreeItem item = pending.back();
    pending.pop_back();
    int slot = project.find_folder_by_tree_item(item);
    if (slot == kNoSlot) continue;
    slots.push_back(slot);
    for (TreeItem child : project.tree().children(item)) {
      if (project.tree().kind(child) != NodeKind::file) pending.push_back(child);
    }
  }
  std::sort(slots.begin(), slots.end());
  return slots;
}

// The file records of the project grouped by target folder, for the
// folders asked about: files below a folder's item, plus files under the
// custom-path root whose typed target folder names it.
class FilesByFolder {
 public:
  FilesByFolder(const Project& project, const std::vector<int>& folders) {
    for (int folder : folders) {
      const project::FolderRecord& record = project.folder(folder);
      for (TreeItem child : project.tree().children(record.item)) add(project, child, &record.path);
    }
    if (project.tree().contains(project.custom_root())) {
      for (TreeItem child : project.tree().children(project.custom_root())) add(project, child, nullptr);
    }
    for (auto& entry : by_folder_) {
      std::sort(entry.second.begin(), entry.second.end());
      entry.second.erase(std::unique(entry.second.begin(), entry.second.end()), entry.second.end());
    }
  }
  const std::vector<int>& of(const std::string& folder) const {
    auto it = by_folder_.find(folder);
    return it == by_folder_.end() ? none_ : it->second;
  }

 private:
  void add(const Project& project, TreeItem child, const std::string* folder) {
    int slot = project.find_file_by_tree_item(child);
    if (slot == kNoSlot) return;
    const std::string& target = project.file(slot).target_folder;
    if (folder && target != *folder) return;
    by_folder_[target].push_back(slot);
  }
  std::unordered_map<std::string, std::vector<int>> by_folder_;
  std::vector<int> none_;
};

// Adds a copy of file `slot` under `parent`; its shortcuts and the
// uninstaller role go with it. kNoItem when the table is full.
TreeItem copy_file(Project& project, int slot, const std::string& target, TreeItem parent) {
  // The table never moves its slots, and the new record takes another
  // slot: the source's fields can be passed as they stand.
  const project::FileRecord& record = project.file(slot);
  const TreeItem item = record.item;
  TreeItem copy = project.add_file(record.source, record.name, target, parent, slot);
  if (copy != kNoItem && project.uninstaller_item() == item) project.set_uninstaller_item(copy);
  return copy;
}

void remove_folder_records(Project& project, TreeItem folder) {
  for (TreeItem child : project.tree().children(folder)) {
    int file = project.find_file_by_tree_item(child);
    if (file != kNoSlot) {
      project.remove_file_record(file);
    } else {
      remove_folder_records(project, child);
    }
  }
  int slot = project.find_folder_by_tree_item(folder);
  if (slot != kNoSlot) project.remove_folder_record(slot);
}

MoveOutcome move_folder(Project& project, TreeItem source, int source_slot, TreeItem target_item,
                        int target_slot, MoveMode mode) {
  const std::string source_path = project.folder(source_slot).path;
  const std::string target_path = project.folder(target_slot).path;
  if (target_item == project.custom_root() || starts_with(target_path, project::kCustomRootPath)) {
    return MoveOutcome::nothing;
  }
  if (mode == MoveMode::move &&
      (starts_with(target_path, source_path) || target_item == project.tree().parent(source))) {
    return MoveOutcome::nothing;
  }
  // The snapshot: the folders and files to copy are fixed before anything
  // is added, so the copies are never copied themselves.
  const std::vector<int> folders = subtree_folders(project, source);
  const FilesByFolder files(project, folders);
  std::size_t file_total = 0;
  for (int folder : folders) file_total += files.of(project.folder(folder).path).size();
  if (project::kFolderSlots - project.folder_count() < static_cast<int>(folders.size()) ||
      project::kFileSlots - project.file_count() < static_cast<int>(file_total)) {
    return MoveOutcome::no_room;
  }
  // The relative part of a path below the source starts with the source's name.
  const std::size_t name_start = source_path.size() - 1 - project::folder_name_of_path(source_path).size();
  for (int folder : folders) {
    const std::string path = project.folder(folder).path;
    const std::string new_path = target_path + path.substr(name_start);
    TreeItem parent = project.ensure_folder_path(new_path);
    for (int file : files.of(path)) {
      if (project.file_in_use(file)) copy_file(project, file, new_path, parent);
    }
  }
  if (mode == MoveMode::move) remove_subtree(project, source);
  return MoveOutcome::done;
}

}  // namespace

TreeItem destination_folder(const Project& project, TreeItem destination) {
  if (destination == kNoItem || !project.tree().contains(destination)) return kNoItem;
  if (project.find_folder_by_tree_item(destination) != kNoSlot) return destination;
  TreeItem parent = project.tree().parent(destination);
  if (parent != kNoItem && project.find_folder_by_tree_item(parent) != kNoSlot) return parent;
  return kNoItem;
}

void remove_subtree(Project& project, TreeItem item) {
  int file = project.find_file_by_tree_item(item);
  if (file != kNoSlot) {
    project.remove_file_record(file);
  } else {
    remove_folder_records(project, item);
  }
  project.tree().remove(item);
}

MoveOutcome move_item(Project& project, TreeItem source, TreeItem destination, MoveMode mode) {
  if (source == kNoItem || source == project.install_root() || source == project.custom_root() ||
      !project.tree().contains(source)) {
    return MoveOutcome::nothing;
  }
  TreeItem target = destination_folder(project, destination);
  if (target == kNoItem) return MoveOutcome::nothing;
  int target_slot = project.find_folder_by_tree_item(target);
  int folder = project.find_folder_by_tree_item(source);
  if (folder != kNoSlot) return move_folder(project, source, folder, target, target_slot, mode);
  int file = project.find_file_by_tree_item(source);
  if (file == kNoSlot) return MoveOutcome::nothing;
  if (copy_file(project, file, project.folder(target_slot).path, target) == kNoItem) {
    return MoveOutcome::no_room;
  }
  if (mode == MoveMode::move) remove_subtree(project, source);
  return MoveOutcome::done;
}

MoveOutcome move_all_out(Project& project, TreeItem folder) {
  int slot = project.find_folder_by_tree_item(folder);
  if (slot == kNoSlot || folder == project.install_root() || folder == project.custom_root()) {
    return MoveOutcome::nothing;
  }
  const TreeItem parent = project.tree().parent(folder);
  const std::string path = project.folder(slot).path;
  // Everything below the folder, by slot: folders (the folder itself
  // excepted) and files whose target folder lies below it, including files
  // under the custom-path root that name such a folder.
  std::vector<std::pair<int, TreeItem>> folders, files;
  for (int f : subtree_folders(project, folder)) {
    const std::string& below = project.folder(f).path;
    if (f != slot) folders.emplace_back(f, project.folder(f).item);
    for (TreeItem child : project.tree().children(project.folder(f).item)) {
      int file = project.find_file_by_tree_item(child);
      if (file != kNoSlot && starts_with(project.file(file).target_folder, below)) files.emplace_back(file, child);
    }
  }
  for (TreeItem child : project.tree().children(project.custom_root())) {
    int file = project.find_file_by_tree_item(child);
    if (file != kNoSlot && starts_with(project.file(file).target_folder, path)) files.emplace_back(file, child);
  }
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  // Slot j's folder goes before slot j's file. A record already moved with
  // its folder is gone from the tree when its turn comes.
  std::size_t next_file = 0;
  auto move = [&](TreeItem item) {
    if (!project.tree().contains(item)) return MoveOutcome::done;
    return move_item(project, item, parent, MoveMode::move);
  };
  for (const auto& entry : folders) {
    for (; next_file < files.size() && files[next_file].first < entry.first; ++next_file) {
      if (move(files[next_file].second) == MoveOutcome::no_room) return MoveOutcome::no_room;
    }
    if (move(entry.second) == MoveOutcome::no_room) return MoveOutcome::no_room;
  }
  for (; next_file < files.size(); ++next_file) {
    if (move(files[next_file].second) == MoveOutcome::no_room) return MoveOutcome::no_room;
  }
  return MoveOutcome::done;
}

}  // namespace quill::editor
