// The installer stub's entry routine and loader thread.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/in_use.h"
#include "uninstaller/shared_texts.h"
#include "common/languages.h"
#include "common/texts.h"
#include "installer/install_log.h"
#include "common/run_log.h"
#include "installer/language_choice.h"
#include "installer/language_texts_load.h"
#include "installer/silent_install.h"
#include "installer/win32/stub.h"
#include "installer/win32/wide_controls.h"
#include "os/win32_system_dll.h"
#include "os/win32_text.h"
#include "package/language_texts.h"
#include "resources/quillstub_resource.h"

namespace quill::installer::win32 {
namespace {

// Reports the archive copy to the extraction window's progress bar.
class WindowProgress : public package::ExtractProgress {
 public:
  void set_progress_range(std::uint64_t maximum) override {
    const unsigned megabytes = static_cast<unsigned>(maximum);
    stub().extract_range = megabytes;
    if (HWND window = stub().extraction_window.load()) {
      PostMessageW(GetDlgItem(window, IDC_PROGRESS_SMOOTH), PBM_SETRANGE32, 0, megabytes);
    }
  }
  void set_progress(std::uint64_t position) override {
    const unsigned megabytes = static_cast<unsigned>(position);
    stub().extract_position = megabytes;
    if (HWND window = stub().extraction_window.load()) {
      PostMessageW(GetDlgItem(window, IDC_PROGRESS_SMOOTH), PBM_SETPOS, megabytes, 0);
    }
  }
  bool cancel_requested() override { return stub().cancel.load(); }
};

DWORD WINAPI loader_thread(void*) {
  Stub& s = stub();
  WindowProgress progress;
  // An unattended install shows no payload folder to anyone: its archive is read
  // where it lies, which saves writing a copy of it.
  s.outcome = package::extract_payload(
      s.os, progress, &s.scan,
      s.command.unattended() ? package::ArchiveHandling::in_place : package::ArchiveHandling::copy);
  if (s.outcome == package::ExtractOutcome::done) {
    package::load_installer_data(s.os, s.scan, &s.data);
    // The language is settled before any window shows the package's texts:
    // one the package carries, and that language's variants of its texts.
    const std::size_t language =
        choose_language(s.command.language, GetUserDefaultUILanguage(), s.data.languages);
    speak_language(s.os, s.data, language);
    package::use_language(s.os, std::string(language::kLanguages[language].code), &s.data);
    // The package's font joins the system's font table whenever it is
    // there, before the background window (if any) asks for its face.
    if (!s.data.font_path.empty()) AddFontResourceW(os::wide(s.data.font_path).c_str());
  }
  s.loader_finished = true;
  if (s.outcome == package::ExtractOutcome::done && s.data.has_fullscreen && !s.cancel.load() &&
      !s.command.unattended()) {
    // Opening the window completes loading; it lives until closed.
    run_background_window(GetModuleHandleW(nullptr));
  }
  s.load_complete = true;
  return 0;
}

// The unattended install, after the loader: the package loaded, this
// program's setup lock taken, then the silent install's run.
int unattended_install(ProgressReport* progress) {
  Stub& s = stub();
  if (s.loader) WaitForSingleObject(s.loader, INFINITE);
  if (s.outcome != package::ExtractOutcome::done) return installer::start_exit_code(s.outcome);
  if (!take_setup_lock()) return installer::kExitAnotherInstall;
  return installer::run_silent_install(s.os, s.data, s.command.install_folder, s.log,
                                       s.command.allow_downgrade, !s.command.no_restart, progress);
}

}  // namespace

Stub& stub() {
  static Stub instance;
  return instance;
}

void set_installer_icon(HWND window) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_INSTALLER));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

std::string box_caption() {
  const std::string& title = stub().data.title;
  return title.empty() ? std::string(texts::text(texts::TextId::installer_caption)) : title;
}

void show_start_error(package::ExtractOutcome outcome) {
  message_box(nullptr, installer::start_error_text(outcome), box_caption(), MB_OK | MB_ICONERROR);
}

bool ask_about_installed(Stub& s) {
  static installer::InstalledProgram installed;
  const std::string title = box_caption();
  switch (installer::find_installed_program(s.os, s.data, &installed)) {
    case installer::InstalledLookup::none: return true;
    case installer::InstalledLookup::unreadable:
      if (s.log) s.log->note(installer::log_step::kInstalledUnreadable);
      message_box(nullptr, installer::installed_unreadable_text(), title, MB_OK | MB_ICONERROR);
      return false;
    case installer::InstalledLookup::found: break;
  }
  std::string version;
  if (installer::is_downgrade(installed, s.data.macros, &version) &&
      message_box(nullptr, installer::downgrade_question(installed, version), title,
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return false;
  }
  if (s.log) s.log->note(installer::log_step::kUpgrading, installed.folder);
  s.wizard.installed = &installed;
  return true;
}

bool take_setup_lock() {
  // Held until the process ends: a second setup of this program waits for
  // nothing and changes nothing.
  static std::unique_ptr<os::SystemLock> lock;
  Stub& s = stub();
  os::Error error = os::Error::none;
  lock = s.os.take_lock(setup_lock_name(s.data.registered_name), &error);
  if (lock || error != os::Error::exists) return true;
  if (s.log) s.log->note(kLogAnotherSetup);
  if (!s.command.unattended()) {
    message_box(nullptr, uninstaller::another_setup_text(s.data.registered_name), box_caption(),
                MB_OK | MB_ICONWARNING);
  }
  return false;
}

void end_process(int exit_code) {
  Stub& s = stub();
  if (s.log) s.log->note_number(kLogExit, exit_code);
  package::delete_payload_folder(s.os, &s.scan);
  ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace quill::installer::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace quill;
  os::search_dlls_in_system_folder_only();
  // A DLL already loaded is found again by its name alone. msimg32.dll (the
  // background's fade) is also asked for by name by common-controls code
  // that does not keep to the restriction above (Wine's delay-loads it so),
  // and riched20.dll serves the text boxes: both come from the system folder
  // now, before any window exists.
  os::load_system_dll("msimg32.dll");
  os::load_system_dll("riched20.dll");
  installer::win32::Stub& s = installer::win32::stub();
  // The switches arrive as UTF-16 and are read as UTF-8: "/D=" may name
  // any folder.
  s.command = installer::parse_command_line(
      installer::command_line_tail(os::narrow(GetCommandLineW())));
  // Until the package says which languages it carries, the program speaks
  // the chosen one of all it knows (the usage box, the extraction window).
  std::vector<std::string> every_code;
  for (const language::Language& l : language::kLanguages) every_code.emplace_back(l.code);
  texts::set_current_language(
      installer::choose_language(s.command.language, GetUserDefaultUILanguage(), every_code));
  if (!s.command.valid || s.command.help) {
    const std::string text = installer::usage_message(s.command);
    if (!text.empty()) {
      installer::win32::message_box(nullptr, text,
                                    std::string(texts::text(texts::TextId::installer_caption)),
                                    MB_OK | (s.command.valid ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    return installer::kExitBadCommandLine;
  }
  if (!s.command.log_file.empty()) {
    s.log = new RunLog(s.os, s.command.log_file);
    if (!s.log->is_open()) {
      const std::string text = installer::log_unwritable_message(s.command);
      if (!text.empty()) {
        installer::win32::message_box(nullptr, text,
                                      std::string(texts::text(texts::TextId::installer_caption)),
                                      MB_OK | MB_ICONWARNING);
      }
      return installer::kExitBadCommandLine;
    }
    s.log->note(s.command.silent    ? installer::log_step::kSilentStarted
                : s.command.passive ? installer::log_step::kPassiveStarted
                                    : installer::log_step::kStarted);
    for (const std::string& argument : s.command.ignored) s.log->note(kLogIgnoredArgument, argument);
  }

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  OleInitialize(nullptr);

  HANDLE loader = CreateThread(nullptr, 0, installer::win32::loader_thread, nullptr, 0, nullptr);
  s.loader = loader;
  if (!loader) {
    s.loader_finished = true;
    s.load_complete = true;
    s.outcome = package::ExtractOutcome::write_failed;
  }
  if (s.command.silent) installer::win32::end_process(installer::win32::unattended_install(nullptr));
  if (s.command.passive) {
    installer::win32::end_process(installer::win32::run_passive_window(
        instance, installer::win32::unattended_install));
  }

  installer::win32::run_extraction_window(instance);
  int code = installer::kExitCancelled;
  if (s.cancel.load()) {
    while (!s.loader_finished.load()) Sleep(100);
  } else if (s.outcome != package::ExtractOutcome::done) {
    installer::win32::show_start_error(s.outcome);
    code = installer::start_exit_code(s.outcome);
  } else if (!installer::win32::take_setup_lock()) {
    code = installer::kExitAnotherInstall;
  } else if (!installer::win32::ask_about_installed(s)) {
    code = installer::kExitCancelled;
  } else {
    s.wizard.restart_allowed = !s.command.no_restart;
    s.wizard.command_line_folder = s.command.install_folder;
    s.wizard.log = s.log;
    installer::win32::run_wizard(instance, s.wizard);
    code = installer::wizard_exit_code(s.wizard.install_started.load(),
                                       s.wizard.install_result.load(),
                                       s.wizard.restart_needed.load());
  }
  if (loader) CloseHandle(loader);
  OleUninitialize();
  installer::win32::end_process(code);
}
