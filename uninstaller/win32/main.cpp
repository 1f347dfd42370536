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
#include "uninstaller/shared_texts.h"

#include "os/win32_os.h"
#include "os/win32_system_dll.h"
#include "os/win32_text.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/front_end.h"
#include "uninstaller/removal.h"
#include "uninstaller/removal_log.h"
#include "common/run_log.h"
#include "uninstaller/uninstall_log.h"
#include "uninstaller/win32/progress_dialog.h"

using namespace quill;

namespace {

// A message box of the uninstaller, under its caption in its language.
int message_box(const std::string& text, UINT style) {
  return MessageBoxW(nullptr, os::wide(text).c_str(), os::wide(uninstaller::question_caption()).c_str(),
                     style);
}

class SilentObserver : public uninstaller::RemovalObserver {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  void set_status(const std::string&) override {}
  void finished() override {}
};

int run_removal_mode(HINSTANCE instance, os::Os& os, const std::string& log_path, bool silent,
                     bool restart_allowed, const std::string& forced_language, RunLog* record) {
  namespace step = uninstaller::log_step;
  const auto note = [record](const char* what, const std::string& value = std::string()) {
    if (record) record->note(what, value);
  };
  note(silent ? step::kSilentStarted : step::kStarted);
  // Static: the worker may still read the log when the process ends.
  static uninstaller::UninstallLog log;
  uninstaller::LogStatus status = uninstaller::read_uninstall_log(os, log_path, &log);
  if (status != uninstaller::LogStatus::ok) {
    note(step::kUnusableLog, log_path);
    if (!silent) {
      message_box(uninstaller::log_problem_message(status, log_path), MB_OK | MB_ICONERROR);
    }
    return uninstaller::kExitUnusableLog;
  }
  // The language the install spoke, unless "/LANG=" names one.
  texts::set_current_language(uninstaller::removal_language(os, log, forced_language));
  // One setup of a program at a time, installing or removing; held until
  // the process ends.
  os::Error locked = os::Error::none;
  static std::unique_ptr<os::SystemLock> lock =
      os.take_lock(setup_lock_name(log.registered_name), &locked);
  if (!lock && locked == os::Error::exists) {
    note(kLogAnotherSetup);
    if (!silent) {
      message_box(uninstaller::another_setup_text(log.registered_name), MB_OK | MB_ICONWARNING);
    }
    return uninstaller::kExitAnotherRemoval;
  }
  static uninstaller::FolderGuard guard(os);
  const auto ask = [&](const std::string& path, const std::string& question) {
    note(step::kInUse, path);
    switch (message_box(question, MB_ABORTRETRYIGNORE | MB_ICONWARNING)) {
      case IDRETRY: return InUseAnswer::retry;
      case IDIGNORE: return InUseAnswer::ignore;
      default: return InUseAnswer::abort;
    }
  };
  if (silent) {
    if (!uninstaller::settle_files_in_use(os, log, guard, true, restart_allowed, ask)) {
      for (const std::string& path : uninstaller::files_in_use(os, log, guard)) note(step::kInUse, path);
      return uninstaller::kExitInUse;
    }
    SilentObserver observer;
    return uninstaller::run_removal(os, log, guard, observer, restart_allowed, record)
               ? uninstaller::kExitRemovedRestart
               : uninstaller::kExitRemoved;
  }
  std::string question = uninstaller::confirmation_question(log.registered_name);
  if (message_box(question, MB_YESNO | MB_ICONQUESTION) != IDYES ||
      !uninstaller::settle_files_in_use(os, log, guard, false, restart_allowed, ask)) {
    note(step::kDeclined);
    return uninstaller::kExitDeclined;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  if (!uninstaller::run_progress_dialog(instance, os, log, guard, restart_allowed, record)) {
    return uninstaller::kExitRemoved;
  }
  message_box(uninstaller::restart_needed_text(), MB_OK | MB_ICONINFORMATION);
  return uninstaller::kExitRemovedRestart;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  os::search_dlls_in_system_folder_only();
  texts::use_built_in_tables();
  static os::Win32Os os;
  // Read as UTF-16 and kept as UTF-8: the log's path may hold any character.
  const uninstaller::Arguments arguments =
      uninstaller::parse_arguments(os::narrow(GetCommandLineW()));
  // Until the log names the install's language: the one "/LANG=" names, else English.
  const std::size_t forced = texts::language_index(arguments.language);
  texts::set_current_language(forced < language::kLanguageCount ? forced : language::kEnglish);
  // The launcher passes "/LOG=" on and records only that its copy did not start.
  static RunLog* record = nullptr;
  if (!arguments.record.empty() && !arguments.log_path.empty()) {
    record = new RunLog(os, arguments.record);
  }
  const int code = arguments.log_path.empty()
                       ? uninstaller::run_launcher(os, arguments.silent, arguments.no_restart,
                                                   arguments.language, arguments.record)
                       : run_removal_mode(instance, os, arguments.log_path, arguments.silent,
                                          !arguments.no_restart, arguments.language, record);
  if (!record && !arguments.record.empty() && code == uninstaller::kExitNotStarted) {
    record = new RunLog(os, arguments.record);
  }
  if (record) record->note_number(kLogExit, code);
  // Ends at once, with a removal worker that may still run; no static
  // destructor may pull its data away first.
  ExitProcess(static_cast<UINT>(code));
}
