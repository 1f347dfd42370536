// The installer stub's process-wide state and the entry points of its
// windows. The loader thread fills `data`; the windows read it afterwards.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "installer/cancel.h"
#include "installer/command_line.h"
#include "installer/install_engine.h"
#include "common/run_log.h"
#include "installer/upgrade.h"
#include "os/win32_os.h"
#include "package/data_files.h"
#include "package/payload.h"

namespace quill::installer::win32 {

// What the wizard works with. The wizard dialog receives it through its init
// parameter and reaches no other process state; its install thread writes
// the two results, which decide the process's exit code.
struct WizardSession {
  WizardSession(os::Os& os_in, const package::InstallerData& data_in) : os(os_in), data(data_in) {}

  os::Os& os;
  const package::InstallerData& data;
  RunLog* log = nullptr;  // the "/LOG=" record, or null
  std::string command_line_folder;       // "/D=": fills the folder field
  // The program installed already (an upgrade), or null.
  const installer::InstalledProgram* installed = nullptr;
  installer::CancelFlags cancel;
  std::atomic<bool> install_started{false};
  std::atomic<installer::InstallResult> install_result{installer::InstallResult::finished};
  bool restart_allowed = true;               // false with "/NORESTART"
  std::atomic<bool> restart_needed{false};   // files in use wait for the next restart
};

struct Stub {
  os::Win32Os os;
  package::InstallerData data;  // written by the loader before load_complete
  // The same: the payload folder the loader made, once made (even when the
  // loading fails), and the archive's open file.
  package::PayloadScan scan;
  package::ExtractOutcome outcome = package::ExtractOutcome::done;

  // Extraction: each flag has one writing thread.
  std::atomic<bool> cancel{false};           // extraction window
  std::atomic<bool> loader_finished{false};  // loader thread
  std::atomic<bool> load_complete{false};    // loader thread
  HANDLE loader = nullptr;                   // the loader thread (null: not started)
  std::atomic<HWND> extraction_window{nullptr};
  // Progress of the archive copy in whole MiB, kept for a window that opens
  // after the loader has started.
  std::atomic<unsigned> extract_range{0};
  std::atomic<unsigned> extract_position{0};

  installer::CommandLine command;
  // The "/LOG=" record, or null; opened before loading, never closed.
  RunLog* log = nullptr;

  WizardSession wizard{os, data};
};

Stub& stub();

// The extraction dialog: runs modally until loading ends or the user cancels.
void run_extraction_window(HINSTANCE instance);

// An unattended install from the loader's end to its exit code; it reports
// to `progress` (null: nobody watches).
using UnattendedInstall = int (*)(ProgressReport* progress);
// "/PASSIVE": runs `install` on a thread of its own while the small
// progress window shows its progress; answers the install's exit code once
// the window has closed.
int run_passive_window(HINSTANCE instance, UnattendedInstall install);
// The wizard dialog: runs modally until the wizard closes. The end of an
// installation ("Done", a cancel) ends the process from inside.
void run_wizard(HINSTANCE instance, WizardSession& session);

// The background window (framed or plain dialog): runs modally on the loader
// thread when the package has "fullscreen.txt"; opening it completes loading.
void run_background_window(HINSTANCE instance);
// The background window while it is open, else null.
HWND background_window();
// The wizard shows the step of picture number `picture`
// (installer::picture_number, 1 to 7): the background picture of that step.
void background_step_changed(int picture);
// Installing: the slideshow thread changes the picture as files are done.
void start_slideshow();
void slideshow_progress(std::uint64_t done);
void wizard_finished();

// Gives a window of the stub the installer's icon.
void set_installer_icon(HWND window);

// "The installer package is damaged ..." and similar start-up failures.
void show_start_error(package::ExtractOutcome outcome);

// Records the exit code in the install record, closes the archive, removes
// the payload folder the loader made and ends the process.
[[noreturn]] void end_process(int exit_code);
// Takes the lock of this program's setups once its data is loaded; false
// (after telling the user, unless silent) when another setup holds it.
bool take_setup_lock();

}  // namespace quill::installer::win32
