// The build button: start a build on a copy of the project, or abort it.
#include "builder/editor/editor.h"
#include "builder/editor/messages.h"

#include <mutex>

namespace quill::editor {

// Called on the build's thread; read on the main thread once it has ended.
class Editor::BuildRelay : public project::BuildReport {
 public:
  explicit BuildRelay(project::BuildReport& inner) : inner_(inner) {}
  void set_phase(project::BuildPhase phase) override { inner_.set_phase(phase); }
  void set_status(const std::string& text) override {
    inner_.set_status(text);
    std::lock_guard<std::mutex> lock(mutex_);
    last_status_ = text;
  }
  void set_progress_range(std::uint64_t maximum) override { inner_.set_progress_range(maximum); }
  void set_progress(std::uint64_t position) override { inner_.set_progress(position); }
  bool cancel_requested() override { return inner_.cancel_requested(); }
  void warning(const std::string& text) override {
    inner_.warning(text);
    std::lock_guard<std::mutex> lock(mutex_);
    warnings_.push_back(text);
  }
  std::vector<std::string> warnings() {
    std::lock_guard<std::mutex> lock(mutex_);
    return warnings_;
  }
  std::string last_status() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_status_;
  }

 private:
  project::BuildReport& inner_;
  std::mutex mutex_;
  std::vector<std::string> warnings_;
  std::string last_status_;
};


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
  build_relay_ = std::make_shared<BuildRelay>(report);
  build_thread_.start(std::move(*snapshot), os_, options, *build_relay_, std::move(finished));
  view_.build_page_changed();
}

void Editor::build_finished(project::BuildOutcome outcome) {
  build_thread_.join();
  view_.build_page_changed();
  if (outcome == project::BuildOutcome::stub_error) {
    prompter_.tell(project::stub_error_message(project_.settings().architecture), Icon::warning);
  }
  if (!build_relay_ || outcome == project::BuildOutcome::aborted) return;
  const std::vector<std::string> warnings = build_relay_->warnings();
  if (warnings.empty()) return;
  const std::string count = std::to_string(warnings.size());
  view_.set_status(build_relay_->last_status() + " (" + count + (warnings.size() == 1 ? " warning)" : " warnings)"));
  std::string list = text::kBuildWarnings;
  for (const std::string& warning : warnings) list += "\n" + warning;
  prompter_.tell(list, Icon::warning);
}

}  // namespace quill::editor
