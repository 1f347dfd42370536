// The installer stub's entry routine and loader thread.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "installer/install_log.h"
#include "installer/win32/stub.h"

namespace quill::stub {
namespace {

// Reports the archive copy to the extraction window's progress bar (1022).
class WindowProgress : public package::ExtractProgress {
 public:
  void set_range(unsigned megabytes) override {
    stub().extract_range = megabytes;
    if (HWND window = stub().extraction_window.load()) {
      PostMessageA(GetDlgItem(window, 1022), PBM_SETRANGE32, 0, megabytes);
    }
  }
  void set_position(unsigned megabytes) override {
    stub().extract_position = megabytes;
    if (HWND window = stub().extraction_window.load()) {
      PostMessageA(GetDlgItem(window, 1022), PBM_SETPOS, megabytes, 0);
    }
  }
  bool cancelled() override { return stub().cancel.load(); }
};

DWORD WINAPI loader_thread(void*) {
  Stub& s = stub();
  WindowProgress progress;
  package::PayloadScan scan;
  // A silent install shows no payload folder to anyone: its archive is read
  // where it lies, which saves writing a copy of it.
  s.outcome = package::extract_payload(
      s.os, progress, &scan,
      s.command.silent ? package::ArchiveHandling::in_place : package::ArchiveHandling::copy);
  s.archive = scan.archive;
  if (s.outcome == package::ExtractOutcome::done) {
    package::load_installer_data(s.os, scan, &s.data);
    // The package's font joins the system's font table whenever it is
    // there, before the background window (if any) asks for its face.
    if (!s.data.font_path.empty()) AddFontResourceA(s.data.font_path.c_str());
  }
  s.loader_finished = true;
  if (s.outcome == package::ExtractOutcome::done && s.data.has_fullscreen && !s.cancel.load() &&
      !s.command.silent) {
    // Opening the window completes loading; it lives until closed.
    run_background_window(GetModuleHandleA(nullptr));
  }
  s.load_complete = true;
  return 0;
}

}  // namespace

Stub& stub() {
  static Stub instance;
  return instance;
}

void show_start_error(package::ExtractOutcome outcome) {
  const char* text = outcome == package::ExtractOutcome::write_failed
                         ? "The installer could not write its temporary files.\n"
                           "Please check the free space of your temporary folder."
                         : "The installer package is damaged and cannot be installed.\n"
                           "Please obtain a new copy of the installer.";
  const std::string& title = stub().data.title;
  MessageBoxA(nullptr, text, title.empty() ? "Installer" : title.c_str(), MB_OK | MB_ICONERROR);
}

void end_process(int exit_code) {
  Stub& s = stub();
  if (s.log) s.log->line("Exit code " + std::to_string(exit_code));
  package::delete_payload_folder(s.os);
  ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace quill::stub

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  using namespace quill;
  stub::Stub& s = stub::stub();
  s.command = installer::parse_command_line(arguments ? arguments : "");
  if (!s.command.valid || s.command.help) {
    // A silent run with a mistyped switch must not wait for a click.
    if (!(s.command.silent && !s.command.valid)) {
      std::string text = installer::usage_text();
      if (!s.command.valid) text = "Unknown argument: " + s.command.bad + "\n\n" + text;
      MessageBoxA(nullptr, text.c_str(), "Installer",
                  MB_OK | (s.command.valid ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    return installer::kExitBadCommandLine;
  }
  if (!s.command.log_file.empty()) {
    s.log = new installer::InstallLog(s.os, s.command.log_file);
    s.log->line(s.command.silent ? "Silent install started" : "Install started");
  }

  LoadLibraryA("RichEd32.dll");
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  OleInitialize(nullptr);

  HANDLE loader = CreateThread(nullptr, 0, stub::loader_thread, nullptr, 0, nullptr);
  if (!loader) {
    s.loader_finished = true;
    s.load_complete = true;
    s.outcome = package::ExtractOutcome::write_failed;
  }
  const auto start_error_code = [&] {
    return s.outcome == package::ExtractOutcome::write_failed ? installer::kExitWriteFailed
                                                              : installer::kExitDamaged;
  };
  if (s.command.silent) {
    if (loader) WaitForSingleObject(loader, INFINITE);
    stub::end_process(s.outcome == package::ExtractOutcome::done ? stub::run_silent_install()
                                                                 : start_error_code());
  }

  stub::run_extraction_window(instance);
  int code = installer::kExitCancelled;
  if (s.cancel.load()) {
    while (!s.loader_finished.load()) Sleep(100);
  } else if (s.outcome != package::ExtractOutcome::done) {
    stub::show_start_error(s.outcome);
    code = start_error_code();
  } else {
    // "/D=" fills the wizard's folder field.
    if (!s.command.folder.empty()) s.data.install_folders.preferred_folder = s.command.folder;
    stub::run_wizard(instance);
    // A wizard closed before its install step installed nothing: the user
    // cancelled.
    if (s.install_started.load()) code = installer::exit_code(s.install_result.load());
  }
  if (loader) CloseHandle(loader);
  OleUninitialize();
  stub::end_process(code);
}
