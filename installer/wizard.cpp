// The wizard's step machine and the texts it shows.
#include "installer/wizard.h"

#include "installer/install_engine.h"
#include "common/texts.h"

#include <cstdio>
#include <utility>

namespace quill::installer {

const char kCreditUrl[] = "http://www.orvelle-software.example/";

namespace {

using texts::TextId;
using texts::text;

// The step `by` steps after (or before) `step`; before the welcome step the
// wizard has closed.
Step moved(Step step, int by) {
  const int number = static_cast<int>(step) + by;
  return number < 0 ? Step::closed : static_cast<Step>(number);
}

bool is_drive_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

ControlView control_view(int id, bool visible) {
  ControlView view;
  view.id = id;
  view.visible = visible;
  return view;
}

ControlView text_control(int id, bool visible, std::string text) {
  ControlView view = control_view(id, visible);
  view.has_text = true;
  view.text = std::move(text);
  return view;
}

// An outcome without a warning.
Outcome only(Action action) {
  Outcome out;
  out.action = action;
  return out;
}

// The box that sends the user back to the folder step.
std::string folder_warning(FolderCheck check, const std::string& typed) {
  switch (check) {
    case FolderCheck::usable: break;
    case FolderCheck::too_short: return std::string(text(TextId::invalid_path));
    case FolderCheck::unusable: return unusable_folder_message(typed);
    case FolderCheck::not_enough_space: return not_enough_space_message(typed);
    case FolderCheck::not_writable: return not_writable_message(typed);
  }
  return std::string();
}

}  // namespace

int picture_number(Step step) { return static_cast<int>(step) + 1; }

const ControlView* StepView::find(int id) const {
  for (const ControlView& c : controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

std::string unusable_folder_message(const std::string& folder) {
  return texts::format(TextId::unusable_folder, {folder});
}

std::string not_enough_space_message(const std::string& folder) {
  std::string drive = folder.empty() ? std::string() : folder.substr(0, 1);
  return texts::format(TextId::not_enough_space, {drive});
}

std::string not_writable_message(const std::string& folder) {
  return texts::format(TextId::not_writable, {folder});
}

std::uint64_t available_megabytes(os::Os& os, const std::string& folder) {
  // Only "X:" names a drive; anything else (a network path, a relative
  // text) has no free space to offer, so the folder step cannot be left.
  if (folder.size() < 2 || !is_drive_letter(folder[0]) || folder[1] != ':') return 0;
  std::uint64_t megabytes = 0;
  if (!os.free_megabytes(folder.substr(0, 2) + "\\", &megabytes)) return 0;
  return megabytes;
}

WizardData wizard_data(const package::InstallerData& data, const std::string& command_line_folder,
                       const std::string& installed_folder) {
  WizardData w;
  w.welcome_text = data.welcome_text;
  w.title = data.title;
  w.licence_text = data.licence_text;
  w.install_folder = initial_folder_text(data.install_folders, command_line_folder, installed_folder);
  w.has_shortcuts_file = data.has_shortcuts;
  w.uses_desktop = data.shortcut_locations.desktop;
  w.uses_start_menu = data.shortcut_locations.start_menu;
  w.uses_quick_launch = data.shortcut_locations.quick_launch;
  w.progress_style = data.settings.progress_style;
  w.small_window = data.settings.shrink_during_install;
  w.megabytes_needed = data.megabytes_needed;
  w.per_user = data.scope.scope == package::Scope::user;
  return w;
}

Placement small_window_placement(int screen_width, int screen_height, int width, int height) {
  Placement p;
  p.width = width;
  p.height = height;
  p.x = (screen_width - width) / 2;
  p.y = screen_height * 3 / 4 - height / 2;
  if (p.y + height > screen_height) p.y = screen_height - height;
  if (p.x < 0) p.x = 0;
  if (p.y < 0) p.y = 0;
  return p;
}

Wizard::Wizard(os::Os& os, WizardData data) : os_(os), data_(std::move(data)) {
  if (data_.progress_style != 1) data_.progress_style = 0;
}

Outcome Wizard::open() {
  set_install_folder(data_.install_folder);
  desktop_ = start_menu_ = quick_launch_ = true;
  step_ = Step::welcome;
  forward_ = true;
  compute_disk_space();
  last_seen_folder_ = install_folder_.typed();
  return show_step();
}

Outcome Wizard::next() {
  if (step_ == Step::finished) return only(Action::done);
  if (step_ == Step::installing || step_ == Step::closed) return Outcome();
  step_ = moved(step_, 1);
  if (step_ == Step::shortcuts && !data_.has_shortcuts_file) step_ = moved(step_, 1);
  forward_ = true;
  return show_step();
}

Outcome Wizard::back() {
  if (step_ >= Step::installing || step_ == Step::closed) return Outcome();
  step_ = moved(step_, -1);
  if (step_ == Step::shortcuts && !data_.has_shortcuts_file) step_ = moved(step_, -1);
  forward_ = false;
  return show_step();
}

Outcome Wizard::close() {
  if (step_ == Step::installing) {
    // The install thread is still extracting from the payload folder:
    // closing must go through the cancel question, not end the wizard.
    return only(Action::ask_cancel);
  }
  step_ = Step::closed;
  return only(Action::close);
}

Outcome Wizard::cancel() {
  return only(step_ == Step::installing ? Action::ask_cancel : Action::show);
}

Outcome Wizard::install_ended(InstallResult result) {
  if (result == InstallResult::finished) return install_finished();
  Outcome out;
  out.action = result == InstallResult::damaged ? Action::close_damaged : Action::close;
  if (result == InstallResult::unusable_folder) {
    out.warning = unusable_folder_message(install_folder_.typed());
  }
  step_ = Step::closed;
  return out;
}

Outcome Wizard::install_finished() {
  if (step_ != Step::installing) return Outcome();
  step_ = Step::finished;
  forward_ = true;
  return show_step();
}

void Wizard::set_install_folder(const std::string& text) { install_folder_ = InstallFolder(text); }

void Wizard::set_ticked(int id, bool ticked) {
  if (id == control::desktop) desktop_ = ticked;
  if (id == control::start_menu) start_menu_ = ticked;
  if (id == control::quick_launch) quick_launch_ = ticked;
}

bool Wizard::ticked(int id) const {
  if (id == control::desktop) return desktop_;
  if (id == control::start_menu) return start_menu_;
  if (id == control::quick_launch) return quick_launch_;
  return false;
}

ShortcutChoice Wizard::shortcut_choice() const {
  ShortcutChoice choice;
  choice.desktop = desktop_;
  choice.start_menu = start_menu_;
  choice.quick_launch = quick_launch_;
  return choice;
}

int Wizard::progress_bar() const {
  return data_.progress_style == 1 ? control::progress_smooth : control::progress_plain;
}

InstallRequest install_request(const package::InstallerData& data, const Wizard& wizard,
                               RunLog* log) {
  InstallRequest request =
      make_install_request(data, wizard.install_folder(), wizard.shortcut_choice());
  request.log = log;
  return request;
}

bool Wizard::timer_tick() {
  if (install_folder_.typed() == last_seen_folder_) return false;
  last_seen_folder_ = install_folder_.typed();
  std::uint64_t before = available_;
  compute_disk_space();
  if (before == available_) return false;
  build_view();
  return true;
}

void Wizard::compute_disk_space() {
  available_ = available_megabytes(os_, install_folder_.typed());
}

std::string Wizard::disk_space_text() const {
  return texts::format(TextId::disk_space,
                       {std::to_string(static_cast<unsigned long long>(data_.megabytes_needed)),
                        std::to_string(static_cast<unsigned long long>(available_))});
}

std::string Wizard::summary_text() const {
  std::string out = texts::format(TextId::summary_folder, {install_folder_.typed()});
  if (!data_.has_shortcuts_file) return out;
  const auto line = [&out](TextId id) { out.append(text(id)).append("\n"); };
  out.append("\n\n");
  line(TextId::summary_shortcuts);
  if (start_menu_ && data_.uses_start_menu) line(TextId::summary_start_menu);
  if (desktop_ && data_.uses_desktop) line(TextId::summary_desktop);
  if (quick_launch_ && data_.uses_quick_launch) {
    line(TextId::summary_quick_launch);
  } else if (!desktop_ && !start_menu_) {
    out.append(text(TextId::summary_none));
  }
  return out;
}

std::string Wizard::window_title() const {
  if (step_ == Step::closed) return data_.title;
  static const TextId kStepTitles[kStepCount] = {
      TextId::step_welcome, TextId::step_licence,    TextId::step_folder,  TextId::step_shortcuts,
      TextId::step_summary, TextId::step_installing, TextId::step_finished,
  };
  return data_.title + " - " + std::string(text(kStepTitles[static_cast<int>(step_)]));
}

Outcome Wizard::show_step() {
  Outcome out;
  // Steps without content are passed over in the direction of the move;
  // the two validations send the user back to the folder step. Each of
  // these ends after at most three moves, since the folder step has no
  // condition.
  for (;;) {
    if (step_ == Step::closed) {
      out.action = Action::close;
      return out;
    }
    if (step_ == Step::welcome && data_.welcome_text.empty()) {
      step_ = forward_ ? Step::licence : Step::closed;
      continue;
    }
    if (step_ == Step::licence && data_.licence_text.empty()) {
      step_ = forward_ ? Step::folder : Step::welcome;
      continue;
    }
    if (step_ == Step::shortcuts || step_ == Step::summary) {
      compute_disk_space();
      // A relative folder would install nothing: refuse it here.
      const FolderCheck check =
          check_install_folder(os_, install_folder_, data_.megabytes_needed, available_, data_.per_user);
      if (check != FolderCheck::usable) {
        out.warning = folder_warning(check, install_folder_.typed());
        step_ = Step::folder;
        continue;
      }
    }
    break;
  }
  build_view();
  if (step_ == Step::installing) {
    out.action = Action::install;
    out.small_window = data_.small_window;
  }
  if (step_ == Step::finished) out.action = Action::finished;
  return out;
}

void Wizard::build_view() {
  const Step s = step_;
  StepView v;
  v.step = s;
  v.window_title = window_title();
  v.picture = picture_number(s);
  v.place_buttons = s >= Step::welcome && s <= Step::summary;
  // Wide enough for the longest translation of every button text.
  v.next_button = Placement{330, 199, 90, 23};
  v.back_button = Placement{11, 199, 90, 23};
  v.place_text_box = s == Step::welcome || s == Step::licence;
  v.text_box = Placement{114, 40, 306, 143};

  static const TextId kNextTexts[kStepCount] = {
      TextId::button_next,    TextId::button_agree, TextId::button_next, TextId::button_next,
      TextId::button_install, TextId::count,        TextId::button_done};
  TextId back_text = TextId::button_previous;
  switch (s) {
    case Step::welcome: back_text = TextId::button_exit; break;
    case Step::licence:
      back_text = data_.welcome_text.empty() ? TextId::button_exit : TextId::button_disagree;
      break;
    case Step::folder:
      if (data_.welcome_text.empty() && data_.licence_text.empty()) back_text = TextId::button_exit;
      break;
    default: break;
  }
  const bool buttons = s <= Step::summary;  // Next and Back
  // The installing step has no Next text (TextId::count reads as empty).
  v.controls.push_back(text_control(
      control::next, buttons || s == Step::finished,
      s == Step::closed ? std::string() : std::string(text(kNextTexts[static_cast<int>(s)]))));
  v.controls.push_back(text_control(control::back, buttons, std::string(text(back_text))));
  v.controls.push_back(control_view(control::cancel, s == Step::installing));

  const std::string box_text = s == Step::welcome   ? data_.welcome_text
                               : s == Step::licence ? data_.licence_text
                                                    : "";
  v.controls.push_back(s <= Step::licence ? text_control(control::text_box, true, box_text)
                                          : control_view(control::text_box, false));
  const bool folder = s == Step::folder;
  v.controls.push_back(control_view(control::folder, folder));
  v.controls.push_back(control_view(control::browse, folder));
  v.controls.push_back(control_view(control::folder_label, folder));
  v.controls.push_back(text_control(control::disk_space, folder, disk_space_text()));
  if (s == Step::summary) {
    v.controls.push_back(text_control(control::summary, true, summary_text()));
  } else if (s == Step::finished) {
    v.controls.push_back(text_control(control::summary, true, std::string(text(TextId::finished_text))));
  } else {
    v.controls.push_back(control_view(control::summary, false));
  }
  v.controls.push_back(control_view(control::licence_prompt, s == Step::licence));
  const bool shortcuts = s == Step::shortcuts;
  v.controls.push_back(control_view(control::desktop, shortcuts && data_.uses_desktop));
  v.controls.push_back(control_view(control::start_menu, shortcuts && data_.uses_start_menu));
  v.controls.push_back(control_view(control::quick_launch, shortcuts && data_.uses_quick_launch));
  const bool installing = s == Step::installing;
  v.controls.push_back(control_view(control::status, installing));
  v.controls.push_back(control_view(
      control::progress_plain, installing && progress_bar() == control::progress_plain));
  v.controls.push_back(control_view(
      control::progress_smooth, installing && progress_bar() == control::progress_smooth));
  v.controls.push_back(text_control(control::credit, true, std::string(text(TextId::credit))));
  view_ = std::move(v);
}

}  // namespace quill::installer
