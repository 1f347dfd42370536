// The uninstaller program. Without a log path it is the launcher, which
// starts a working copy of itself (and, with "/S", waits for it and passes
// on its exit code); with a log path it asks for confirmation and runs the
// removal in its progress dialog, or with "/S" removes without a question
// or a window.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "os/win32_os.h"
#include "os/win32_system_dll.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/front_end.h"
#include "uninstaller/removal.h"
#include "uninstaller/uninstall_log.h"
#include "uninstaller/win32/progress_dialog.h"

using namespace quill;

namespace {

class SilentObserver : public uninstaller::RemovalObserver {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  void set_status(const std::string&) override {}
  void finished() override {}
};

int run_removal_mode(HINSTANCE instance, os::Os& os, const std::string& log_path, bool silent) {
  // Static: the worker may still read the log when the process ends.
  static uninstaller::UninstallLog log;
  uninstaller::LogStatus status = uninstaller::read_uninstall_log(os, log_path, &log);
  if (status != uninstaller::LogStatus::ok) {
    if (!silent) {
      MessageBoxA(nullptr, uninstaller::log_problem_message(status, log_path).c_str(),
                  uninstaller::kQuestionCaption, MB_OK | MB_ICONERROR);
    }
    return uninstaller::kExitUnusableLog;
  }
  static uninstaller::FolderGuard guard(os);
  if (silent) {
    SilentObserver observer;
    uninstaller::run_removal(os, log, guard, observer);
    return uninstaller::kExitRemoved;
  }
  std::string question = uninstaller::confirmation_question(log.registered_name);
  if (MessageBoxA(nullptr, question.c_str(), uninstaller::kQuestionCaption,
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return uninstaller::kExitDeclined;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  uninstaller::run_progress_dialog(instance, os, log, guard);
  return uninstaller::kExitRemoved;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  os::search_dlls_in_system_folder_only();
  static os::Win32Os os;
  const uninstaller::Arguments arguments = uninstaller::parse_arguments(GetCommandLineA());
  const int code = arguments.log_path.empty()
                       ? uninstaller::run_launcher(os, arguments.silent)
                       : run_removal_mode(instance, os, arguments.log_path, arguments.silent);
  // Ends at once, with a removal worker that may still run; no static
  // destructor may pull its data away first.
  ExitProcess(static_cast<UINT>(code));
}
