// The project: fixed tables of file, folder, picture and macro slots, the
// file tree they refer to, and the plain settings with their defaults. One
// Project is what the builder has open; the caller keeps edits, saves and
// builds apart (a build works on a copy).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "builder/project/tree.h"
#include "package/declarations.h"
#include "package/compression.h"
#include "package/install_scope.h"

namespace quill::project {

constexpr int kFileSlots = 32768;
constexpr int kFolderSlots = 32768;
constexpr int kImageSlots = 1024;
constexpr int kImageSteps = 7;             // a picture shows at wizard step 1 to 7
constexpr int kImageMaxPosition = 65535;  // a placed background picture's x and y
constexpr int kMacroSlots = 1024;
constexpr int kNoSlot = 32768;  // what the file and folder lookups answer on failure
constexpr int kShortcutLocations = 3;

extern const char kInstallRootPath[];  // "%install path%\"
extern const char kCustomRootPath[];   // "%custom path%\"
extern const char kBackupFileName[];   // "ProjectBackup.qspbak"

// Location codes of the three shortcut slots of a file.
enum ShortcutLocation { kDesktop = 0, kStartMenu = 1, kQuickLaunch = 2 };

struct ShortcutSlot {
  std::string start_menu_folder;
  std::string name;  // empty: no shortcut at this location
  std::string target;
  int location = 0;
};

using ShortcutSlots = std::array<ShortcutSlot, kShortcutLocations>;

struct FileRecord {
  std::string source;  // empty: free slot
  std::string name;
  std::string target_folder;
  TreeItem item = kNoItem;
};

struct FolderRecord {
  std::string path;  // ends in "\"; empty: free slot
  TreeItem item = kNoItem;
};

struct ImageRecord {
  std::string path;  // empty: free slot
  int step = 1;      // wizard step 1..7
  bool background = false;
  int mode = 0;      // 0 stretch, 1 centre, 2 at x, y
  int x = 0;
  int y = 0;
};

struct Macro {
  std::string name;  // with its percent signs; empty: free slot
  std::string value;
  std::string key;
  std::string value_name;
};

// Windows colour values: red in the low byte, then green, then blue.
using Colour = std::uint32_t;
inline Colour make_colour(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline int red_of(Colour c) { return static_cast<int>(c & 0xFF); }
inline int green_of(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int blue_of(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// The text font of the background window as the project file carries it.
// The lines are kept as read so that a project passes through untouched
// where no font system exists; the Win32 builder fills them from its font.
struct FontLines {
  std::string face = "Arial";
  std::string points = "36";
  std::string weight = "700";
  std::string italic = "0";
  std::string underline = "0";
  std::string strike_out = "0";
  std::string charset = "0";
};

struct FullscreenOptions {
  int width = 640;
  int height = 480;
  bool stretch_to_desktop = true;
  bool without_title_bar = false;
  std::string text = "%name%";
  Colour background_colour = 0xFF0000;
  bool fade = true;
  Colour fade_colour = 0x000000;
  FontLines font;
  Colour text_colour = 0xFFFFFF;
  int alignment = 0;  // 0 left, 1 centre, 2 right
  bool shadow = true;
  Colour shadow_colour = 0x000000;
  int shadow_offset = 4;  // 1..10
};

struct WindowSettings {
  int progress_style = 0;  // 0 segmented, 1 smooth
  bool shrink_during_install = false;
};

// The Windows the package is made for: its installer stub, uninstaller,
// Program Files folder and registry view.
enum class Architecture { x86, x64 };

// The author's texts in one more language; an empty text falls back to the
// project's main one.
struct LanguageTexts {
  std::string title;
  std::string welcome_file;
  std::string licence_file;
  std::string eoi_message;
  std::string background_text;
};

// The settings that the main window's boxes, checks and radios hold.
struct Settings {
  std::string welcome_file;
  std::string licence_file;
  std::string program_name = "Software Name";
  std::string title = "%name% Setup";
  std::string default_folder = "%program files%\\%name%";
  bool try_path_first = false;
  std::string preferred_folder = "%a registry key macro%";
  std::string output_path;
  std::string eoi_message;
  std::string eoi_command;
  bool message_box_ok = true;  // false: Yes / No
  bool include_uninstaller = false;
  bool use_background_window = false;
  Architecture architecture = Architecture::x86;
  // Who the package installs for, and whose shortcut folders a machine-wide
  // install uses. The defaults are what a project file without these lines
  // means (every file saved before they existed); a project made from
  // scratch starts with all users' folders (new_project_settings).
  package::Scope install_scope = package::Scope::machine;
  package::ShortcutFolders shortcuts_for = package::ShortcutFolders::current_user;
  // The languages the package carries, by code (common/languages.h), English
  // first; a project file saved without them means English alone.
  std::vector<std::string> languages = {"en"};
  // The author's texts in the other carried languages, by language code.
  std::map<std::string, LanguageTexts> language_texts;
  // What the package tells the tools that deploy it (quillset-build
  // manifest and describe); empty: not given. An empty identifier means
  // the one made of %publisher% and the name (package_listing.h).
  std::string package_identifier;
  std::string licence_name;  // a short licence name: "MIT", "Proprietary"
  std::string short_description;
  // How the package's files are compressed: deflate in every project file
  // saved before the choice existed, LZMA for a project made from scratch.
  package::Compression compression = package::Compression::deflate;

  // True when the settings of the project file's optional lines (45 on)
  // hold what their absence means.
  bool optional_lines_default() const {
    return architecture == Architecture::x86 && install_scope == package::Scope::machine &&
           shortcuts_for == package::ShortcutFolders::current_user;
  }
};

// The choices a project made from scratch (the builder's start and New, the
// command line's "new") starts with where they differ from the defaults:
// a machine-wide install's shortcuts for all users, every built-in language.
// The name of a record's `copies`-th copy: the name itself for 0, else
// "copy of " that many times in front while the name stays within
// kMaxPathLength bytes, beyond that "copy <copies> of <name>".
std::string copy_name(const std::string& name, int copies);

void new_project_settings(Settings& settings);

class Project {
 public:
  Project();

  // Restores every default, empties every table and rebuilds the two roots.
  void reset_project();

  // --- Tree and roots.
  const Tree& tree() const { return tree_; }
  Tree& tree() { return tree_; }
  TreeItem install_root() const { return folders_[0].item; }
  TreeItem custom_root() const { return folders_[1].item; }

  // --- Folder table.
  const FolderRecord& folder(int slot) const { return folders_.at(slot); }
  // One past the highest folder slot used since the last reset.
  int folder_slot_end() const { return free_folders_.end(); }
  int folder_count() const { return used_folders_; }  // roots included
  // Stores the pair in the first free slot; kNoSlot when the table is full.
  int add_folder_record(const std::string& path, TreeItem item);
  void remove_folder_record(int slot);
  void set_folder_path(int slot, const std::string& path);
  // Inserts a sorted folder node under `parent` and records it; kNoItem when
  // the table is full.
  TreeItem insert_folder(TreeItem parent, const std::string& name, const std::string& path);
  // Makes every folder of an "%install path%\" path exist; returns the
  // deepest folder's item.
  TreeItem ensure_folder_path(const std::string& path);
  int find_folder_by_tree_item(TreeItem item) const;
  // First slot holding exactly this path, kNoSlot when none.
  int find_folder_by_path(const std::string& path) const;

  // --- File table.
  const FileRecord& file(int slot) const { return files_.at(slot); }
  // One past the highest file slot used since the last reset; every slot
  // from here to kFileSlots is free. A walk of the table can stop here.
  int file_slot_end() const { return free_files_.end(); }
  bool file_in_use(int slot) const { return !files_.at(slot).source.empty(); }
  int file_count() const { return used_files_; }
  // Stores the record in the first free slot and returns it; kNoSlot when
  // the table is full or the source path is empty (an empty source marks a
  // free slot, so such a record could not be kept).
  int add_file_record(const std::string& source, const std::string& name,
                      const std::string& target_folder, TreeItem item);
  // Adds a file with a unique (name, target folder) pair under `parent`:
  // a name in use gets "copy of " in front, once more for each such copy in
  // use, as long as the name stays within a project file's line; further
  // copies are named "copy N of name" (copy_name). When `previous_slot` is a slot number, its shortcuts move to the new
  // record. Returns the new node, kNoItem when nothing was added.
  TreeItem add_file(const std::string& source, const std::string& name,
                    const std::string& target_folder, TreeItem parent,
                    int previous_slot = kNoSlot);
  void remove_file_record(int slot);
  void move_shortcut_slots(int from, int to);
  void move_file_record(int from, int to);
  // Moves records down so that the used slots are 0 .. n-1.
  void compact_file_table();
  // The file slots in use, in the order compaction would leave them.
  std::vector<int> compacted_order() const;
  int find_file_by_tree_item(TreeItem item) const;
  int find_file_by_name_and_folder(const std::string& name, const std::string& folder) const;
  void set_file_source(int slot, const std::string& source);
  void set_file_name(int slot, const std::string& name);
  void set_file_target_folder(int slot, const std::string& folder);
  // The three shortcut slots of a file slot, in location order; a slot that
  // never had a shortcut reads as three empty ones.
  const ShortcutSlots& shortcuts(int slot) const;
  const ShortcutSlot& shortcut(int slot, int location) const { return shortcuts(slot).at(location); }
  ShortcutSlot& shortcut(int slot, int location);
  // What a shortcut of the file starts: its target folder and its name.
  std::string shortcut_target(int slot) const {
    return files_.at(slot).target_folder + files_.at(slot).name;
  }

  // --- Pictures.
  const ImageRecord& image(int slot) const { return images_.at(slot); }
  // Stores the picture in the first free slot; kImageSlots when full.
  int add_image(const std::string& path, int step, bool background, int mode, int x, int y);
  void remove_image(int slot);
  // Replaces a picture's record (an empty path frees the slot).
  void set_image(int slot, const ImageRecord& image) { images_.at(slot) = image; }

  // --- Macros.
  const Macro& macro(int slot) const { return macros_.at(slot); }
  int macro_count() const { return macro_count_; }
  // First free slot, count raised by one; kMacroSlots when full or the name is empty.
  int add_macro(const Macro& macro);
  void remove_macro(int slot);
  // Stores a record in the slot at the count and raises the count (loading).
  bool append_macro(const Macro& macro);

  // --- Settings.
  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }
  FullscreenOptions& fullscreen() { return fullscreen_; }
  const FullscreenOptions& fullscreen() const { return fullscreen_; }
  WindowSettings& window_settings() { return window_settings_; }
  const WindowSettings& window_settings() const { return window_settings_; }

  // What the package changes besides its files: registry values,
  // associations, the PATH, environment variables.
  package::Declarations& declarations() { return declarations_; }
  const package::Declarations& declarations() const { return declarations_; }

  // The uninstaller's node, kNoItem when none is remembered.
  TreeItem uninstaller_item() const { return uninstaller_item_; }
  void set_uninstaller_item(TreeItem item) { uninstaller_item_ = item; }
  // Turns "Include uninstaller" on (adding "Uninstall.exe" from `source`
  // under the install-path root) or off (removing that record).
  void set_include_uninstaller(bool on, const std::string& source);

  // Current project path: empty for a project never saved or opened.
  const std::string& current_path() const { return current_path_; }
  void set_current_path(const std::string& path) { current_path_ = path; }
  // "Quillset - " + the current path, or "Quillset - New Unsaved Project".
  std::string window_title() const;

 private:
  // Slots by key with the lowest slot first, so the first match wins.
  template <typename Key, typename Hash = std::hash<Key>>
  class SlotIndex {
   public:
    void add(const Key& key, int slot) { map_[key].insert(slot); }
    void remove(const Key& key, int slot) {
      auto it = map_.find(key);
      if (it == map_.end()) return;
      it->second.erase(slot);
      if (it->second.empty()) map_.erase(it);
    }
    int first(const Key& key) const {
      auto it = map_.find(key);
      return it == map_.end() ? kNoSlot : *it->second.begin();
    }
    void clear() { map_.clear(); }

   private:
    std::unordered_map<Key, std::set<int>, Hash> map_;
  };

  // Free slots of a fixed table as a bit set with a lowest-free search.
  class FreeSlots {
   public:
    explicit FreeSlots(int count);
    void reset();
    void take(int slot);
    void release(int slot);
    int lowest() const;  // the table size when none is free
    // One past the highest slot taken since the last reset: no slot from
    // here on has been written.
    int end() const { return end_; }

   private:
    int count_;
    int end_ = 0;
    std::vector<std::uint64_t> words_;  // bit set = free
  };

  static std::string file_key(const std::string& name, const std::string& folder);
  // Forgets what copy_hints_ knows of the names a record's name is a copy of.
  void forget_copy_hints(const std::string& name, const std::string& folder);
  void index_file(int slot);
  void unindex_file(int slot);

  Tree tree_;
  std::vector<FileRecord> files_;
  // Shortcut slots by file slot, kept apart: few files have any, and the
  // full table would cost a third of a kilobyte per file slot.
  std::unordered_map<int, ShortcutSlots> shortcuts_;
  std::vector<FolderRecord> folders_;
  std::vector<ImageRecord> images_;
  std::vector<Macro> macros_;
  int macro_count_ = 0;
  int used_files_ = 0;
  int used_folders_ = 0;
  FreeSlots free_files_;
  FreeSlots free_folders_;
  SlotIndex<TreeItem> file_by_item_;
  SlotIndex<std::string> file_by_key_;
  // By the key of a name and folder that two records were given: how many
  // of its copy names (copy_name 0, 1, ...) are known to be in use, so that
  // the next copy is found without trying each again. Only a record that
  // leaves a name can make this wrong; it forgets the counts it touches.
  std::unordered_map<std::string, int> copy_hints_;
  SlotIndex<TreeItem> folder_by_item_;
  SlotIndex<std::string> folder_by_path_;

  Settings settings_;
  FullscreenOptions fullscreen_;
  WindowSettings window_settings_;
  package::Declarations declarations_;
  TreeItem uninstaller_item_ = kNoItem;
  std::string current_path_;
};

// The last folder name of a path that ends in "\": the text between its last
// two backslashes, or everything before a single one ("%install path%").
std::string folder_name_of_path(const std::string& path);

}  // namespace quill::project
