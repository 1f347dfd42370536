// The "/PASSIVE" install's window: the small progress window, with no
// button. The install runs on a thread of its own with the silent install's
// answers; the window shows its status line and progress and closes when
// the install ends.
#include <windows.h>

#include "installer/win32/progress_relay.h"
#include "installer/win32/stub.h"
#include "installer/win32/wide_controls.h"
#include "installer/wizard.h"
#include "resources/quillstub_resource.h"

namespace quill::installer::win32 {
namespace {

// Posted by the install thread once the install has ended (wparam: exit code).
constexpr UINT kEnded = WM_APP + 4;
// The window also looks at the latest state on its own every 100 ms: a
// thread that stops between paced updates still leaves its state on show.
constexpr UINT_PTR kLookTimer = 1;

class PassiveWindow : public ProgressReport {
 public:
  explicit PassiveWindow(UnattendedInstall install) : install_(install) {}

  void set_status(const std::string& text) override { relay_.set_status(window_, text); }
  void set_progress_range(std::uint64_t total) override { relay_.set_range(total); }
  void set_progress(std::uint64_t done) override { relay_.set_position(window_, done); }

  void open(HWND window) {
    window_ = window;
    set_installer_icon(window);
    set_lines(window, control::status, std::string(texts::text(texts::TextId::small_window_status)));
    // Nothing to answer, nothing to cancel.
    show(window, control::cancel, false);
    RECT own;
    GetWindowRect(window, &own);
    const Placement p = small_window_placement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                               own.right - own.left, own.bottom - own.top);
    MoveWindow(window, p.x, p.y, p.width, p.height, TRUE);
    SetTimer(window, kLookTimer, 100, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    if (thread) {
      CloseHandle(thread);
    } else {
      PostMessageW(window, kEnded, static_cast<WPARAM>(kExitWriteFailed), 0);
    }
  }

  void show_latest() {
    if (!bar_shown_ && !stub().load_complete.load()) return;
    if (!bar_shown_) {
      // The install reports only once the loader has read the package's
      // data: its title and the look of its progress bar.
      const package::InstallerData& data = stub().data;
      set_window_text(window_, data.title);
      show(window_, data.settings.progress_style == 1 ? control::progress_smooth : control::progress_plain,
           true);
      bar_shown_ = true;
    }
    relay_.show(window_);
  }

 private:
  static DWORD WINAPI run(void* self) {
    PassiveWindow& w = *static_cast<PassiveWindow*>(self);
    // The shortcuts are made through COM on this thread.
    CoInitialize(nullptr);
    const int code = w.install_(&w);
    CoUninitialize();
    w.relay_.post(w.window_, true);
    PostMessageW(w.window_, kEnded, static_cast<WPARAM>(code), 0);
    return 0;
  }

  UnattendedInstall install_;
  HWND window_ = nullptr;
  ProgressRelay relay_;
  bool bar_shown_ = false;  // window thread only
};

INT_PTR CALLBACK passive_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    reinterpret_cast<PassiveWindow*>(lparam)->open(window);
    return TRUE;
  }
  auto* w = reinterpret_cast<PassiveWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!w) return FALSE;
  switch (message) {
    case kShowProgress:
    case WM_TIMER:
      w->show_latest();
      return TRUE;
    case kEnded:
      EndDialog(window, static_cast<INT_PTR>(wparam));
      return TRUE;
    case WM_COMMAND:
    case WM_CLOSE:
      // Esc and the close command do not end an install that runs.
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int run_passive_window(HINSTANCE instance, UnattendedInstall install) {
  PassiveWindow w(install);
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SMALL_PROGRESS), nullptr,
                                          passive_proc, reinterpret_cast<LPARAM>(&w)));
}

}  // namespace quill::installer::win32
