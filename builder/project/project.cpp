// Record operations of the project tables.
#include "builder/project/project.h"

#include "builder/project/language_section.h"
#include "common/limits.h"

#include <cassert>
#include <stdexcept>

namespace quill::project {

const char kInstallRootPath[] = "%install path%\\";
const char kCustomRootPath[] = "%custom path%\\";
const char kBackupFileName[] = "ProjectBackup.qspbak";

namespace {
const char kInstallRootLabel[] = "%install path%";
const char kCustomRootLabel[] = "%custom path%";
constexpr std::size_t kInstallRootLength = 15;  // strlen("%install path%\")
}  // namespace

// --- FreeSlots

Project::FreeSlots::FreeSlots(int count) : count_(count), words_((count + 63) / 64) { reset(); }

void Project::FreeSlots::reset() {
  end_ = 0;
  for (auto& word : words_) word = ~std::uint64_t{0};
  int spare = static_cast<int>(words_.size()) * 64 - count_;
  if (spare > 0) words_.back() >>= spare;
}

void Project::FreeSlots::take(int slot) {
  words_[slot / 64] &= ~(std::uint64_t{1} << (slot % 64));
  if (slot >= end_) end_ = slot + 1;
}
void Project::FreeSlots::release(int slot) { words_[slot / 64] |= std::uint64_t{1} << (slot % 64); }

int Project::FreeSlots::lowest() const {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    std::uint64_t word = words_[i];
    if (word != 0) {
      int bit = 0;
      while (!(word & 1)) {
        word >>= 1;
        ++bit;
      }
      return static_cast<int>(i) * 64 + bit;
    }
  }
  return count_;
}

// --- Project

Project::Project()
    : files_(kFileSlots),
      folders_(kFolderSlots),
      images_(kImageSlots),
      macros_(kMacroSlots),
      free_files_(kFileSlots),
      free_folders_(kFolderSlots) {
  reset_project();
}

void Project::reset_project() {
  // Only slots below the tables' ends were ever written.
  for (int slot = 0; slot < free_files_.end(); ++slot) files_[slot] = FileRecord();
  shortcuts_.clear();
  for (int slot = 0; slot < free_folders_.end(); ++slot) folders_[slot] = FolderRecord();
  for (auto& record : images_) record = ImageRecord();
  for (auto& record : macros_) record = Macro();
  macro_count_ = 0;
  used_files_ = 0;
  used_folders_ = 2;
  free_files_.reset();
  free_folders_.reset();
  file_by_item_.clear();
  file_by_key_.clear();
  copy_hints_.clear();
  folder_by_item_.clear();
  folder_by_path_.clear();
  settings_ = Settings();
  fullscreen_ = FullscreenOptions();
  window_settings_ = WindowSettings();
  declarations_ = package::Declarations();
  uninstaller_item_ = kNoItem;
  current_path_.clear();

  tree_.clear();
  TreeItem custom = tree_.insert(kNoItem, kCustomRootLabel, NodeKind::root);
  TreeItem install = tree_.insert(kNoItem, kInstallRootLabel, NodeKind::root);
  // Slot 0 is the install-path root and slot 1 the custom-path root.
  folders_[1] = {kCustomRootPath, custom};
  folders_[0] = {kInstallRootPath, install};
  for (int slot = 0; slot < 2; ++slot) {
    free_folders_.take(slot);
    folder_by_item_.add(folders_[slot].item, slot);
    folder_by_path_.add(folders_[slot].path, slot);
  }
}

std::string Project::window_title() const {
  if (current_path_.empty()) return "Quillset - New Unsaved Project";
  return "Quillset - " + current_path_;
}

// --- Folders

int Project::add_folder_record(const std::string& path, TreeItem item) {
  if (path.empty()) return kNoSlot;
  int slot = free_folders_.lowest();
  if (slot >= kFolderSlots) return kNoSlot;
  folders_[slot] = {path, item};
  free_folders_.take(slot);
  ++used_folders_;
  folder_by_item_.add(item, slot);
  folder_by_path_.add(path, slot);
  return slot;
}

void Project::remove_folder_record(int slot) {
  FolderRecord& record = folders_.at(slot);
  if (record.path.empty()) return;
  folder_by_item_.remove(record.item, slot);
  folder_by_path_.remove(record.path, slot);
  record = FolderRecord();
  free_folders_.release(slot);
  --used_folders_;
}

void Project::set_folder_path(int slot, const std::string& path) {
  FolderRecord& record = folders_.at(slot);
  if (record.path.empty() || path.empty()) return;
  folder_by_path_.remove(record.path, slot);
  record.path = path;
  folder_by_path_.add(path, slot);
}

TreeItem Project::insert_folder(TreeItem parent, const std::string& name, const std::string& path) {
  if (free_folders_.lowest() >= kFolderSlots) return kNoItem;
  TreeItem item = tree_.insert(parent, name, NodeKind::folder);
  if (item == kNoItem) return kNoItem;
  add_folder_record(path, item);
  return item;
}

TreeItem Project::ensure_folder_path(const std::string& path) {
  TreeItem parent = install_root();
  std::size_t last = path.rfind('\\');
  if (last == std::string::npos || last <= kInstallRootLength) return parent;
  std::size_t previous = kInstallRootLength - 1;  // the root's own "\"
  std::size_t next = path.find('\\', kInstallRootLength);
  while (next != std::string::npos && next <= last) {
    std::string prefix = path.substr(0, next + 1);
    int slot = find_folder_by_path(prefix);
    if (slot != kNoSlot) {
      parent = folders_[slot].item;
    } else {
      TreeItem item = insert_folder(parent, path.substr(previous + 1, next - previous - 1), prefix);
      if (item == kNoItem) return parent;  // the folder table is full
      parent = item;
    }
    previous = next;
    next = path.find('\\', next + 1);
  }
  return parent;
}

int Project::find_folder_by_tree_item(TreeItem item) const { return folder_by_item_.first(item); }

int Project::find_folder_by_path(const std::string& path) const { return folder_by_path_.first(path); }

// --- Files

std::string Project::file_key(const std::string& name, const std::string& folder) {
  return std::to_string(name.size()) + ':' + name + folder;
}

void Project::index_file(int slot) {
  const FileRecord& record = files_[slot];
  file_by_item_.add(record.item, slot);
  file_by_key_.add(file_key(record.name, record.target_folder), slot);
}

void Project::forget_copy_hints(const std::string& name, const std::string& folder) {
  if (copy_hints_.empty()) return;
  // The name is a copy name of each name that "copy of " prefixes strip it
  // to, and of the name in a "copy N of " form.
  static const std::string prefix = "copy of ";
  std::size_t start = 0;
  for (;;) {
    copy_hints_.erase(file_key(name.substr(start), folder));
    if (name.compare(start, prefix.size(), prefix) != 0) break;
    start += prefix.size();
  }
  std::size_t digits = 5;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
  if (name.compare(0, 5, "copy ") == 0 && digits > 5 && name.compare(digits, 4, " of ") == 0) {
    copy_hints_.erase(file_key(name.substr(digits + 4), folder));
  }
}

void Project::unindex_file(int slot) {
  const FileRecord& record = files_[slot];
  forget_copy_hints(record.name, record.target_folder);
  file_by_item_.remove(record.item, slot);
  file_by_key_.remove(file_key(record.name, record.target_folder), slot);
}

int Project::add_file_record(const std::string& source, const std::string& name,
                             const std::string& target_folder, TreeItem item) {
  if (source.empty()) return kNoSlot;
  int slot = free_files_.lowest();
  if (slot >= kFileSlots) return kNoSlot;
  FileRecord& record = files_[slot];
  record.source = source;
  record.name = name;
  record.target_folder = target_folder;
  record.item = item;
  free_files_.take(slot);
  ++used_files_;
  index_file(slot);
  return slot;
}

TreeItem Project::add_file(const std::string& source, const std::string& name,
                           const std::string& target_folder, TreeItem parent, int previous_slot) {
  if (source.empty() || free_files_.lowest() >= kFileSlots) return kNoItem;
  // Copies 0 to hint - 1 are known to be in use.
  const std::string key = file_key(name, target_folder);
  auto hint = copy_hints_.find(key);
  int copies = hint == copy_hints_.end() ? 0 : hint->second;
  std::string unique = copy_name(name, copies);
  while (find_file_by_name_and_folder(unique, target_folder) != kNoSlot) unique = copy_name(name, ++copies);
  TreeItem item = tree_.insert(parent, unique, NodeKind::file);
  if (item == kNoItem) return kNoItem;
  int slot = add_file_record(source, unique, target_folder, item);
  assert(slot != kNoSlot);
  if (copies > 0) copy_hints_[key] = copies + 1;
  if (previous_slot >= 0 && previous_slot < kFileSlots && previous_slot != slot) {
    move_shortcut_slots(previous_slot, slot);
  }
  return item;
}

void Project::remove_file_record(int slot) {
  FileRecord& record = files_.at(slot);
  if (!record.source.empty()) {
    unindex_file(slot);
    free_files_.release(slot);
    --used_files_;
  }
  record = FileRecord();
  shortcuts_.erase(slot);
}

const ShortcutSlots& Project::shortcuts(int slot) const {
  static const ShortcutSlots kNone{};
  auto it = shortcuts_.find(slot);
  return it == shortcuts_.end() ? kNone : it->second;
}

ShortcutSlot& Project::shortcut(int slot, int location) {
  if (slot < 0 || slot >= kFileSlots) throw std::out_of_range("file slot");
  return shortcuts_[slot].at(location);
}

void Project::move_shortcut_slots(int from, int to) {
  if (from == to) return;
  auto it = shortcuts_.find(from);
  if (it == shortcuts_.end()) {
    shortcuts_.erase(to);
    return;
  }
  ShortcutSlots moved = it->second;
  shortcuts_.erase(it);
  shortcuts_[to] = moved;
}

void Project::move_file_record(int from, int to) {
  if (from == to) return;
  if (file_in_use(to)) remove_file_record(to);
  const FileRecord& source = files_.at(from);
  move_shortcut_slots(from, to);
  if (!source.source.empty()) {
    int slot_taken = to;
    FileRecord& target = files_[slot_taken];
    target.source = source.source;
    target.name = source.name;
    target.target_folder = source.target_folder;
    target.item = source.item;
    free_files_.take(slot_taken);
    ++used_files_;
    index_file(slot_taken);
  }
  remove_file_record(from);
}

std::vector<int> Project::compacted_order() const {
  // The highest used slot moves to the lowest free one until every used
  // slot lies below every free one; on slot numbers only.
  const int end = file_slot_end();
  std::vector<int> owner(static_cast<std::size_t>(end), -1);
  for (int slot = 0; slot < end; ++slot) {
    if (file_in_use(slot)) owner[slot] = slot;
  }
  int lowest_free = 0;
  for (int slot = end - 1; slot >= 0; --slot) {
    if (owner[slot] < 0) continue;
    while (lowest_free < end && owner[lowest_free] >= 0) ++lowest_free;
    if (lowest_free >= slot) break;
    owner[lowest_free] = owner[slot];
    owner[slot] = -1;
  }
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(file_count()));
  for (int slot : owner) {
    if (slot >= 0) order.push_back(slot);
  }
  return order;
}

void Project::compact_file_table() {
  // Each record moves from a slot in use to one that was free, so the moves
  // may be made in any order.
  const std::vector<int> order = compacted_order();
  for (int saved = 0; saved < static_cast<int>(order.size()); ++saved) move_file_record(order[saved], saved);
}

int Project::find_file_by_tree_item(TreeItem item) const { return file_by_item_.first(item); }

int Project::find_file_by_name_and_folder(const std::string& name, const std::string& folder) const {
  return file_by_key_.first(file_key(name, folder));
}

void Project::set_file_source(int slot, const std::string& source) {
  FileRecord& record = files_.at(slot);
  if (record.source.empty() || source.empty()) return;
  record.source = source;
}

void Project::set_file_name(int slot, const std::string& name) {
  if (!file_in_use(slot)) return;
  unindex_file(slot);
  files_[slot].name = name;
  index_file(slot);
}

void Project::set_file_target_folder(int slot, const std::string& folder) {
  if (!file_in_use(slot)) return;
  unindex_file(slot);
  files_[slot].target_folder = folder;
  index_file(slot);
}

// --- Pictures

int Project::add_image(const std::string& path, int step, bool background, int mode, int x, int y) {
  if (path.empty()) return kImageSlots;
  for (int slot = 0; slot < kImageSlots; ++slot) {
    if (images_[slot].path.empty()) {
      images_[slot] = {path, step, background, mode, x, y};
      return slot;
    }
  }
  return kImageSlots;
}

void Project::remove_image(int slot) { images_.at(slot) = ImageRecord(); }

// --- Macros

int Project::add_macro(const Macro& macro) {
  if (macro.name.empty()) return kMacroSlots;
  for (int slot = 0; slot < kMacroSlots; ++slot) {
    if (macros_[slot].name.empty()) {
      macros_[slot] = macro;
      // The count stays an upper bound of the slots in use.
      if (macro_count_ < kMacroSlots) ++macro_count_;
      if (macro_count_ <= slot) macro_count_ = slot + 1;
      return slot;
    }
  }
  return kMacroSlots;
}

void Project::remove_macro(int slot) {
  macros_.at(slot) = Macro();
  for (const Macro& macro : macros_) {
    if (!macro.name.empty()) return;
  }
  macro_count_ = 0;
}

bool Project::append_macro(const Macro& macro) {
  if (macro_count_ >= kMacroSlots) return false;
  macros_[macro_count_++] = macro;
  return true;
}

// --- Uninstaller

void Project::set_include_uninstaller(bool on, const std::string& source) {
  settings_.include_uninstaller = on;
  int slot = uninstaller_item_ == kNoItem ? kNoSlot : find_file_by_tree_item(uninstaller_item_);
  if (on) {
    if (slot != kNoSlot) return;
    uninstaller_item_ = add_file(source, "Uninstall.exe", kInstallRootPath, install_root());
  } else {
    if (slot != kNoSlot) {
      tree_.remove(uninstaller_item_);
      remove_file_record(slot);
    }
    uninstaller_item_ = kNoItem;
  }
}

std::string folder_name_of_path(const std::string& path) {
  std::size_t last = path.rfind('\\');
  if (last == std::string::npos || last == 0) return "";
  std::size_t previous = path.rfind('\\', last - 1);
  std::size_t start = previous == std::string::npos ? 0 : previous + 1;
  return path.substr(start, last - start);
}

std::string copy_name(const std::string& name, int copies) {
  static const std::string prefix = "copy of ";
  if (copies <= 0) return name;
  if (prefix.size() * static_cast<std::size_t>(copies) + name.size() > kMaxPathLength) {
    return "copy " + std::to_string(copies) + " of " + name;
  }
  std::string copy;
  copy.reserve(prefix.size() * static_cast<std::size_t>(copies) + name.size());
  for (int i = 0; i < copies; ++i) copy += prefix;
  return copy + name;
}

void new_project_settings(Settings& settings) {
  settings.shortcuts_for = package::ShortcutFolders::all_users;
  settings.languages = all_languages();
  settings.compression = package::Compression::lzma;
}

}  // namespace quill::project
