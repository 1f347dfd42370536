// The progress dialog: a list of steps, a progress bar and one button. The
// worker changes the controls only by sending messages, which the dialog's
// thread processes.
#include "uninstaller/win32/progress_dialog.h"

#include <commctrl.h>

#include "resources/quillclean_resource.h"
#include "uninstaller/removal.h"

namespace quill::uninstaller {
namespace {

struct Removal {
  os::Os* os = nullptr;
  const UninstallLog* log = nullptr;
  const FolderGuard* guard = nullptr;
  HWND dialog = nullptr;
};

Removal g_removal;
// Touched by the dialog's thread only: the worker starts once per process,
// however often the dialog is initialised.
bool g_worker_not_started = true;

class DialogObserver : public RemovalObserver {
 public:
  explicit DialogObserver(HWND dialog) : dialog_(dialog) {}

  void set_progress_range(std::uint64_t maximum) override {
    SendDlgItemMessageA(dialog_, IDC_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
  }
  void set_progress(std::uint64_t position) override {
    SendDlgItemMessageA(dialog_, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  void set_status(const std::string& text) override {
    LRESULT index = SendDlgItemMessageA(dialog_, IDC_STEPS, LB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) SendDlgItemMessageA(dialog_, IDC_STEPS, LB_SETCURSEL, index, 0);
  }
  void finished() override { SetDlgItemTextA(dialog_, IDC_FINISH, "OK"); }

 private:
  HWND dialog_;
};

DWORD WINAPI removal_worker(LPVOID) {
  DialogObserver observer(g_removal.dialog);
  run_removal(*g_removal.os, *g_removal.log, *g_removal.guard, observer);
  return 0;
}

INT_PTR CALLBACK progress_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      if (g_worker_not_started) {
        g_removal.dialog = dialog;
        g_worker_not_started = false;
        HANDLE worker = CreateThread(nullptr, 0, removal_worker, nullptr, 0, nullptr);
        if (worker != nullptr) CloseHandle(worker);
      }
      SetFocus(GetDlgItem(dialog, IDC_STEPS));
      break;
    case WM_COMMAND:
      // Only the button ends the dialog; Enter and Esc arrive as IDOK and
      // IDCANCEL and are ignored.
      if (LOWORD(wparam) == IDC_FINISH) EndDialog(dialog, 0);
      break;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      break;
  }
  return FALSE;
}

}  // namespace

void run_progress_dialog(HINSTANCE instance, os::Os& os, const UninstallLog& log,
                         const FolderGuard& guard) {
  g_removal.os = &os;
  g_removal.log = &log;
  g_removal.guard = &guard;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, progress_procedure, 0);
}

}  // namespace quill::uninstaller
