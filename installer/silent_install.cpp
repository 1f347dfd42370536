// The silent install: the wizard's folder rule, then the engine with fixed
// answers.
#include "installer/silent_install.h"

#include "installer/command_line.h"
#include "installer/install_folder.h"
#include "installer/install_log.h"
#include "installer/upgrade.h"
#include "installer/wizard.h"

namespace quill::installer {
namespace {

class SilentCallback : public InstallCallback {
 public:
  SilentCallback(RunLog* log, ProgressReport* progress) : log_(log), progress_(progress) {}
  ReplaceAnswer ask_replace(const std::string&) override { return ReplaceAnswer::yes; }
  void set_status(const std::string& text) override {
    if (progress_) progress_->set_status(text);
  }
  void set_progress_range(std::uint64_t maximum) override {
    if (progress_) progress_->set_progress_range(maximum);
  }
  void set_progress(std::uint64_t position) override {
    if (progress_) progress_->set_progress(position);
  }
  WriteAnswer ask_write_failed(const std::string& path) override {
    if (log_) log_->note(log_step::kFileFailed, path);
    return WriteAnswer::abort;
  }

 private:
  RunLog* log_;
  ProgressReport* progress_;
};

}  // namespace

int run_silent_install(os::Os& os, const package::InstallerData& data,
                       const std::string& command_line_folder, RunLog* log,
                       bool allow_downgrade, bool restart_allowed, ProgressReport* progress) {
  InstalledProgram installed;
  const InstalledLookup lookup = find_installed_program(os, data, &installed);
  if (lookup == InstalledLookup::unreadable) {
    if (log) log->note(log_step::kInstalledUnreadable);
    return kExitWriteFailed;
  }
  const bool upgrade = lookup == InstalledLookup::found;
  std::string version;
  if (upgrade && is_downgrade(installed, data.macros, &version)) {
    if (log) log->note(log_step::kDowngrade, downgrade_question(installed, version));
    if (!allow_downgrade) return kExitNewerInstalled;
  }
  const InstallFolder folder(
      initial_folder_text(data.install_folders, command_line_folder, upgrade ? installed.folder : ""));
  switch (check_install_folder(os, folder, data.megabytes_needed, available_megabytes(os, folder.text()),
                               data.scope.scope == package::Scope::user)) {
    case FolderCheck::usable: break;
    case FolderCheck::too_short:
    case FolderCheck::unusable:
      if (log) log->note(log_step::kFolderUnusable, folder.text());
      return kExitUnusableFolder;
    case FolderCheck::not_enough_space:
      if (log) log->note(log_step::kFolderNoSpace, folder.text());
      return kExitUnusableFolder;
    case FolderCheck::not_writable:
      if (log) log->note(log_step::kFolderNotWritable, folder.text());
      return kExitUnusableFolder;
  }
  // Every box stays ticked: every shortcut of the package is made.
  InstallRequest request = make_install_request(data, folder, ShortcutChoice());
  request.log = log;
  if (upgrade) {
    request.installed = &installed;
    if (log) log->note(log_step::kUpgrading, installed.folder);
  }
  request.silent = true;
  request.restart_allowed = restart_allowed;
  SilentCallback callback(log, progress);
  InstallStats stats;
  const InstallResult result = run_install(os, request, callback, &stats);
  return exit_code(result, stats.files_later > 0);
}

}  // namespace quill::installer
