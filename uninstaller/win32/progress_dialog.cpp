// The progress dialog: a list of steps, a progress bar and one button. The
// worker changes the controls only by sending messages, which the dialog's
// thread processes.
#include "uninstaller/win32/progress_dialog.h"

#include <commctrl.h>

#include "common/texts.h"
#include "os/win32_text.h"
#include "resources/quillclean_resource.h"
#include "uninstaller/removal.h"

namespace quill::uninstaller {
namespace {

struct Removal {
  os::Os* os = nullptr;
  const UninstallLog* log = nullptr;
  const FolderGuard* guard = nullptr;
  HWND dialog = nullptr;
  bool restart_allowed = true;
  RunLog* record = nullptr;
  volatile LONG restart_needed = 0;  // written by the worker as it ends
  HANDLE worker = nullptr;
  volatile LONG finished = 0;  // the removal reached its last step
};

Removal g_removal;

void set_text(HWND window, int id, texts::TextId text) {
  SetDlgItemTextW(window, id, os::wide(std::string(texts::text(text))).c_str());
}
// Touched by the dialog's thread only: the worker starts once per process,
// however often the dialog is initialised.
bool g_worker_not_started = true;

class DialogObserver : public RemovalObserver {
 public:
  explicit DialogObserver(HWND dialog) : dialog_(dialog) {}

  void set_progress_range(std::uint64_t maximum) override {
    SendDlgItemMessageW(dialog_, IDC_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
  }
  void set_progress(std::uint64_t position) override {
    SendDlgItemMessageW(dialog_, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  void set_status(const std::string& text) override {
    const quill::os::WideString line = os::wide(text);
    LRESULT index = SendDlgItemMessageW(dialog_, IDC_STEPS, LB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(line.c_str()));
    if (index >= 0) SendDlgItemMessageW(dialog_, IDC_STEPS, LB_SETCURSEL, index, 0);
  }
  void finished() override;

 private:
  HWND dialog_;
};

void DialogObserver::finished() {
  InterlockedExchange(&g_removal.finished, 1);
  set_text(dialog_, IDC_FINISH, texts::TextId::button_ok);
}

DWORD WINAPI removal_worker(LPVOID) {
  DialogObserver observer(g_removal.dialog);
  const bool later = run_removal(*g_removal.os, *g_removal.log, *g_removal.guard, observer,
                                 g_removal.restart_allowed, g_removal.record);
  if (later) InterlockedExchange(&g_removal.restart_needed, 1);
  return 0;
}

INT_PTR CALLBACK progress_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      // The template's texts are English; before the worker starts, and
      // never over the "OK" of a removal that has ended.
      SetWindowTextW(dialog,
                     os::wide(std::string(texts::text(texts::TextId::uninstaller_window_caption))).c_str());
      if (InterlockedCompareExchange(&g_removal.finished, 0, 0) == 0) {
        set_text(dialog, IDC_FINISH, texts::TextId::button_cancel);
      }
      if (g_worker_not_started) {
        g_removal.dialog = dialog;
        g_worker_not_started = false;
        g_removal.worker = CreateThread(nullptr, 0, removal_worker, nullptr, 0, nullptr);
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

bool run_progress_dialog(HINSTANCE instance, os::Os& os, const UninstallLog& log,
                         const FolderGuard& guard, bool restart_allowed, RunLog* record) {
  g_removal.os = &os;
  g_removal.record = record;
  g_removal.log = &log;
  g_removal.guard = &guard;
  g_removal.restart_allowed = restart_allowed;
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PROGRESS), nullptr, progress_procedure, 0);
  // A dialog ended by its button saw the removal's last step; the worker
  // only returns from there. One closed earlier does not wait.
  if (g_removal.worker != nullptr &&
      InterlockedCompareExchange(&g_removal.finished, 0, 0) != 0) {
    WaitForSingleObject(g_removal.worker, INFINITE);
  }
  return InterlockedCompareExchange(&g_removal.restart_needed, 0, 0) != 0;
}

}  // namespace quill::uninstaller
