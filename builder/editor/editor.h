// The builder's editor: the open project and every rule of the main window
// and its file tree, free of any window system. One Editor lives for the
// whole run; it reaches the author through a Prompter and the window through
// an EditorView, and the tree view follows the project's tree through a
// project::TreeObserver.
//
// Win32 side, in order:
//  - WinMain: remember_command_line() (startup.h), then the main dialog.
//  - WM_INITDIALOG: create the Editor (os, prompter, view), attach the tree
//    view's observer with set_tree_observer(), call initialise(), lay out
//    tab 0, call start_backup_writer(), start timer 1 (200 ms).
//  - Forward every command to the method named for it below; render after
//    the EditorView callbacks. Hold no rule in the dialog procedure.
//  - WM_TIMER 1: sync_tick(text of 1159, text of 1161).
//  - Keys Ctrl+X/C/V and Delete: tree_key(); act only when it returns true.
//  - Tree right click: point_at(item under the mouse), then a pop-up menu of
//    context_menu() whose choice goes to context_command(); a drag:
//    begin_drag(), then drop() when the button is released over an item.
//  - Menu: new_project(), open_project(), save(), save_as(), quit();
//    the close box: close(). End the dialog when quit()/close() return true.
//  - Build button: build_button(report, finished). `report` is the window's
//    BuildReport: it is called on the build's thread and must only post
//    messages to the window. `finished` is called on that thread too; it
//    posts a message whose handler calls build_finished(outcome).
//
// Threads: every method is for the main window's thread, except
// save_backup(), which the backup writer calls. Project changes hold the
// editor's lock; the backup writer renders the project's text under it and
// writes the file outside it; a build works on a copy taken when it starts.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "builder/editor/graphics_tab.h"
#include "builder/editor/item_move.h"
#include "builder/editor/languages_dialog.h"
#include "builder/editor/declarations_dialog.h"
#include "builder/editor/macros_dialog.h"
#include "builder/editor/prompter.h"
#include "builder/editor/selection_panel.h"
#include "builder/editor/startup.h"
#include "builder/editor/view.h"
#include "builder/project/backup.h"
#include "builder/project/build.h"
#include "builder/project/build_thread.h"
#include "builder/project/project.h"
#include "os/os.h"

namespace quill::editor {

// The keys that act on the tree (hotkeys 1 to 4).
enum class TreeKey { cut, copy, paste, remove };

// The build page's state beside progress and status (which the build reports).
struct BuildPage {
  bool building = false;
  std::string button_caption = "Build installer";  // 1008; "Abort build" while building
  bool output_enabled = true;   // 1006 and 1007
  bool tab_control_shown = true;  // 1074
};

class Editor {
 public:
  // `os`, `prompter` and `view` must outlive the editor. The builder folder
  // is the folder of os.module_path().
  Editor(os::Os& os, Prompter& prompter, EditorView& view);
  // Stops the backup writer; aborts a running build and waits for it.
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  // --- The project (read on the main thread; change it only through commands).
  const project::Project& project() const { return project_; }
  void set_tree_observer(project::TreeObserver* observer);
  // "Quillset - <path>" or "Quillset - New Unsaved Project"; a recovered
  // backup of a saved project: "Quillset - <its path> (recovered)".
  std::string title() const;
  const std::string& builder_folder() const { return builder_folder_; }
  const std::string& backup_path() const { return backup_path_; }

  // --- Start-up.
  // The association question, the crash marker and the project to open.
  void initialise();
  // Saves the backup now and then every `interval` until the editor ends.
  void start_backup_writer(std::chrono::milliseconds interval = std::chrono::milliseconds(30000));
  // Writes the backup file; any thread.
  bool save_backup();

  // --- The main window's settings (the rows of project::settings_table()
  // with main_window set) and the controls' enabled states.
  // The value in the table's form: a text, "on" / "off", "ok" / "yesno".
  std::string setting(project::SettingId id) const;
  // Stores a value of that form (a text cut to 259 characters); a switch or
  // choice is shown again through EditorView::setting_changed, and
  // "uninstaller" adds or removes the uninstaller's file. Settings of the
  // appearance dialogs are not the main window's and are ignored here.
  void set_setting(project::SettingId id, const std::string& value);
  // Enabled state of the controls that depend on others: 1036 (on 1154),
  // 1111 (on 1108), 1006 / 1007 (not while building), and the tree page's
  // controls as panel() says.
  bool is_enabled(int control) const;
  // Browse... 1007, 1028, 1034: the file dialog, then the path goes into
  // the output, welcome or licence file setting (EditorView::setting_changed).
  void browse(int control);
  // Edit / New 1029, 1035: "notepad" with the welcome or licence file.
  void edit_document(int control);

  // --- The "Files to install" page.
  const PageState& page() const { return page_; }
  project::TreeItem current_item() const { return page_.current; }
  SelectionPanel panel() const { return compute_panel(project_, page_); }
  // The tree reports a new selection (kNoItem: none) or a right click.
  void select(project::TreeItem item);
  void add_file();    // 1002
  void add_folder();  // 1003
  void remove();      // 1004
  // Label editing: false from begin refuses the edit (the roots); false
  // from end keeps the old label (the text was refused with a message).
  bool begin_label_edit(project::TreeItem item);
  bool end_label_edit(project::TreeItem item, const std::string& text);
  // 1068: starts custom-path editing, or ends it taking `install_to` (the
  // text of 1013) as the current file's new target folder.
  void custom_path_button(const std::string& install_to);
  // 1157 selection change.
  void location_changed(int location);
  // Timer 1: the texts of 1159 and 1161.
  void sync_tick(const std::string& shortcut_name, const std::string& start_menu_folder);
  // A tree key. True when the editor acted on it (swallow the key); false:
  // let it do its usual editing. Acts only while the tree view has the
  // keyboard focus and the main window is the foreground window.
  bool tree_key(TreeKey key, bool tree_has_focus, bool foreground = true);

  // --- Moving and copying tree items (move_commands.cpp).
  // The tree clipboard: an item and a mode; kNoItem when empty.
  project::TreeItem clipboard_item() const { return clipboard_.item; }
  // A right click on `item`: the menu and the keys act on it until the
  // selection changes; the panel still shows the selected item.
  void point_at(project::TreeItem item);
  struct ContextEntry {
    int command;
    const char* caption;
    bool separator_before;
  };
  // The context menu's entries for the current item, in order.
  std::vector<ContextEntry> context_menu() const;
  // A context menu command (0xFFFF cut ... 0xFFFA move all out). File
  // properties (0xFFFC) and folder properties (0xFFFB) belong to the window.
  void context_command(int command);
  void cut();
  void copy();
  // Item move of the clipboard's item onto the current item.
  void paste();
  // "Move all files out of this folder" on the current folder.
  void move_all_out();
  // The tree reports that `item` is being dragged: false refuses the drag.
  bool begin_drag(project::TreeItem item);
  // The dragged item was released over `target` (kNoItem: no item).
  void drop(project::TreeItem dragged, project::TreeItem target);
  // The folder properties text of the current folder (empty: not a folder).
  std::string folder_properties() const;
  // A macros dialog over the project's macro table.
  std::unique_ptr<MacrosDialog> macros_dialog();
  // The registry and environment dialog over the project's declarations.
  std::unique_ptr<DeclarationsDialog> declarations_dialog();

  // --- Menu 106. File commands are ignored while a build runs.
  void new_project();
  void open_project();
  void save();
  void save_as();
  // True: end the main window (the crash marker is already emptied).
  bool quit();
  // The close box; works while a build runs (which it aborts and awaits).
  bool close();

  // --- Build page.
  bool building() const { return build_thread_.busy(); }
  BuildPage build_page() const;
  // 1008: starts a build, or offers to abort the running one.
  void build_button(project::BuildReport& report,
                    std::function<void(project::BuildOutcome)> finished = nullptr);
  // On the main thread after the build ended. A build that met warnings
  // and was not aborted adds their number to its last status ("Done!
  // (1 warning)") and lists them in a message box.
  void build_finished(project::BuildOutcome outcome);
  // Waits for a running build to end (tests; the close box).
  void wait_for_build() { build_thread_.join(); }

  // --- The "Installer graphics" page (graphics_tab.h, graphics_tab.cpp).
  const GraphicsPage& graphics() const { return graphics_; }
  // The selected picture's record (an empty one when none is selected).
  const project::ImageRecord& selected_image() const;
  void add_image();                         // 1021
  void remove_image();                      // 1022
  void select_image(int position);          // 1011 selection change; -1: none
  void image_step_changed(int step);        // 1155: the chosen entry's item data
  void image_background_clicked(bool now_set);  // 1109
  void image_mode_clicked(int control);     // 1116, 1164, 1169
  // Timer 1: the texts of 1114 and 1115.
  void image_sync_tick(const std::string& x, const std::string& y);

  // --- The two appearance dialogs end with "Save and close" through these
  // (fullscreen_options.h, window_settings.h).
  void store_fullscreen(const project::FullscreenOptions& options);
  void store_window_settings(const project::WindowSettings& settings);

  // --- The languages dialog (languages_dialog.h): a working copy of the
  // project's languages and their texts, stored back by "Save and close";
  // true when the project changed.
  std::unique_ptr<LanguagesDialog> languages_dialog();
  bool store_languages(const LanguagesDialog& dialog);

 private:
  using Lock = std::lock_guard<std::recursive_mutex>;

  // Tree page helpers (tree_commands.cpp).
  bool is_folder(project::TreeItem item) const;
  bool is_file(project::TreeItem item) const;
  bool is_root(project::TreeItem item) const;
  bool check_insert_target();
  void remove_item(project::TreeItem item);
  void empty_folder(project::TreeItem folder);
  void forget_uninstaller_if_gone();
  void include_uninstaller(bool on);
  bool rename_file(int slot, const std::string& text);
  bool rename_folder(int slot, const std::string& text);
  void show_item(project::TreeItem item);
  std::string folder_path_of(project::TreeItem item) const;

  // File flows (file_flows.cpp).
  bool save_to(const std::string& path);
  // Save, or Save as when the project has no path (a recovered project
  // offers its own path first); false when cancelled or failed.
  bool save_or_save_as();
  bool save_as_dialog();
  bool load(const std::string& path);
  void fresh_project();
  void project_replaced();

  // Moves (move_commands.cpp).
  void run_move(project::TreeItem source, project::TreeItem destination, MoveMode mode);
  void moved(MoveOutcome outcome);
  // Empties the clipboard when its item left the tree.
  void check_clipboard();

  os::Os& os_;
  Prompter& prompter_;
  EditorView& view_;
  std::string builder_folder_;  // ends in a separator
  std::string backup_path_;
  // Project changes and the backup's copy; recursive, so that a view called
  // back during a change may start another.
  mutable std::recursive_mutex mutex_;
  std::mutex backup_mutex_;    // one backup write at a time
  std::string backup_origin_;  // the last "backupof" written (backup_mutex_)
  // The path of the project a recovered backup came from, until it is saved
  // or replaced; the project itself has no path meanwhile.
  std::string recovered_from_;
  project::Project project_;
  PageState page_;
  GraphicsPage graphics_;
  struct {
    project::TreeItem item = project::kNoItem;
    MoveMode mode = MoveMode::move;
  } clipboard_;
  // Between the build and the window's report: keeps the warnings and the
  // last status for build_finished (build_control.cpp).
  class BuildRelay;
  std::shared_ptr<BuildRelay> build_relay_;
  project::BuildThread build_thread_;
  std::unique_ptr<project::BackupThread> backup_writer_;
};

}  // namespace quill::editor
