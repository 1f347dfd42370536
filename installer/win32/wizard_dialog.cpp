// Dialog 101, the installer's wizard, and dialog 109, the small progress
// window. Both render installer::Wizard's view by control identifier and
// forward clicks to it; the install thread runs installer::run_install.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include <atomic>
#include <memory>

#include "installer/end_of_install.h"
#include "installer/install_engine.h"
#include "installer/registration.h"
#include "installer/win32/controls.h"
#include "installer/win32/picture.h"
#include "installer/win32/stub.h"
#include "installer/wizard.h"
#include "resources/quillstub_resource.h"

namespace quill::stub {
namespace {

namespace control = installer::control;

constexpr UINT_PTR kFolderTimer = 1;
// Sent by the install thread to the wizard when it has ended (wparam: result).
constexpr UINT kInstallEnded = WM_APP + 1;
// Sent to the small progress window to close it.
constexpr UINT kCloseSmallWindow = WM_APP + 2;
// Posted by the install thread to the wizard: show the progress state.
constexpr UINT kShowProgress = WM_APP + 3;
// The window is brought up to date at most this often (milliseconds): a
// window update per file would cost more than writing the file.
constexpr DWORD kProgressInterval = 50;

struct WizardWindow {
  HWND window = nullptr;
  std::atomic<HWND> small_window{nullptr};  // dialog 109 while it is open; read by the install thread
  std::unique_ptr<installer::Wizard> wizard;
  PictureSlot side_picture;
  int side_picture_number = -1;
  bool rendering = false;  // our own text changes do not count as edits
  package::EndOfInstall end_events;
};

WizardWindow g_wizard;

// The install's progress as the install thread last reported it. The thread
// writes it and posts kShowProgress now and then; the window thread shows
// the latest state. The last state is always posted before the install's
// end is reported, so the window ends on the last file.
struct ProgressState {
  CRITICAL_SECTION lock;
  std::string status;
  bool status_changed = false;
  std::uint64_t done = 0;
  std::uint64_t total = 0;
  bool progress_changed = false;
  DWORD last_post = 0;
  bool posted = false;

  ProgressState() { InitializeCriticalSection(&lock); }
};

ProgressState g_progress;

// Install thread: posts the state when the interval has passed or `now`.
void post_progress(bool now) {
  const DWORD time = GetTickCount();
  if (!now && g_progress.posted && time - g_progress.last_post < kProgressInterval) return;
  g_progress.posted = true;
  g_progress.last_post = time;
  PostMessageA(g_wizard.window, kShowProgress, 0, 0);
}

const std::string& title() { return stub().data.title; }

bool file_exists(const std::string& path) {
  return !path.empty() && stub().os.file_status(path).exists;
}

// Side picture `number` (step + 1), or the default one when that file is missing.
void load_side_picture(int number) {
  if (number == g_wizard.side_picture_number) return;
  g_wizard.side_picture_number = number;
  const auto& pictures = stub().data.step_pictures;
  std::string path;
  if (number >= 0 && static_cast<std::size_t>(number) < pictures.size()) path = pictures[number];
  if (!file_exists(path)) path = pictures[0];
  if (path == g_wizard.side_picture.path() && !g_wizard.side_picture.empty()) return;
  g_wizard.side_picture.load(path);
  RECT area = {SIDE_PICTURE_X, SIDE_PICTURE_Y, SIDE_PICTURE_X + SIDE_PICTURE_WIDTH,
               SIDE_PICTURE_Y + SIDE_PICTURE_HEIGHT};
  InvalidateRect(g_wizard.window, &area, TRUE);
}

void place(HWND dialog, int id, const installer::Placement& p) {
  MoveWindow(GetDlgItem(dialog, id), p.x, p.y, p.width, p.height, TRUE);
}

// The content column lies right of the side picture, aligned with the text
// box (114, 40, 306 x 143) and the buttons that show step places; the
// template's dialog units would shift it with the font's metrics.
void place_content_controls(HWND dialog) {
  struct Spot {
    int id;
    installer::Placement at;
  };
  static const Spot kSpots[] = {
      {control::licence_prompt, {114, 6, 306, 30}},
      {control::folder_label, {114, 40, 306, 16}},
      {control::folder, {114, 60, 218, 21}},
      {control::browse, {340, 59, 80, 23}},
      {control::disk_space, {114, 92, 306, 32}},
      {control::summary, {114, 40, 306, 143}},
      {control::desktop, {114, 40, 306, 18}},
      {control::start_menu, {114, 62, 306, 18}},
      {control::quick_launch, {114, 84, 306, 18}},
      {control::status, {114, 40, 306, 48}},
      {control::progress_plain, {114, 96, 306, 18}},
      {control::progress_smooth, {114, 96, 306, 18}},
      {control::cancel, {340, 199, 80, 23}},
      {control::credit, {94, 203, 244, 16}},
  };
  for (const Spot& spot : kSpots) place(dialog, spot.id, spot.at);
}

void render() {
  HWND window = g_wizard.window;
  const installer::StepView& view = g_wizard.wizard->view();
  g_wizard.rendering = true;
  load_side_picture(view.side_picture);
  background_step_changed(view.background_step);
  SetWindowTextA(window, view.window_title.c_str());
  if (view.place_buttons) {
    place(window, control::next, view.next_button);
    place(window, control::back, view.back_button);
  }
  if (view.place_text_box) place(window, control::text_box, view.text_box);
  for (const installer::ControlView& c : view.controls) {
    if (c.has_text) set_text(window, c.id, c.text);
    enable(window, c.id, c.enabled);
    show(window, c.id, c.visible);
  }
  g_wizard.rendering = false;
}

// The step's progress window: the small one while it is open, else the wizard.
HWND progress_window() {
  HWND small = g_wizard.small_window.load();
  return small ? small : g_wizard.window;
}

bool ask_cancel(HWND owner) {
  installer::CancelFlags& flags = stub().install_cancel;
  flags.question_opened();
  int answer = MessageBoxA(owner, installer::kCancelQuestion, title().c_str(),
                           MB_YESNO | MB_ICONWARNING);
  flags.question_answered(answer == IDYES);
  return answer == IDYES;
}

class InstallThreadCallback : public installer::InstallCallback {
 public:
  installer::ReplaceAnswer ask_replace(const std::string& name) override {
    post_progress(true);  // the status names the file in question
    int answer = MessageBoxA(progress_window(), installer::replace_question(name).c_str(),
                             title().c_str(), MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDYES) return installer::ReplaceAnswer::yes;
    if (answer == IDNO) return installer::ReplaceAnswer::no;
    return installer::ReplaceAnswer::cancel;
  }
  void set_status(const std::string& text) override {
    EnterCriticalSection(&g_progress.lock);
    g_progress.status = text;
    g_progress.status_changed = true;
    LeaveCriticalSection(&g_progress.lock);
    // The phases after the files may take a while: show them at once.
    post_progress(text == installer::kUndoingStatus ||
                  text == installer::kCreatingShortcutsStatus);
  }
  void set_progress(std::uint64_t done, std::uint64_t total) override {
    EnterCriticalSection(&g_progress.lock);
    g_progress.done = done;
    g_progress.total = total;
    g_progress.progress_changed = true;
    LeaveCriticalSection(&g_progress.lock);
    slideshow_progress(done);
    post_progress(false);
  }
  bool cancel_requested() override { return stub().install_cancel.wait_and_check(); }
  installer::WriteAnswer ask_write_failed(const std::string& path) override {
    post_progress(true);
    int answer = MessageBoxA(progress_window(), installer::write_question(path).c_str(),
                             title().c_str(), MB_ABORTRETRYIGNORE | MB_ICONWARNING);
    if (answer == IDRETRY) return installer::WriteAnswer::retry;
    if (answer == IDIGNORE) return installer::WriteAnswer::ignore;
    return installer::WriteAnswer::abort;
  }
};

struct InstallJob {
  installer::InstallRequest request;
  bool wait_for_small_window = false;
};

DWORD WINAPI install_thread(void* param) {
  std::unique_ptr<InstallJob> job(static_cast<InstallJob*>(param));
  if (job->wait_for_small_window) {
    while (!g_wizard.small_window.load()) Sleep(50);
  }
  CoInitialize(nullptr);
  InstallThreadCallback callback;
  installer::InstallResult result = installer::run_install(stub().os, job->request, callback);
  CoUninitialize();
  stub().install_result = result;
  post_progress(true);
  if (result == installer::InstallResult::cancelled) end_process(installer::kExitCancelled);
  PostMessageA(g_wizard.window, kInstallEnded, static_cast<WPARAM>(result), 0);
  return 0;
}

void start_install(bool small_window) {
  const package::InstallerData& data = stub().data;
  auto job = std::make_unique<InstallJob>();
  // Read once: '/' becomes '\' here, for every use of the folder after.
  job->request.install_folder = installer::normalize_folder_text(get_text(g_wizard.window, control::folder));
  job->request.registered_name = data.registered_name;
  job->request.has_registered_name = data.has_registered_name;
  job->request.install_entry_count = data.install_entry_count;
  job->request.shortcuts.desktop = g_wizard.wizard->ticked(control::desktop);
  job->request.shortcuts.start_menu = g_wizard.wizard->ticked(control::start_menu);
  job->request.shortcuts.quick_launch = g_wizard.wizard->ticked(control::quick_launch);
  job->request.macros = &data.macros;
  job->request.log = stub().log;
  job->wait_for_small_window = small_window;
  stub().install_started = true;
  // The thread owns the job from here; it ends the process or reports back.
  HANDLE thread = CreateThread(nullptr, 0, install_thread, job.get(), 0, nullptr);
  if (thread) {
    job.release();
    CloseHandle(thread);
  }
}

INT_PTR CALLBACK small_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      ShowWindow(g_wizard.window, SW_HIDE);
      SetWindowTextA(window, installer::kSmallWindowCaption);
      set_text(window, control::status, installer::kSmallWindowStatus);
      RECT own;
      GetWindowRect(window, &own);
      installer::Placement p = installer::small_window_placement(
          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), own.right - own.left,
          own.bottom - own.top);
      MoveWindow(window, p.x, p.y, p.width, p.height, TRUE);
      bool smooth = stub().data.settings.progress_style == 1;
      show(window, smooth ? control::progress_smooth : control::progress_plain, true);
      g_wizard.small_window = window;
      return TRUE;
    }
    case WM_COMMAND:
      // Only the Cancel button asks; Esc arrives as IDCANCEL and is ignored.
      if (LOWORD(wparam) == control::cancel) ask_cancel(window);
      return TRUE;
    case kCloseSmallWindow:
      g_wizard.small_window = nullptr;
      EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

class MessageBoxUi : public installer::MessageUi {
 public:
  bool show_message(installer::MessageKind kind, const std::string& text) override {
    UINT style = kind == installer::MessageKind::ok ? (MB_OK | MB_ICONWARNING)
                                                    : (MB_YESNO | MB_ICONWARNING);
    return MessageBoxA(g_wizard.window, to_control_text(text).c_str(), title().c_str(), style) ==
           IDYES;
  }
};

void run_end_of_install_events() {
  MessageBoxUi ui;
  installer::run_end_of_install(stub().os, g_wizard.end_events, ui);
}

void handle(const installer::Outcome& outcome) {
  HWND window = g_wizard.window;
  if (!outcome.warning.empty()) {
    MessageBoxA(window, outcome.warning.c_str(), title().c_str(), MB_OK | MB_ICONWARNING);
  }
  if (outcome.ask_cancel) {
    ask_cancel(window);
    return;
  }
  if (outcome.closed) {
    KillTimer(window, kFolderTimer);
    EndDialog(window, 0);
    return;
  }
  if (outcome.done) {
    run_end_of_install_events();
    end_process(installer::kExitInstalled);
  }
  render();
  if (outcome.start_install) {
    start_slideshow();
    start_install(outcome.run_small_window);
    if (outcome.run_small_window) {
      DialogBoxParamA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)),
                      MAKEINTRESOURCEA(IDD_SMALL_PROGRESS), nullptr, small_window_proc, 0);
    }
  }
  if (outcome.entered_finished) {
    wizard_finished();
    ShowWindow(window, SW_SHOW);
    package::read_end_of_install(stub().os, stub().data.macros,
                                 installer::normalize_folder_text(get_text(window, control::folder)),
                                 &g_wizard.end_events);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    Sleep(200);
    SetForegroundWindow(window);
  }
}

void browse_for_folder(HWND window) {
  char chosen[MAX_PATH + 1] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = window;
  info.pszDisplayName = chosen;
  info.lpszTitle = installer::kBrowseTitle;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  LPITEMIDLIST list = SHBrowseForFolderA(&info);
  if (!list) return;
  if (SHGetPathFromIDListA(list, chosen)) SetDlgItemTextA(window, control::folder, chosen);
  CoTaskMemFree(list);
}

void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT area = {SIDE_PICTURE_X, SIDE_PICTURE_Y, SIDE_PICTURE_X + SIDE_PICTURE_WIDTH,
               SIDE_PICTURE_Y + SIDE_PICTURE_HEIGHT};
  g_wizard.side_picture.draw(dc, area);
  EndPaint(window, &ps);
}

INT_PTR CALLBACK wizard_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_wizard.window = window;
      g_wizard.wizard = std::make_unique<installer::Wizard>(stub().os, installer::wizard_data(stub().data));
      HICON icon = LoadIconA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)),
                             MAKEINTRESOURCEA(IDI_INSTALLER));
      SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendDlgItemMessageA(window, control::folder, EM_LIMITTEXT, installer::kMaxPathLength, 0);
      // A rich text box holds 32,767 characters by default; texts of that
      // many bytes grow by a CR on every line.
      SendDlgItemMessageA(window, control::text_box, EM_EXLIMITTEXT, 0, 0x100000);
      place_content_controls(window);
      if (HWND behind = background_window()) {
        // The wizard stays above the background window as its pop-up.
        SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(behind));
        LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        SetWindowLongPtrA(window, GWL_STYLE, style | WS_POPUP | WS_CAPTION | WS_SYSMENU);
      }
      installer::Outcome outcome = g_wizard.wizard->open();
      g_wizard.rendering = true;
      set_text(window, control::folder, g_wizard.wizard->folder_text());
      g_wizard.rendering = false;
      for (int id : {control::desktop, control::start_menu, control::quick_launch}) {
        set_checked(window, id, g_wizard.wizard->ticked(id));
      }
      handle(outcome);
      SetTimer(window, kFolderTimer, 100, nullptr);
      return TRUE;
    }
    case WM_PAINT:
      paint(window);
      return TRUE;
    case WM_TIMER:
      if (wparam == kFolderTimer && g_wizard.wizard->timer_tick()) {
        set_text(window, control::disk_space, g_wizard.wizard->disk_space_text());
      }
      return TRUE;
    case kShowProgress: {
      EnterCriticalSection(&g_progress.lock);
      const bool status_changed = g_progress.status_changed;
      const bool progress_changed = g_progress.progress_changed;
      const std::string status = g_progress.status;
      const std::uint64_t done = g_progress.done;
      const std::uint64_t total = g_progress.total;
      g_progress.status_changed = g_progress.progress_changed = false;
      LeaveCriticalSection(&g_progress.lock);
      HWND target = progress_window();
      if (status_changed) set_text(target, control::status, status);
      if (progress_changed) {
        for (int id : {control::progress_plain, control::progress_smooth}) {
          SendDlgItemMessageA(target, id, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
          SendDlgItemMessageA(target, id, PBM_SETPOS, static_cast<WPARAM>(done), 0);
        }
      }
      return TRUE;
    }
    case kInstallEnded: {
      // Every result but `finished` has been undone by the install thread.
      const auto result = static_cast<installer::InstallResult>(wparam);
      if (result != installer::InstallResult::finished) {
        if (g_wizard.small_window) PostMessageA(g_wizard.small_window, kCloseSmallWindow, 0, 0);
        if (result == installer::InstallResult::damaged) {
          show_start_error(package::ExtractOutcome::damaged);
        } else if (result == installer::InstallResult::unusable_folder) {
          MessageBoxA(window,
                      installer::unusable_folder_message(get_text(window, control::folder)).c_str(),
                      title().c_str(), MB_OK | MB_ICONWARNING);
        }
        KillTimer(window, kFolderTimer);
        EndDialog(window, 0);
        return TRUE;
      }
      if (g_wizard.small_window) {
        // The finished step shows once the small window's modal loop has ended.
        PostMessageA(g_wizard.small_window, kCloseSmallWindow, 0, 0);
        PostMessageA(window, kInstallEnded, wparam, lparam);
        return TRUE;
      }
      handle(g_wizard.wizard->install_finished());
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      if (id == control::folder && code == EN_CHANGE) {
        if (!g_wizard.rendering) g_wizard.wizard->set_folder_text(get_text(window, control::folder));
        return TRUE;
      }
      if (code != BN_CLICKED) return FALSE;
      switch (id) {
        case control::next: handle(g_wizard.wizard->next()); break;
        case control::back: handle(g_wizard.wizard->back()); break;
        case control::browse: browse_for_folder(window); break;
        case control::cancel: ask_cancel(window); break;
        case control::credit: stub().os.shell_open(installer::kCreditUrl); break;
        case control::desktop:
        case control::start_menu:
        case control::quick_launch:
          g_wizard.wizard->set_ticked(id, is_checked(window, id));
          break;
        // Esc arrives as IDCANCEL and is ignored: only the buttons and the
        // close command move or end the wizard, so it can never skip the
        // end-of-install events of "Done".
      }
      return TRUE;
    }
    case WM_CLOSE:
      handle(g_wizard.wizard->close());
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void run_wizard(HINSTANCE instance) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr, wizard_proc, 0);
  g_wizard.side_picture.release();
}

}  // namespace quill::stub
