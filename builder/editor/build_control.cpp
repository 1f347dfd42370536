// The build button: start a build on a copy of the project, or abort it.
#include "builder/editor/editor.h"
#include "builder/editor/messages.h"

namespace quill::editor {

BuildPage Editor::build_page() const {
  BuildPage page;
  if (building()) {
    page.building = true;
    page.button_caption = "Abort build";
    page.output_enabled = false;
    page.tab_control_shown = false;
  }
  return page;
}

void Editor::build_button(project::BuildReport& report,
                          std::function<void(project::BuildOutcome)> finished) {
  if (building()) {
    if (prompter_.ask(text::kAbortQuestion, Buttons::yes_no, Icon::warning) != Answer::yes) return;
    if (!building()) return;  // it ended while the question was open
    view_.set_status(text::kAborting);
    build_thread_.request_abort();
    return;
  }
  save_backup();
  std::string output = project_.settings().output_path;
  if (!output.empty() && os_.file_status(output).exists) {
    if (prompter_.ask(output + text::kReplaceOutput, Buttons::yes_no, Icon::question) != Answer::yes) return;
  }
  project::BuildOptions options;
  options.output_path = output;
  options.builder_folder = builder_folder_;
  std::unique_ptr<project::Project> snapshot;
  {
    Lock lock(mutex_);
    snapshot = std::make_unique<project::Project>(project_);
  }
  build_thread_.start(std::move(*snapshot), os_, options, report, std::move(finished));
  view_.build_page_changed();
}

void Editor::build_finished(project::BuildOutcome outcome) {
  build_thread_.join();
  view_.build_page_changed();
  if (outcome == project::BuildOutcome::stub_error) {
    prompter_.tell(project::stub_error_message(project_.settings().architecture), Icon::warning);
  }
}

}  // namespace quill::editor
