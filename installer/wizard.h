// The installer's seven-step wizard as a state machine: which step follows,
// which controls each step shows and with what text, the disk-space check and
// the summary. The Win32 dialog renders a StepView by control identifier and
// acts on the Outcome of each transition; it holds no rule of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "installer/install_engine.h"
#include "installer/install_folder.h"
#include "common/limits.h"
#include "os/os.h"
#include "package/data_files.h"
#include "resources/quillstub_resource.h"

namespace quill::installer {

// Control identifiers of the wizard (IDD_WIZARD) and the small progress
// window (IDD_SMALL_PROGRESS), named for the portable code; the numbers are
// those of the resource header the dialog templates use.
namespace control {
constexpr int next = IDC_NEXT;
constexpr int back = IDC_BACK;
constexpr int cancel = IDC_CANCEL_INSTALL;
constexpr int text_box = IDC_TEXT_BOX;
constexpr int folder = IDC_FOLDER;
constexpr int browse = IDC_BROWSE;
constexpr int folder_label = IDC_FOLDER_PROMPT;
constexpr int summary = IDC_SUMMARY;
constexpr int licence_prompt = IDC_LICENSE_PROMPT;
constexpr int desktop = IDC_SHORTCUT_DESKTOP;
constexpr int start_menu = IDC_SHORTCUT_START_MENU;
constexpr int quick_launch = IDC_SHORTCUT_QUICK_LAUNCH;
constexpr int status = IDC_STATUS;
constexpr int progress_plain = IDC_PROGRESS_PLAIN;
constexpr int progress_smooth = IDC_PROGRESS_SMOOTH;
constexpr int credit = IDC_CREDIT;
constexpr int disk_space = IDC_DISK_SPACE;
}  // namespace control

// Longest text a path or edit field holds (a 260-byte buffer with its zero).
using quill::kMaxPathLength;

// The wizard's steps in their order; `closed` once the wizard has ended.
enum class Step { closed = -1, welcome, licence, folder, shortcuts, summary, installing, finished };
constexpr int kStepCount = 7;

// The number of a step's side picture and background picture: 1 to 7 for
// the steps in their order, 0 once the wizard has closed.
int picture_number(Step step);

// What the loader found in the package, as far as the wizard needs it.
struct WizardData {
  std::string welcome_text;
  std::string title;  // installer title: caption of every window and box
  std::string licence_text;
  std::string install_folder;  // the folder field's first text (initial_folder_text)
  bool has_shortcuts_file = false;
  // Which shortcut locations occur in the shortcut list.
  bool uses_desktop = false;
  bool uses_start_menu = false;
  bool uses_quick_launch = false;
  int progress_style = 0;  // 0 plain bar, 1 smooth bar
  bool small_window = false;
  std::uint64_t megabytes_needed = 0;
  bool per_user = false;  // a per-user install: the folder must be the user's to write
};

// The wizard's part of the data loaded at start-up; `command_line_folder`
// is the "/D=" text (empty: none).
// `installed_folder`: the folder of the program installed already (empty: none).
WizardData wizard_data(const package::InstallerData& data, const std::string& command_line_folder,
                       const std::string& installed_folder = std::string());

// One control as a step shows it.
struct ControlView {
  int id = 0;
  bool visible = false;
  bool enabled = true;
  bool has_text = false;  // false: leave the control's text as it is
  std::string text;
};

struct Placement {
  int x = 0, y = 0, width = 0, height = 0;
};

// Everything `show step` sets on the dialog.
struct StepView {
  Step step = Step::welcome;
  std::string window_title;
  std::vector<ControlView> controls;  // every wizard control, shown or hidden
  bool place_buttons = false;         // welcome to summary: move Next and Back
  Placement next_button;
  Placement back_button;
  bool place_text_box = false;  // welcome and licence
  Placement text_box;
  int picture = 0;  // picture_number(step): the side picture and the background

  const ControlView* find(int id) const;
};

// What a transition asks of the dialog.
enum class Action {
  show,           // render the view (as it stands when nothing moved)
  install,        // render the installing step, then start the install and slideshow threads
  finished,       // render the finished step, read the end-of-install files, repaint,
                  // wait 200 ms and bring the wizard to the front
  ask_cancel,     // ask the cancel question (Cancel, or closed while installing)
  close,          // the wizard ends
  close_damaged,  // the damaged-package box, then the wizard ends
  done,           // "Done" on the last step: run the end events, exit
};

// One action and what it needs.
struct Outcome {
  Action action = Action::show;
  std::string warning;        // a message box shown before the action (empty: none)
  bool small_window = false;  // install: run the small progress window (IDD_SMALL_PROGRESS)
};

class Wizard {
 public:
  Wizard(os::Os& os, WizardData data);

  // First initialisation: fills the folder field, ticks the three boxes and
  // shows the welcome step (or the first step that has content).
  Outcome open();
  // Button `next` ("Next", "I Agree", "Install", "Done").
  Outcome next();
  // Button `back` ("Previous", "I Disagree", "Exit").
  Outcome back();
  // The window's close command.
  Outcome close();
  // Button `cancel` (installing step only): asks kCancelQuestion; the answer
  // goes to the install thread through CancelFlags.
  Outcome cancel();
  // The install thread has finished: installing moves to finished.
  Outcome install_finished();
  // The install thread's run has ended with `result`: finished moves on to
  // the finished step; any other result (undone already) closes the wizard,
  // after the damaged-package box or the unusable-folder warning where one
  // belongs.
  Outcome install_ended(InstallResult result);

  // The dialog reports the folder field's text.
  void set_install_folder(const std::string& text);
  const InstallFolder& install_folder() const { return install_folder_; }
  // The dialog reports a shortcut check box (desktop, start_menu, quick_launch).
  void set_ticked(int id, bool ticked);
  bool ticked(int id) const;
  ShortcutChoice shortcut_choice() const;
  // 100 ms timer: recomputes the disk space when the folder text changed
  // since the last tick. True when the disk-space label changed.
  bool timer_tick();

  // The installing step's progress bar: progress_plain or progress_smooth.
  int progress_bar() const;

  Step step() const { return step_; }
  const StepView& view() const { return view_; }
  const WizardData& data() const { return data_; }
  std::uint64_t megabytes_available() const { return available_; }

  std::string disk_space_text() const;
  std::string summary_text() const;
  std::string window_title() const;

 private:
  Outcome show_step();
  void compute_disk_space();
  void build_view();

  os::Os& os_;
  WizardData data_;
  Step step_ = Step::welcome;
  bool forward_ = true;
  InstallFolder install_folder_;
  std::string last_seen_folder_;
  std::uint64_t available_ = 0;
  bool desktop_ = true;
  bool start_menu_ = true;
  bool quick_launch_ = true;
  StepView view_;
};

// What the install thread is asked to do: the loaded data, the wizard's
// install folder and its ticked boxes. The data must outlive the request.
InstallRequest install_request(const package::InstallerData& data, const Wizard& wizard,
                               RunLog* log);

// The credit button's address.
extern const char kCreditUrl[];

// "The folder %s cannot be used for the installation. ..." for a folder
// text that is relative or otherwise no usable folder.
std::string unusable_folder_message(const std::string& folder);
// "There isn't enough free disk space on drive X. ..." for a folder text.
std::string not_enough_space_message(const std::string& folder);
// "You cannot write to the folder %s. ..." for a per-user install's folder
// that the user may not write to.
std::string not_writable_message(const std::string& folder);
// Free megabytes for the drive named by the folder text's first two
// characters; 0 when they name no drive or the drive cannot be queried.
std::uint64_t available_megabytes(os::Os& os, const std::string& folder);

// Where the small progress window goes: centred horizontally, its middle at
// three quarters of the screen height, kept on the screen.
Placement small_window_placement(int screen_width, int screen_height, int width, int height);

}  // namespace quill::installer
