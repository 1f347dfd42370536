// The File menu: new, open, save, save as, quit, and the close box.
#include "builder/editor/editor.h"
#include "builder/editor/messages.h"
#include "builder/project/project_file.h"

namespace quill::editor {

void Editor::project_replaced() {
  {
    Lock lock(mutex_);
    recovered_from_.clear();
  }
  page_ = PageState();
  // Items of the old project mean nothing in the new one.
  clipboard_.item = project::kNoItem;
  page_.current = project_.install_root();
  graphics_ = graphics_page_for(project_, graphics_);
  view_.controls_changed();
  view_.title_changed();
  view_.select_item(page_.current);
  view_.panel_changed();
}

void Editor::fresh_project() {
  {
    Lock lock(mutex_);
    project_.reset_project();
    project::new_project_settings(project_.settings());
  }
  project_replaced();
}

bool Editor::load(const std::string& path) {
  project::LoadStatus status;
  {
    Lock lock(mutex_);
    status = project::load_project(project_, os_, path, backup_path_);
    // What was read of a damaged file is no longer that file: saving it
    // back under its name would lose the rest.
    if (status == project::LoadStatus::truncated) project_.set_current_path("");
    // A file that checks "Include uninstaller" without naming its record
    // would build without one: the check shows what the build will do.
    project::Settings& settings = project_.settings();
    if (settings.include_uninstaller && project_.find_file_by_tree_item(project_.uninstaller_item()) == project::kNoSlot) {
      settings.include_uninstaller = false;
      project_.set_uninstaller_item(project::kNoItem);
    }
  }
  if (status == project::LoadStatus::unreadable) {
    prompter_.tell(text::kLoadFailed + path, Icon::warning);
    return false;
  }
  project_replaced();
  if (status == project::LoadStatus::truncated) {
    prompter_.tell(text::kLoadIncomplete + path, Icon::warning);
    return false;
  }
  return true;
}

bool Editor::save_to(const std::string& path) {
  bool saved;
  {
    Lock lock(mutex_);
    saved = project::save_project(project_, os_, path, backup_path_);
  }
  if (!saved) {
    prompter_.tell(text::kSaveFailed + path, Icon::warning);
    return false;
  }
  {
    Lock lock(mutex_);
    recovered_from_.clear();
  }
  view_.title_changed();
  return true;
}

bool Editor::save_as_dialog() {
  FileDialog dialog{text::kProjectSaveFilter, text::kProjectSavePattern, "qsp", true, true};
  std::string path;
  if (!prompter_.choose_file_to_save(dialog, &path)) return false;
  return save_to(path);
}

bool Editor::save_or_save_as() {
  if (project_.current_path().empty() && !recovered_from_.empty()) {
    const Answer answer = prompter_.ask(text::kSaveRecovered + recovered_from_, Buttons::yes_no_cancel,
                                        Icon::question);
    if (answer == Answer::cancel) return false;
    if (answer == Answer::yes) return save_to(recovered_from_);
  }
  if (project_.current_path().empty()) return save_as_dialog();
  return save_to(project_.current_path());
}

void Editor::new_project() {
  if (building()) return;
  Answer answer = prompter_.ask(text::kSaveBeforeNew, Buttons::yes_no_cancel, Icon::question);
  if (answer == Answer::cancel) return;
  // A save that is cancelled or fails keeps the project.
  if (answer == Answer::yes && !save_or_save_as()) return;
  fresh_project();
}

void Editor::open_project() {
  if (building()) return;
  std::string path;
  FileDialog dialog{text::kProjectOpenFilter, text::kProjectOpenPattern, "", false, false};
  if (!prompter_.choose_file_to_open(dialog, &path)) return;
  load(path);
}

void Editor::save() {
  if (building()) return;
  save_or_save_as();
}

void Editor::save_as() {
  if (building()) return;
  save_as_dialog();
}

bool Editor::quit() {
  if (building()) return false;
  return close();
}

bool Editor::close() {
  Answer answer = prompter_.ask(text::kSaveBeforeQuit, Buttons::yes_no_cancel, Icon::question);
  if (answer == Answer::cancel) return false;
  if (answer == Answer::yes && !save_or_save_as()) return false;
  // A running build is stopped and awaited: it removes its work files and
  // the unfinished package itself.
  if (building()) {
    view_.set_status(text::kAborting);
    build_thread_.request_abort();
  }
  build_thread_.join();
  clear_crash_marker(os_);
  return true;
}

}  // namespace quill::editor
