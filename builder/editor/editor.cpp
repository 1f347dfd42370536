// The editor: construction, start-up, backup, and the project controls.
#include "builder/editor/editor.h"

#include "builder/editor/controls.h"
#include "builder/editor/messages.h"
#include "builder/project/project_file.h"
#include "builder/project/settings_table.h"
#include "common/limits.h"

namespace quill::editor {

using project::Project;

Editor::Editor(os::Os& os, Prompter& prompter, EditorView& view)
    : os_(os), prompter_(prompter), view_(view) {
  std::string program = os_.module_path();
  std::size_t cut = program.find_last_of("\\/");
  builder_folder_ = cut == std::string::npos ? std::string() : program.substr(0, cut + 1);
  backup_path_ = project::backup_path_for(program);
  project::new_project_settings(project_.settings());
  page_.current = project_.install_root();
}

Editor::~Editor() {
  backup_writer_.reset();
  build_thread_.request_abort();
  build_thread_.join();
}

void Editor::set_tree_observer(project::TreeObserver* observer) {
  Lock lock(mutex_);
  project_.tree().set_observer(observer);
  // Assigning the tree to itself through a copy replays it to the view.
  project::Tree copy = project_.tree();
  project_.tree() = copy;
}

// --- Start-up

void Editor::initialise() {
  StartupPlan plan = read_startup_settings(os_);
  if (plan.ask_association) {
    if (prompter_.ask(text::kAssociateQuestion, Buttons::yes_no, Icon::question, false) == Answer::yes) {
      write_association(os_, association_program_path(os_.module_path()));
    }
    mark_association_asked(os_, plan);
  }
  switch (plan.action) {
    case StartupPlan::ask_backup:
      if (prompter_.ask(text::kCrashQuestion, Buttons::yes_no, Icon::warning) == Answer::yes) {
        if (load(backup_path_)) {
          Lock lock(mutex_);
          recovered_from_ = read_backup_origin(os_);
        }
        view_.title_changed();
      } else {
        fresh_project();
      }
      break;
    case StartupPlan::open_toopen:
      load(plan.toopen);
      clear_toopen(os_);
      break;
    case StartupPlan::new_project:
      fresh_project();
      break;
  }
}

void Editor::start_backup_writer(std::chrono::milliseconds interval) {
  if (backup_writer_) return;
  backup_writer_ = std::make_unique<project::BackupThread>([this] { save_backup(); }, interval);
}

bool Editor::save_backup() {
  std::lock_guard<std::mutex> writing(backup_mutex_);
  // Rendered without compacting, so that no record moves while the main
  // window works with it; written outside the lock.
  std::string text, origin;
  {
    Lock lock(mutex_);
    text = project::render_project(project_);
    origin = project_.current_path().empty() ? recovered_from_ : project_.current_path();
  }
  if (!project::write_project_text(os_, backup_path_, text)) return false;
  if (origin != backup_origin_) {
    write_backup_origin(os_, origin);
    backup_origin_ = origin;
  }
  return true;
}

std::string Editor::title() const {
  if (recovered_from_.empty()) return project_.window_title();
  return std::string(text::kCaption) + " - " + recovered_from_ + text::kRecoveredTitle;
}

// --- Main window settings

std::string Editor::setting(project::SettingId id) const {
  return project::setting_value(project_, project::setting_row(id));
}

void Editor::set_setting(project::SettingId id, const std::string& value) {
  const project::Setting& row = project::setting_row(id);
  if (!row.main_window) return;
  if (id == project::SettingId::uninstaller) {
    include_uninstaller(value == "on");
    return;
  }
  {
    Lock lock(mutex_);
    project::store_setting(project_, row, cut_to_box_length(value));
  }
  // A typed text is already in its box.
  if (row.kind == project::SettingKind::flag || row.kind == project::SettingKind::choice) {
    view_.setting_changed(id);
  }
  // The default folder may have followed the scope.
  if (id == project::SettingId::install_scope) view_.setting_changed(project::SettingId::default_folder);
}

bool Editor::is_enabled(int control) const {
  switch (control) {
    case kRegistryMacro: return project_.settings().try_path_first;
    case kFullscreenOptions: return project_.settings().use_background_window;
    // A per-user install always uses the user's own folders.
    case kAllUsersShortcuts: return project_.settings().install_scope == package::Scope::machine;
    case kOutputPath:
    case kBrowseOutput: return !building();
    default: break;
  }
  if (tab_of_control(control) == kGraphicsTab) return graphics_enabled(project_, graphics_, control);
  if (tab_of_control(control) != kFilesTab) return true;
  SelectionPanel p = panel();
  switch (control) {
    case kAddFile:
    case kAddFolder: return p.add_enabled;
    case kRemoveItem: return p.remove_enabled;
    case kInstallTo: return p.install_to_editable;
    case kCustomPathButton: return p.custom_button_enabled;
    case kShortcutLabel:
    case kLocationList:
    case kShortcutNameLabel:
    case kShortcutName: return p.shortcut_fields_enabled;
    case kStartMenuLabel:
    case kStartMenuFolder: return p.shortcut_fields_enabled && p.start_menu_enabled;
    default: return true;
  }
}

void Editor::browse(int control) {
  using project::SettingId;
  FileDialog dialog;
  SettingId target;
  bool save = false;
  if (control == kBrowseOutput) {
    dialog = {text::kProgramFilter, text::kProgramPattern, "exe", false, true};
    target = SettingId::output;
    save = true;
  } else if (control == kBrowseWelcome || control == kBrowseLicence) {
    dialog = {text::kTextFilter, text::kTextPattern, "", false, false};
    target = control == kBrowseWelcome ? SettingId::welcome_file : SettingId::licence_file;
  } else {
    return;
  }
  if (target == SettingId::output && building()) return;
  std::string path;
  bool chosen = save ? prompter_.choose_file_to_save(dialog, &path) : prompter_.choose_file_to_open(dialog, &path);
  if (!chosen) return;
  set_setting(target, path);
  view_.setting_changed(target);
}

void Editor::edit_document(int control) {
  if (control != kEditWelcome && control != kEditLicence) return;
  const project::SettingId source =
      control == kEditWelcome ? project::SettingId::welcome_file : project::SettingId::licence_file;
  // The system's text editor lies in the Windows folder; a path with
  // blanks reaches it as one argument.
  std::string document = setting(source);
  std::string arguments = document.empty() ? std::string() : "\"" + document + "\"";
  os_.start_program(os_.special_folder(os::SpecialFolder::windows) + "\\notepad.exe", arguments);
}

}  // namespace quill::editor
