// The installer's wizard dialog and its small progress window. Both render installer::Wizard's view by control identifier and
// forward clicks to it; the install thread runs installer::run_install.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include <atomic>
#include <memory>

#include "common/in_use.h"
#include "common/texts.h"
#include "uninstaller/shared_texts.h"
#include "installer/end_of_install.h"
#include "installer/install_engine.h"
#include "installer/pictures.h"
#include "common/dpi_win32.h"
#include "installer/win32/picture.h"
#include "installer/win32/progress_relay.h"
#include "installer/win32/stub.h"
#include "installer/win32/wide_controls.h"
#include "installer/wizard.h"
#include "resources/quillstub_resource.h"

namespace quill::installer::win32 {

namespace {

namespace control = installer::control;

constexpr UINT_PTR kFolderTimer = 1;
// Sent by the install thread to the wizard when it has ended (wparam: result).
constexpr UINT kInstallEnded = WM_APP + 1;
// Sent to the small progress window to close it.
constexpr UINT kCloseSmallWindow = WM_APP + 2;
// Posted by the wizard to itself once a move to a screen of another
// resolution has been handled: place the pixel-placed controls again.
constexpr UINT kPlaceAgain = WM_APP + 4;

// The wizard's window state, made by run_wizard and handed to the dialog,
// the small progress window and the install thread.
struct WizardWindow {
  explicit WizardWindow(WizardSession& s) : session(s) {}
  WizardWindow(const WizardWindow&) = delete;
  WizardWindow& operator=(const WizardWindow&) = delete;

  WizardSession& session;
  HWND window = nullptr;
  std::atomic<HWND> small_window{nullptr};  // the small window while it is open; read by the install thread
  std::unique_ptr<installer::Wizard> wizard;
  PictureSlot side_picture;
  int side_picture_number = -1;
  bool rendering = false;  // our own text changes do not count as edits
  package::EndOfInstall end_events;

  // The install's progress as the install thread last reported it. The
  // last state is always posted before the install's end is reported, so
  // the window ends on the last file.
  ProgressRelay progress;

  const std::string& title() const { return session.data.title; }
};

// The state a dialog procedure was handed at WM_INITDIALOG (null before).
WizardWindow* window_state(HWND dialog) {
  return reinterpret_cast<WizardWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

WizardWindow* keep_window_state(HWND dialog, LPARAM lparam) {
  SetWindowLongPtrW(dialog, DWLP_USER, lparam);
  return reinterpret_cast<WizardWindow*>(lparam);
}

// Install thread: posts the state when the pace allows or `urgent`.
void post_progress(WizardWindow& w, bool urgent) { w.progress.post(w.window, urgent); }

// The side picture's frame in the wizard's client area.
RECT side_picture_area(HWND window) {
  return dpi::scaled_rect(SIDE_PICTURE_X, SIDE_PICTURE_Y, SIDE_PICTURE_WIDTH, SIDE_PICTURE_HEIGHT,
                          dpi::window_dpi(window));
}

void load_side_picture(WizardWindow& w, int number) {
  if (number == w.side_picture_number) return;
  w.side_picture_number = number;
  const std::string path =
      installer::side_picture_path(w.session.os, w.session.data.step_pictures, number);
  if (path == w.side_picture.path() && !w.side_picture.empty()) return;
  w.side_picture.load(path);
  RECT area = side_picture_area(w.window);
  InvalidateRect(w.window, &area, TRUE);
}

// The placements below are pixels of a 96-dpi screen; a window on another
// screen scales them to its resolution, as its dialog font is scaled.
void place(HWND dialog, int id, const installer::Placement& p) {
  const RECT r = dpi::scaled_rect(p.x, p.y, p.width, p.height, dpi::window_dpi(dialog));
  MoveWindow(GetDlgItem(dialog, id), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// The content column lies right of the side picture, aligned with the text
// box (114, 40, 306 x 143) and the buttons that show step places; the
// template's dialog units would shift it with the font's metrics. Buttons
// and labels leave room for the longest translation (labels wrap: the
// licence prompt takes three lines, the folder prompt two); the credit line
// sits under the content column, since Back and Next leave too little room
// between them for it.
void place_content_controls(HWND dialog) {
  struct Spot {
    int id;
    installer::Placement at;
  };
  static const Spot kSpots[] = {
      {control::licence_prompt, {114, 1, 306, 39}},
      {control::folder_label, {114, 30, 306, 28}},
      {control::folder, {114, 60, 203, 21}},
      {control::browse, {325, 59, 95, 23}},
      {control::disk_space, {114, 92, 306, 32}},
      {control::summary, {114, 40, 306, 143}},
      {control::desktop, {114, 40, 306, 18}},
      {control::start_menu, {114, 62, 306, 18}},
      {control::quick_launch, {114, 84, 306, 18}},
      {control::status, {114, 40, 306, 48}},
      {control::progress_plain, {114, 96, 306, 18}},
      {control::progress_smooth, {114, 96, 306, 18}},
      {control::cancel, {330, 199, 90, 23}},
      {control::credit, {114, 184, 306, 14}},
  };
  for (const Spot& spot : kSpots) place(dialog, spot.id, spot.at);
}

// Places the controls the step view positions in pixels.
void place_step_controls(HWND window, const installer::StepView& view) {
  if (view.place_buttons) {
    place(window, control::next, view.next_button);
    place(window, control::back, view.back_button);
  }
  if (view.place_text_box) place(window, control::text_box, view.text_box);
}

void render(WizardWindow& w) {
  HWND window = w.window;
  const installer::StepView& view = w.wizard->view();
  w.rendering = true;
  load_side_picture(w, view.picture);
  background_step_changed(view.picture);
  set_window_text(window, view.window_title);
  place_step_controls(window, view);
  for (const installer::ControlView& c : view.controls) {
    if (c.has_text) set_lines(window, c.id, c.text);
    enable(window, c.id, c.enabled);
    show(window, c.id, c.visible);
  }
  w.rendering = false;
}

// The step's progress window: the small one while it is open, else the wizard.
HWND progress_window(const WizardWindow& w) {
  HWND small = w.small_window.load();
  return small ? small : w.window;
}

bool ask_cancel(WizardWindow& w, HWND owner) {
  installer::CancelFlags& flags = w.session.cancel;
  flags.question_opened();
  int answer = message_box(owner, std::string(texts::text(texts::TextId::cancel_question)),
                           w.title(), MB_YESNO | MB_ICONWARNING);
  flags.question_answered(answer == IDYES);
  return answer == IDYES;
}

class InstallThreadCallback : public installer::InstallCallback {
 public:
  explicit InstallThreadCallback(WizardWindow& w) : w_(w) {}

  installer::ReplaceAnswer ask_replace(const std::string& name) override {
    post_progress(w_, true);  // the status names the file in question
    int answer = message_box(progress_window(w_), installer::replace_question(name), w_.title(),
                             MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDYES) return installer::ReplaceAnswer::yes;
    if (answer == IDNO) return installer::ReplaceAnswer::no;
    return installer::ReplaceAnswer::cancel;
  }
  void set_status(const std::string& text) override { w_.progress.set_status(w_.window, text); }
  void set_progress_range(std::uint64_t total) override { w_.progress.set_range(total); }
  void set_progress(std::uint64_t done) override {
    slideshow_progress(done);
    w_.progress.set_position(w_.window, done);
  }
  bool cancel_requested() override { return w_.session.cancel.wait_and_check(); }
  installer::WriteAnswer ask_write_failed(const std::string& path) override {
    post_progress(w_, true);
    int answer = message_box(progress_window(w_), installer::write_question(path), w_.title(),
                             MB_ABORTRETRYIGNORE | MB_ICONWARNING);
    if (answer == IDRETRY) return installer::WriteAnswer::retry;
    if (answer == IDIGNORE) return installer::WriteAnswer::ignore;
    return installer::WriteAnswer::abort;
  }
  installer::WriteAnswer ask_file_in_use(const std::string&, const std::string& question) override {
    post_progress(w_, true);
    int answer = message_box(progress_window(w_), question, w_.title(),
                             MB_ABORTRETRYIGNORE | MB_ICONWARNING);
    if (answer == IDRETRY) return installer::WriteAnswer::retry;
    if (answer == IDIGNORE) return installer::WriteAnswer::ignore;
    return installer::WriteAnswer::abort;
  }

 private:
  WizardWindow& w_;
};

struct InstallJob {
  WizardWindow* w = nullptr;
  installer::InstallRequest request;
  bool wait_for_small_window = false;
};

DWORD WINAPI install_thread(void* param) {
  std::unique_ptr<InstallJob> job(static_cast<InstallJob*>(param));
  WizardWindow& w = *job->w;
  if (job->wait_for_small_window) {
    while (!w.small_window.load()) Sleep(50);
  }
  CoInitialize(nullptr);
  InstallThreadCallback callback(w);
  installer::InstallStats stats;
  installer::InstallResult result =
      installer::run_install(w.session.os, job->request, callback, &stats);
  CoUninitialize();
  w.session.install_result = result;
  if (result == installer::InstallResult::finished && stats.files_later > 0) {
    w.session.restart_needed = true;
    message_box(progress_window(w), uninstaller::restart_needed_text(), w.title(),
                MB_OK | MB_ICONINFORMATION);
  }
  post_progress(w, true);
  if (result == installer::InstallResult::cancelled) end_process(installer::kExitCancelled);
  PostMessageW(w.window, kInstallEnded, static_cast<WPARAM>(result), 0);
  return 0;
}

void start_install(WizardWindow& w, bool small_window) {
  auto job = std::make_unique<InstallJob>();
  job->w = &w;
  job->request = installer::install_request(w.session.data, *w.wizard, w.session.log);
  job->request.installed = w.session.installed;
  job->request.restart_allowed = w.session.restart_allowed;
  job->wait_for_small_window = small_window;
  w.session.install_started = true;
  // The thread owns the job from here; it ends the process or reports back.
  HANDLE thread = CreateThread(nullptr, 0, install_thread, job.get(), 0, nullptr);
  if (thread) {
    job.release();
    CloseHandle(thread);
  }
}

INT_PTR CALLBACK small_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    WizardWindow& w = *keep_window_state(window, lparam);
    ShowWindow(w.window, SW_HIDE);
    set_window_text(window, std::string(texts::text(texts::TextId::small_window_caption)));
    set_lines(window, control::status,
              std::string(texts::text(texts::TextId::small_window_status)));
    set_text(window, control::cancel, texts::TextId::button_cancel);

    RECT own;
    GetWindowRect(window, &own);
    installer::Placement p = installer::small_window_placement(
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), own.right - own.left,
        own.bottom - own.top);
    MoveWindow(window, p.x, p.y, p.width, p.height, TRUE);
    show(window, w.wizard->progress_bar(), true);
    w.small_window = window;
    return TRUE;
  }
  WizardWindow* w = window_state(window);
  if (!w) return FALSE;
  switch (message) {
    case WM_COMMAND:
      // Only the Cancel button asks; Esc arrives as IDCANCEL and is ignored.
      if (LOWORD(wparam) == control::cancel) ask_cancel(*w, window);
      return TRUE;
    case kCloseSmallWindow:
      w->small_window = nullptr;
      EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

class MessageBoxUi : public installer::MessageUi {
 public:
  explicit MessageBoxUi(const WizardWindow& w) : w_(w) {}
  bool show_message(installer::MessageKind kind, const std::string& text) override {
    UINT style = kind == installer::MessageKind::ok ? (MB_OK | MB_ICONWARNING)
                                                    : (MB_YESNO | MB_ICONWARNING);
    return message_box(w_.window, to_control_text(text), w_.title(), style) == IDYES;
  }

 private:
  const WizardWindow& w_;
};

void handle(WizardWindow& w, const installer::Outcome& outcome) {
  using installer::Action;
  HWND window = w.window;
  if (outcome.action == Action::close_damaged) show_start_error(package::ExtractOutcome::damaged);
  if (!outcome.warning.empty()) {
    message_box(window, outcome.warning, w.title(), MB_OK | MB_ICONWARNING);
  }
  switch (outcome.action) {
    case Action::ask_cancel:
      ask_cancel(w, window);
      return;
    case Action::close:
    case Action::close_damaged:
      KillTimer(window, kFolderTimer);
      EndDialog(window, 0);
      return;
    case Action::done: {
      MessageBoxUi ui(w);
      installer::run_end_of_install(w.session.os, w.end_events, ui);
      end_process(installer::exit_code(installer::InstallResult::finished,
                                       w.session.restart_needed.load()));
    }
    case Action::show:
    case Action::install:
    case Action::finished:
      break;
  }
  render(w);
  if (outcome.action == Action::install) {
    start_slideshow();
    start_install(w, outcome.small_window);
    if (outcome.small_window) {
      DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)),
                      MAKEINTRESOURCEW(IDD_SMALL_PROGRESS), nullptr, small_window_proc,
                      reinterpret_cast<LPARAM>(&w));
    }
  }
  if (outcome.action == Action::finished) {
    wizard_finished();
    ShowWindow(window, SW_SHOW);
    package::read_end_of_install(w.session.os, w.session.data.macros, w.session.data.files,
                                 w.wizard->install_folder().text(), &w.end_events,
                                 w.session.data.language);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    Sleep(200);
    SetForegroundWindow(window);
  }
}

void browse_for_folder(HWND window) {
  wchar_t chosen[MAX_PATH + 1] = {};
  const quill::os::WideString title = os::wide(std::string(texts::text(texts::TextId::browse_title)));
  BROWSEINFOW info = {};
  info.hwndOwner = window;
  info.pszDisplayName = chosen;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  LPITEMIDLIST list = SHBrowseForFolderW(&info);
  if (!list) return;
  if (SHGetPathFromIDListW(list, chosen)) SetDlgItemTextW(window, control::folder, chosen);
  CoTaskMemFree(list);
}

void paint(WizardWindow& w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w.window, &ps);
  RECT area = side_picture_area(w.window);
  w.side_picture.draw(dc, area);
  EndPaint(w.window, &ps);
}

// The texts the steps never change, in the program's language; the
// templates hold the English ones.
void set_fixed_texts(HWND window) {
  struct Fixed {
    int id;
    texts::TextId text;
  };
  static const Fixed kFixed[] = {
      {control::cancel, texts::TextId::button_cancel},
      {control::browse, texts::TextId::button_browse},
      {control::folder_label, texts::TextId::folder_prompt},
      {control::licence_prompt, texts::TextId::licence_prompt},
      {control::desktop, texts::TextId::shortcut_desktop},
      {control::start_menu, texts::TextId::shortcut_start_menu},
      {control::quick_launch, texts::TextId::shortcut_quick_launch},
      {control::status, texts::TextId::status_installing},
  };
  for (const Fixed& f : kFixed) set_text(window, f.id, f.text);
}

void open_wizard(WizardWindow& w, HWND window) {
  w.window = window;
  w.wizard = std::make_unique<installer::Wizard>(
      w.session.os, installer::wizard_data(w.session.data, w.session.command_line_folder,
                             w.session.installed ? w.session.installed->folder : std::string()));
  set_installer_icon(window);
  SendDlgItemMessageW(window, control::folder, EM_LIMITTEXT, installer::kMaxPathLength, 0);
  // A rich text box holds 32,767 characters by default; texts of that
  // many bytes grow by a CR on every line.
  SendDlgItemMessageW(window, control::text_box, EM_EXLIMITTEXT, 0, 0x100000);
  set_fixed_texts(window);
  place_content_controls(window);
  if (HWND behind = background_window()) {
    // The wizard stays above the background window as its pop-up.
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(behind));
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE, style | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  }
  installer::Outcome outcome = w.wizard->open();
  w.rendering = true;
  set_lines(window, control::folder, w.wizard->install_folder().typed());
  w.rendering = false;
  for (int id : {control::desktop, control::start_menu, control::quick_launch}) {
    set_checked(window, id, w.wizard->ticked(id));
  }
  handle(w, outcome);
  SetTimer(window, kFolderTimer, 100, nullptr);
}

void show_progress(WizardWindow& w) { w.progress.show(progress_window(w)); }

void install_ended(WizardWindow& w, WPARAM wparam, LPARAM lparam) {
  const auto result = static_cast<installer::InstallResult>(wparam);
  if (HWND small = w.small_window.load()) {
    PostMessageW(small, kCloseSmallWindow, 0, 0);
    if (result == installer::InstallResult::finished) {
      // The finished step shows once the small window's modal loop has ended.
      PostMessageW(w.window, kInstallEnded, wparam, lparam);
      return;
    }
  }
  handle(w, w.wizard->install_ended(result));
}

// False for the notifications the wizard leaves to the dialog manager.
bool command(WizardWindow& w, int id, int code) {
  HWND window = w.window;
  if (id == control::folder && code == EN_CHANGE) {
    if (!w.rendering) w.wizard->set_install_folder(get_text(window, control::folder));
    return true;
  }
  if (code != BN_CLICKED) return false;
  switch (id) {
    case control::next: handle(w, w.wizard->next()); break;
    case control::back: handle(w, w.wizard->back()); break;
    case control::browse: browse_for_folder(window); break;
    case control::cancel: ask_cancel(w, window); break;
    case control::credit: w.session.os.open_as_desktop_user(installer::kCreditUrl); break;
    case control::desktop:
    case control::start_menu:
    case control::quick_launch:
      w.wizard->set_ticked(id, is_checked(window, id));
      break;
    // Esc arrives as IDCANCEL and is ignored: only the buttons and the
    // close command move or end the wizard, so it can never skip the
    // end-of-install events of "Done".
  }
  return true;
}

INT_PTR CALLBACK wizard_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    open_wizard(*keep_window_state(window, lparam), window);
    return TRUE;
  }
  WizardWindow* w = window_state(window);
  if (!w) return FALSE;
  switch (message) {
    case WM_PAINT:
      paint(*w);
      return TRUE;
    case WM_TIMER:
      if (wparam == kFolderTimer && w->wizard->timer_tick()) {
        set_lines(window, control::disk_space, w->wizard->disk_space_text());
      }
      return TRUE;
    case kShowProgress:
      show_progress(*w);
      return TRUE;
    case kInstallEnded:
      install_ended(*w, wparam, lparam);
      return TRUE;
    case dpi::kDpiChanged: {
      // Moved to a screen of another resolution: take the size the system
      // suggests (it scales the template's font and dialog units), then
      // place the pixel-placed controls for the new resolution once the
      // dialog manager has done its part.
      dpi::take_suggested_place(window, lparam);
      PostMessageW(window, kPlaceAgain, 0, 0);
      return FALSE;
    }
    case kPlaceAgain:
      place_content_controls(window);
      place_step_controls(window, w->wizard->view());
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case WM_COMMAND:
      return command(*w, LOWORD(wparam), HIWORD(wparam)) ? TRUE : FALSE;
    case WM_CLOSE:
      handle(*w, w->wizard->close());
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void run_wizard(HINSTANCE instance, WizardSession& session) {
  // The dialog closes only once the install thread has posted its last
  // message, or before it ever started.
  WizardWindow w(session);
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_WIZARD), nullptr, wizard_proc,
                  reinterpret_cast<LPARAM>(&w));
}

}  // namespace quill::installer::win32
