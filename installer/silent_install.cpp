// The silent install: the wizard's folder rule, then the engine with fixed
// answers.
#include "installer/silent_install.h"

#include "installer/command_line.h"
#include "installer/install_folder.h"
#include "installer/upgrade.h"
#include "installer/wizard.h"

namespace quill::installer {
namespace {

class SilentCallback : public InstallCallback {
 public:
  explicit SilentCallback(InstallLog* log) : log_(log) {}
  ReplaceAnswer ask_replace(const std::string&) override { return ReplaceAnswer::yes; }
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  WriteAnswer ask_write_failed(const std::string& path) override {
    if (log_) log_->line("Could not write: " + path);
    return WriteAnswer::abort;
  }

 private:
  InstallLog* log_;
};

}  // namespace

int run_silent_install(os::Os& os, const package::InstallerData& data,
                       const std::string& command_line_folder, InstallLog* log,
                       bool allow_downgrade, bool restart_allowed) {
  InstalledProgram installed;
  const InstalledLookup lookup = find_installed_program(os, data, &installed);
  if (lookup == InstalledLookup::unreadable) {
    if (log) log->line("The installed program's entry or uninstall log could not be read");
    return kExitWriteFailed;
  }
  const bool upgrade = lookup == InstalledLookup::found;
  std::string version;
  if (upgrade && is_downgrade(installed, data.macros, &version)) {
    if (log) log->line(downgrade_question(installed, version));
    if (!allow_downgrade) return kExitNewerInstalled;
  }
  const InstallFolder folder(
      initial_folder_text(data.install_folders, command_line_folder, upgrade ? installed.folder : ""));
  switch (check_install_folder(os, folder, data.megabytes_needed, available_megabytes(os, folder.text()),
                               data.scope.scope == package::Scope::user)) {
    case FolderCheck::usable: break;
    case FolderCheck::too_short:
    case FolderCheck::unusable:
      if (log) log->line("Unusable install folder: " + folder.text());
      return kExitUnusableFolder;
    case FolderCheck::not_enough_space:
      if (log) log->line("Not enough free space for " + folder.text());
      return kExitUnusableFolder;
    case FolderCheck::not_writable:
      if (log) log->line("Install folder not writable by this user: " + folder.text());
      return kExitUnusableFolder;
  }
  // Every box stays ticked: every shortcut of the package is made.
  InstallRequest request = make_install_request(data, folder, ShortcutChoice());
  request.log = log;
  if (upgrade) {
    request.installed = &installed;
    if (log) log->line("Upgrading the install in " + installed.folder);
  }
  request.silent = true;
  request.restart_allowed = restart_allowed;
  SilentCallback callback(log);
  InstallStats stats;
  const InstallResult result = run_install(os, request, callback, &stats);
  return exit_code(result, stats.files_later > 0);
}

}  // namespace quill::installer
