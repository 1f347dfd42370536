// Dialog 107 over editor::MacrosDialog: the model holds every rule; this
// procedure copies the author's typing in and renders the model out.
#include <memory>
#include <string>

#include "builder/ui/dialog_setup.h"
#include "builder/ui/wide_controls.h"
#include "builder/ui/moves_ui.h"
#include "quillset_resource.h"

namespace quill::ui {

using namespace controls;

namespace {

struct MacrosWindow {
  HWND window = nullptr;
  std::unique_ptr<editor::MacrosDialog> model;
  int rendered_revision = -1;
  int rendering = 0;

  void read_fields() {
    for (int id : {IDC_MACRO_NAME, IDC_MACRO_KEY, IDC_MACRO_VALUE_NAME, IDC_MACRO_TEXT_VALUE}) {
      model->set_text(id, get_text(window, id));
    }
    LRESULT at = SendDlgItemMessageW(window, IDC_MACRO_ROOT_KEY, CB_GETCURSEL, 0, 0);
    std::string root;
    if (at != CB_ERR) {
      wchar_t buffer[260] = {};
      if (SendDlgItemMessageW(window, IDC_MACRO_ROOT_KEY, CB_GETLBTEXTLEN, at, 0) < 260) {
        SendDlgItemMessageW(window, IDC_MACRO_ROOT_KEY, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(buffer));
      }
      root = os::narrow(buffer);
    }
    model->set_text(IDC_MACRO_ROOT_KEY, root);
  }

  void render() {
    ++rendering;
    for (int id : {IDC_MACRO_NAME, IDC_MACRO_KEY, IDC_MACRO_VALUE_NAME, IDC_MACRO_TEXT_VALUE, IDC_MACRO_NEW,
                   IDC_MACRO_REMOVE}) {
      sync_text(window, id, model->control(id).text);
    }
    for (int id : {IDC_MACRO_NAME, IDC_MACRO_KEY, IDC_MACRO_VALUE_NAME, IDC_MACRO_TEXT_VALUE, IDC_MACRO_NEW,
                   IDC_MACRO_REMOVE, IDC_MACRO_ROOT_KEY, IDC_MACRO_REGISTRY, IDC_MACRO_TEXT}) {
      enable(window, id, model->control(id).enabled);
    }
    set_checked(window, IDC_MACRO_REGISTRY, model->control(IDC_MACRO_REGISTRY).checked);
    set_checked(window, IDC_MACRO_TEXT, model->control(IDC_MACRO_TEXT).checked);
    const std::string& root = model->control(IDC_MACRO_ROOT_KEY).text;
    const quill::os::WideString wide_root = os::wide(root);
    LRESULT at = root.empty() ? CB_ERR
                              : SendDlgItemMessageW(window, IDC_MACRO_ROOT_KEY, CB_FINDSTRINGEXACT,
                                                    static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide_root.c_str()));
    SendDlgItemMessageW(window, IDC_MACRO_ROOT_KEY, CB_SETCURSEL, at == CB_ERR ? static_cast<WPARAM>(-1) : at, 0);
    HWND list = GetDlgItem(window, IDC_MACRO_LIST);
    if (rendered_revision != model->list_revision()) {
      rendered_revision = model->list_revision();
      SendMessageW(list, LB_RESETCONTENT, 0, 0);
      for (const editor::MacroListItem& item : model->list()) {
        LRESULT index = add_string(list, LB_ADDSTRING, item.name);
        if (index >= 0) SendMessageW(list, LB_SETITEMDATA, index, item.slot);
      }
    }
    int selected_slot = model->selection() < 0 ? -1 : model->list()[model->selection()].slot;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    LRESULT select = -1;
    for (LRESULT i = 0; i < count && selected_slot >= 0; ++i) {
      if (SendMessageW(list, LB_GETITEMDATA, i, 0) == selected_slot) select = i;
    }
    if (SendMessageW(list, LB_GETCURSEL, 0, 0) != select) SendMessageW(list, LB_SETCURSEL, select, 0);
    --rendering;
  }

  void initialise() {
    model->initialise();
    for (const std::string& key : model->root_keys()) {
      add_string(GetDlgItem(window, IDC_MACRO_ROOT_KEY), CB_ADDSTRING, key);
    }
    set_caption_and_icon(window, model->title());
    render();
  }

  void command(int id, int code) {
    if (rendering) return;
    if (id == IDC_MACRO_LIST) {
      if (code != LBN_SELCHANGE) return;
      LRESULT at = SendDlgItemMessageW(window, IDC_MACRO_LIST, LB_GETCURSEL, 0, 0);
      int slot = at == LB_ERR ? -1 : static_cast<int>(SendDlgItemMessageW(window, IDC_MACRO_LIST, LB_GETITEMDATA, at, 0));
      model->select(slot < 0 ? -1 : model->position_of_slot(slot));
      render();
      return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
      case IDC_MACRO_NEW:
      case IDC_MACRO_REMOVE:
      case IDC_MACRO_REGISTRY:
      case IDC_MACRO_TEXT:
        read_fields();
        model->click(id);
        render();
        return;
      default: return;
    }
  }
};

INT_PTR CALLBACK macros_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = dialog_state<MacrosWindow>(window, message, lparam);
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      self->window = window;
      self->initialise();
      return TRUE;
    case WM_COMMAND:
      self->command(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_CLOSE:
      self->model->close();
      EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void show_macros_dialog(HINSTANCE instance, HWND owner, editor::Editor& editor) {
  MacrosWindow self;
  self.model = editor.macros_dialog();
  run_dialog(instance, IDD_MACROS, owner, macros_proc, &self);
}

}  // namespace quill::ui
