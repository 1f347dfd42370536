// The silent install: the wizard's folder rules, then the engine with fixed
// answers.
#include "installer/silent_install.h"

#include "installer/command_line.h"
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

int run_silent_install(os::Os& os, const package::InstallerData& data, const std::string& folder,
                       InstallLog* log) {
  Wizard wizard(os, wizard_data(data));
  wizard.open();
  if (!folder.empty()) wizard.set_folder_text(folder);
  const std::string chosen = normalize_folder_text(wizard.folder_text());
  if (chosen.size() < 2 || !is_usable_install_folder(chosen)) {
    if (log) log->line("Unusable install folder: " + chosen);
    return kExitUnusableFolder;
  }
  if (data.megabytes_needed >= available_megabytes(os, chosen)) {
    if (log) log->line("Not enough free space for " + chosen);
    return kExitUnusableFolder;
  }
  // The boxes stay ticked: every shortcut of the package is made.
  InstallRequest request = install_request(data, wizard, log);
  SilentCallback callback(log);
  return exit_code(run_install(os, request, callback));
}

}  // namespace quill::installer
