// Dialog 118: the installer window's progress bar style and shrinking.
#include <windows.h>
#include <commctrl.h>

#include "builder/editor/fullscreen_options.h"
#include "builder/editor/window_settings.h"
#include "builder/ui/dialog_setup.h"
#include "builder/ui/wide_controls.h"
#include "builder/ui/graphics_tab.h"
#include "quillset_resource.h"

namespace quill::ui {

using namespace controls;

namespace {

constexpr UINT_PTR kPreviewTimer = 0;

struct State {
  editor::Editor& editor;
  editor::WindowSettingsDialog dialog;
  explicit State(editor::Editor& e) : editor(e), dialog(e.project().window_settings()) {}
};

INT_PTR CALLBACK settings_proc(HWND d, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* s = dialog_state<State>(d, message, lparam);
  if (!s) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      for (int id : {IDC_WS_STANDARD, IDC_WS_SMOOTH, IDC_WS_SHRINK}) set_checked(d, id, s->dialog.checked(id));
      for (int id : {IDC_WS_STANDARD_BAR, IDC_WS_SMOOTH_BAR}) {
        SendDlgItemMessageW(d, id, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      }
      set_caption_and_icon(d, editor::text::kWindowSettingsTitle);
      SetTimer(d, kPreviewTimer, editor::kPreviewMilliseconds, nullptr);
      return TRUE;
    case WM_TIMER:
      if (wparam == kPreviewTimer) {
        int position = s->dialog.tick();
        for (int id : {IDC_WS_STANDARD_BAR, IDC_WS_SMOOTH_BAR}) SendDlgItemMessageW(d, id, PBM_SETPOS, position, 0);
      }
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (HIWORD(wparam) != BN_CLICKED) return FALSE;
      switch (id) {
        case IDC_WS_STANDARD:
        case IDC_WS_SMOOTH:
        case IDC_WS_SHRINK:
          s->dialog.choose(id, is_checked(d, id));
          return TRUE;
        case IDC_WS_SAVE:
          for (int radio : {IDC_WS_STANDARD, IDC_WS_SMOOTH, IDC_WS_SHRINK}) {
            s->dialog.choose(radio, is_checked(d, radio));
          }
          s->editor.store_window_settings(s->dialog.result());
          end_timed_dialog(d, kPreviewTimer, 1);
          return TRUE;
        case IDCANCEL:
          end_timed_dialog(d, kPreviewTimer, 0);
          return TRUE;
        default:
          return FALSE;
      }
    }
    case WM_CLOSE:
      end_timed_dialog(d, kPreviewTimer, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void run_window_settings(HINSTANCE instance, HWND owner, editor::Editor& editor) {
  State state(editor);
  run_dialog(instance, IDD_WINDOW_SETTINGS, owner, settings_proc, &state);
}

}  // namespace quill::ui
