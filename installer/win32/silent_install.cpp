// "/S": the install without a window. Every question gets the answer its
// box would offer first: an existing file is replaced, a file that cannot be
// written aborts (and undoes) the install. The end-of-install message and
// program are skipped.
#include <windows.h>

#include "installer/install_log.h"
#include "installer/win32/stub.h"
#include "installer/wizard.h"

namespace quill::stub {
namespace {

class SilentCallback : public installer::InstallCallback {
 public:
  installer::ReplaceAnswer ask_replace(const std::string&) override {
    return installer::ReplaceAnswer::yes;
  }
  void set_status(const std::string&) override {}
  void set_progress(std::uint64_t, std::uint64_t) override {}
  bool cancel_requested() override { return false; }
  installer::WriteAnswer ask_write_failed(const std::string& path) override {
    if (stub().log) stub().log->line("Could not write: " + path);
    return installer::WriteAnswer::abort;
  }
};

}  // namespace

int run_silent_install() {
  Stub& s = stub();
  // The wizard's own rules pick the folder and check it and the free space.
  installer::Wizard wizard(s.os, installer::wizard_data(s.data));
  wizard.open();
  if (!s.command.folder.empty()) wizard.set_folder_text(s.command.folder);
  const std::string folder = installer::normalize_folder_text(wizard.folder_text());
  if (folder.size() < 2 || !installer::is_usable_install_folder(folder)) {
    if (s.log) s.log->line("Unusable install folder: " + folder);
    return installer::kExitUnusableFolder;
  }
  if (s.data.megabytes_needed >= installer::available_megabytes(s.os, folder)) {
    if (s.log) s.log->line("Not enough free space for " + folder);
    return installer::kExitUnusableFolder;
  }
  installer::InstallRequest request =
      installer::make_install_request(s.data, folder, installer::ShortcutChoice());
  request.log = s.log;
  request.archive = s.archive;
  SilentCallback callback;
  return installer::exit_code(installer::run_install(s.os, request, callback));
}

}  // namespace quill::stub
