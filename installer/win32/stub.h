// The installer stub's process-wide state and the entry points of its
// windows. The loader thread fills `data`; the windows read it afterwards.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "installer/cancel.h"
#include "installer/command_line.h"
#include "installer/install_engine.h"
#include "os/win32_os.h"
#include "package/data_files.h"
#include "package/payload.h"

namespace quill::stub {

struct Stub {
  os::Win32Os os;
  package::InstallerData data;  // written by the loader before load_complete
  package::ArchiveLocation archive;  // the same: where the install entries are read
  package::ExtractOutcome outcome = package::ExtractOutcome::done;

  // Extraction: each flag has one writing thread.
  std::atomic<bool> cancel{false};           // extraction window
  std::atomic<bool> loader_finished{false};  // loader thread
  std::atomic<bool> load_complete{false};    // loader thread
  std::atomic<HWND> extraction_window{nullptr};
  // Progress of the archive copy in whole MiB, kept for a window that opens
  // after the loader has started.
  std::atomic<unsigned> extract_range{0};
  std::atomic<unsigned> extract_position{0};

  // Installation.
  installer::CancelFlags install_cancel;
  // How the install thread's run ended (written once, by that thread), for
  // the process's end to report.
  std::atomic<installer::InstallResult> install_result{installer::InstallResult::finished};
  std::atomic<bool> install_started{false};

  installer::CommandLine command;
  // The "/LOG=" record, or null; opened before loading, never closed.
  installer::InstallLog* log = nullptr;
};

Stub& stub();

// Dialog 103: runs modally until loading ends or the user cancels.
void run_extraction_window(HINSTANCE instance);
// Dialog 101: runs modally until the wizard closes. The end of an
// installation ("Done", a cancel) ends the process from inside.
void run_wizard(HINSTANCE instance);

// Dialog 105 or 106, the background window: runs modally on the loader
// thread when the package has "fullscreen.txt"; opening it completes loading.
void run_background_window(HINSTANCE instance);
// The background window while it is open, else null.
HWND background_window();
// The wizard shows `step` (1 to 7): the background picture of that step.
void background_step_changed(int step);
// Installing: the slideshow thread changes the picture as files are done.
void start_slideshow();
void slideshow_progress(std::uint64_t done);
void wizard_finished();

// "The installer package is damaged ..." and similar start-up failures.
void show_start_error(package::ExtractOutcome outcome);

// Records the exit code in the install record, removes the payload folder
// and ends the process.
[[noreturn]] void end_process(int exit_code);

// "/S": installs the loaded package without a window or a question, to the
// "/D=" folder or the package's own. Answers the exit code.
int run_silent_install();

}  // namespace quill::stub
