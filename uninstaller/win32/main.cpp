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

class SilentObserver : public uninstall::RemovalObserver {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  void set_status(const std::string&) override {}
  void finished() override {}
};

int run_removal_mode(HINSTANCE instance, os::Os& os, const std::string& log_path, bool silent) {
  // Static: the worker may still read the log when the process ends.
  static uninstall::UninstallLog log;
  uninstall::LogStatus status = uninstall::read_uninstall_log(os, log_path, &log);
  if (status != uninstall::LogStatus::ok) {
    if (!silent) {
      MessageBoxA(nullptr, uninstall::log_problem_message(status, log_path).c_str(),
                  uninstall::kQuestionCaption, MB_OK | MB_ICONERROR);
    }
    return uninstall::kExitUnusableLog;
  }
  static uninstall::FolderGuard guard(os);
  if (silent) {
    SilentObserver observer;
    uninstall::run_removal(os, log, guard, observer);
    return uninstall::kExitRemoved;
  }
  std::string question = uninstall::confirmation_question(log.registered_name);
  if (MessageBoxA(nullptr, question.c_str(), uninstall::kQuestionCaption,
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return uninstall::kExitDeclined;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  uninstall::run_progress_dialog(instance, os, log, guard);
  return uninstall::kExitRemoved;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  os::search_dlls_in_system_folder_only();
  static os::Win32Os os;
  const uninstall::Arguments arguments = uninstall::parse_arguments(GetCommandLineA());
  const int code = arguments.log_path.empty()
                       ? uninstall::run_launcher(os, arguments.silent)
                       : run_removal_mode(instance, os, arguments.log_path, arguments.silent);
  // Ends at once, with a removal worker that may still run; no static
  // destructor may pull its data away first.
  ExitProcess(static_cast<UINT>(code));
}
