// The uninstaller program. Without a log path it is the launcher, which
// starts a working copy of itself (and, with "/S", waits for it and passes
// on its exit code); with a log path it asks for confirmation and runs the
// removal in its progress dialog, or with "/S" removes without a question
// or a window.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "common/in_use.h"
#include "common/texts.h"

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

int run_removal_mode(HINSTANCE instance, os::Os& os, const std::string& log_path, bool silent,
                     bool restart_allowed) {
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
  // One setup of a program at a time, installing or removing; held until
  // the process ends.
  os::Error locked = os::Error::none;
  static std::unique_ptr<os::SystemLock> lock =
      os.take_lock(setup_lock_name(log.registered_name), &locked);
  if (!lock && locked == os::Error::exists) {
    if (!silent) {
      MessageBoxA(nullptr, another_setup_message(log.registered_name).c_str(),
                  uninstaller::kQuestionCaption, MB_OK | MB_ICONWARNING);
    }
    return uninstaller::kExitAnotherRemoval;
  }
  static uninstaller::FolderGuard guard(os);
  const auto ask = [](const std::string&, const std::string& question) {
    switch (MessageBoxA(nullptr, question.c_str(), uninstaller::kQuestionCaption,
                        MB_ABORTRETRYIGNORE | MB_ICONWARNING)) {
      case IDRETRY: return InUseAnswer::retry;
      case IDIGNORE: return InUseAnswer::ignore;
      default: return InUseAnswer::abort;
    }
  };
  if (silent) {
    if (!uninstaller::settle_files_in_use(os, log, guard, true, restart_allowed, ask)) {
      return uninstaller::kExitInUse;
    }
    SilentObserver observer;
    return uninstaller::run_removal(os, log, guard, observer, restart_allowed)
               ? uninstaller::kExitRemovedRestart
               : uninstaller::kExitRemoved;
  }
  std::string question = uninstaller::confirmation_question(log.registered_name);
  if (MessageBoxA(nullptr, question.c_str(), uninstaller::kQuestionCaption,
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return uninstaller::kExitDeclined;
  }
  if (!uninstaller::settle_files_in_use(os, log, guard, false, restart_allowed, ask)) {
    return uninstaller::kExitDeclined;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  if (!uninstaller::run_progress_dialog(instance, os, log, guard, restart_allowed)) {
    return uninstaller::kExitRemoved;
  }
  MessageBoxA(nullptr, kRestartNeededText, uninstaller::kQuestionCaption, MB_OK | MB_ICONINFORMATION);
  return uninstaller::kExitRemovedRestart;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  os::search_dlls_in_system_folder_only();
  texts::use_built_in_tables();
  static os::Win32Os os;
  const uninstaller::Arguments arguments = uninstaller::parse_arguments(GetCommandLineA());
  const int code = arguments.log_path.empty()
                       ? uninstaller::run_launcher(os, arguments.silent, arguments.no_restart)
                       : run_removal_mode(instance, os, arguments.log_path, arguments.silent,
                                          !arguments.no_restart);
  // Ends at once, with a removal worker that may still run; no static
  // destructor may pull its data away first.
  ExitProcess(static_cast<UINT>(code));
}
