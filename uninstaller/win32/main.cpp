// The uninstaller program. Without an argument it is the launcher, which
// restarts a staging copy of itself; with a log path it asks for
// confirmation and runs the removal in its progress dialog.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "os/win32_os.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/front_end.h"
#include "uninstaller/uninstall_log.h"
#include "uninstaller/win32/progress_dialog.h"

using namespace quill;

namespace {

void run_removal_mode(HINSTANCE instance, os::Os& os, const std::string& log_path) {
  // Static: the worker may still read the log when the process ends.
  static uninstall::UninstallLog log;
  uninstall::LogStatus status = uninstall::read_uninstall_log(os, log_path, &log);
  if (status != uninstall::LogStatus::ok) {
    MessageBoxA(nullptr, uninstall::log_problem_message(status, log_path).c_str(),
                uninstall::kQuestionCaption, MB_OK | MB_ICONERROR);
    return;
  }
  std::string question = uninstall::confirmation_question(log.registered_name);
  if (MessageBoxA(nullptr, question.c_str(), uninstall::kQuestionCaption,
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  static uninstall::FolderGuard guard(os);
  uninstall::run_progress_dialog(instance, os, log, guard);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static os::Win32Os os;
  std::string argument = uninstall::command_line_argument(GetCommandLineA());
  if (argument.empty()) {
    uninstall::run_launcher(os);
  } else {
    run_removal_mode(instance, os, argument);
  }
  // Ends at once, with a removal worker that may still run; no static
  // destructor may pull its data away first.
  ExitProcess(0);
}
