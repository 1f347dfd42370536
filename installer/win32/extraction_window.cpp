// The extraction dialog shown while the loader thread works.
#include <windows.h>
#include <commctrl.h>

#include "installer/win32/stub.h"
#include "installer/win32/wide_controls.h"
#include "resources/quillstub_resource.h"

namespace quill::installer::win32 {
namespace {

constexpr UINT_PTR kTimer = 1;

INT_PTR CALLBACK extraction_proc(HWND window, UINT message, WPARAM wparam, LPARAM) {
  Stub& s = stub();
  switch (message) {
    case WM_INITDIALOG:
      // The title is known once the loader has read the data files; before
      // that the loader may still be writing it.
      if (s.loader_finished.load()) set_window_text(window, s.data.title);
      set_text(window, IDC_EXTRACT_LABEL, texts::TextId::extracting);
      set_text(window, IDC_EXTRACT_CANCEL, texts::TextId::button_cancel);
      s.extraction_window = window;
      // The loader may have reported before the window existed.
      SendDlgItemMessageW(window, IDC_PROGRESS_SMOOTH, PBM_SETRANGE32, 0, s.extract_range.load());
      SendDlgItemMessageW(window, IDC_PROGRESS_SMOOTH, PBM_SETPOS, s.extract_position.load(), 0);
      SetTimer(window, kTimer, 100, nullptr);
      return TRUE;
    case WM_TIMER:
      if (s.load_complete.load()) {
        KillTimer(window, kTimer);
        s.extraction_window = nullptr;
        EndDialog(window, 0);
      }
      return TRUE;
    case WM_COMMAND:
      // Only the Cancel button cancels; Esc arrives as IDCANCEL and is ignored.
      if (LOWORD(wparam) == IDC_EXTRACT_CANCEL) {
        s.cancel = true;
        KillTimer(window, kTimer);
        s.extraction_window = nullptr;
        EndDialog(window, 0);
      }
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void run_extraction_window(HINSTANCE instance) {
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_EXTRACTION), nullptr, extraction_proc, 0);
}

}  // namespace quill::installer::win32
