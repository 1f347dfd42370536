// The registry and environment dialogs: the model holds every rule; these
// procedures copy the author's typing in and render the model out, through
// the wide Windows calls.
#include "builder/ui/declarations_dialog.h"

#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <string>

#include "os/win32_text.h"
#include "quillset_resource.h"

namespace quill::ui {

namespace {

using os::narrow;
using os::wide;

std::string control_text(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthW(control);
  quill::os::WideString buffer(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(control, &buffer[0], length + 1);
  buffer.resize(std::wcslen(buffer.c_str()));
  return narrow(buffer);
}

void put_text(HWND dialog, int id, const std::string& text) { SetDlgItemTextW(dialog, id, wide(text).c_str()); }

std::string combo_choice(HWND dialog, int id) {
  const LRESULT at = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return std::string();
  const LRESULT length = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, at, 0);
  if (length == CB_ERR) return std::string();
  quill::os::WideString buffer(static_cast<std::size_t>(length) + 1, L'\0');
  SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(&buffer[0]));
  buffer.resize(std::wcslen(buffer.c_str()));
  return narrow(buffer);
}

template <typename State>
State* state_of(HWND dialog, UINT message, LPARAM lparam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lparam);
  return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void set_icon(HWND dialog) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUILLSET));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

// --- One declaration's edit dialog.

struct EditWindow {
  editor::DeclarationsDialog* list = nullptr;
  editor::DeclarationEdit* edit = nullptr;

  void initialise(HWND dialog) {
    SetWindowTextW(dialog, wide(edit->title()).c_str());
    set_icon(dialog);
    for (int id : edit->controls()) {
      const std::vector<std::string>& choices = edit->choices(id);
      if (!choices.empty()) {
        for (std::size_t i = 0; i < choices.size(); ++i) {
          SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(choices[i]).c_str()));
          if (choices[i] == edit->text(id)) SendDlgItemMessageW(dialog, id, CB_SETCURSEL, i, 0);
        }
      } else if (edit->is_check(id)) {
        CheckDlgButton(dialog, id, edit->checked(id) ? BST_CHECKED : BST_UNCHECKED);
      } else {
        put_text(dialog, id, edit->text(id));
      }
    }
  }

  // OK: the fields into the model, which keeps the dialog open when it refuses them.
  bool accept(HWND dialog) {
    for (int id : edit->controls()) {
      if (!edit->choices(id).empty()) {
        edit->set_text(id, combo_choice(dialog, id));
      } else if (edit->is_check(id)) {
        edit->set_checked(id, IsDlgButtonChecked(dialog, id) == BST_CHECKED);
      } else {
        edit->set_text(id, control_text(dialog, id));
      }
    }
    return list->finish(*edit);
  }
};

INT_PTR CALLBACK edit_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = state_of<EditWindow>(dialog, message, lparam);
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      self->initialise(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK && self->accept(dialog)) EndDialog(dialog, IDOK);
      if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

// --- The list.

struct ListWindow {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  std::unique_ptr<editor::DeclarationsDialog> model;
  int rendered_revision = -1;
  int rendering = 0;

  HWND list() const { return GetDlgItem(window, IDC_DECL_LIST); }

  void initialise() {
    SetWindowTextW(window, wide(model->title()).c_str());
    set_icon(window);
    SendMessageW(list(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const struct {
      const char* caption;
      int width;  // dialog units
    } columns[] = {{"Kind", 70}, {"Target", 150}, {"Value", 100}};
    for (int i = 0; i < 3; ++i) {
      RECT width = {0, 0, columns[i].width, 0};
      MapDialogRect(window, &width);
      quill::os::WideString caption = wide(columns[i].caption);
      LVCOLUMNW column = {};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = width.right;
      column.pszText = &caption[0];
      SendMessageW(list(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    for (const std::string& kind : model->kinds()) {
      SendDlgItemMessageW(window, IDC_DECL_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(kind).c_str()));
    }
    SendDlgItemMessageW(window, IDC_DECL_KIND, CB_SETCURSEL, 0, 0);
    render();
  }

  void render() {
    ++rendering;
    HWND view = list();
    if (rendered_revision != model->revision()) {
      rendered_revision = model->revision();
      SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
      int index = 0;
      for (const project::DeclarationRow& row : model->rows()) {
        const std::string* texts[] = {&row.kind, &row.target, &row.value};
        for (int column = 0; column < 3; ++column) {
          quill::os::WideString text = wide(*texts[column]);
          LVITEMW item = {};
          item.mask = LVIF_TEXT;
          item.iItem = index;
          item.iSubItem = column;
          item.pszText = &text[0];
          SendMessageW(view, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, column == 0 ? 0 : index,
                       reinterpret_cast<LPARAM>(&item));
        }
        ++index;
      }
    }
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (model->selection() >= 0) {
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(view, LVM_SETITEMSTATE, model->selection(), reinterpret_cast<LPARAM>(&state));
      SendMessageW(view, LVM_ENSUREVISIBLE, model->selection(), FALSE);
    }
    EnableWindow(GetDlgItem(window, IDC_DECL_EDIT), model->can_change());
    EnableWindow(GetDlgItem(window, IDC_DECL_REMOVE), model->can_change());
    std::string problems = model->problems();
    std::string shown;
    for (char c : problems.empty() ? std::string("The checks find nothing wrong.") : problems) {
      shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    put_text(window, IDC_DECL_PROBLEMS, shown);
    --rendering;
  }

  void open_edit(std::unique_ptr<editor::DeclarationEdit> edit) {
    if (!edit) return;
    EditWindow state{model.get(), edit.get()};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(edit->template_id()), window, edit_proc,
                    reinterpret_cast<LPARAM>(&state));
    render();
  }

  void command(int id) {
    switch (id) {
      case IDC_DECL_ADD: {
        const LRESULT kind = SendDlgItemMessageW(window, IDC_DECL_KIND, CB_GETCURSEL, 0, 0);
        open_edit(model->add(kind == CB_ERR ? 0 : static_cast<int>(kind)));
        return;
      }
      case IDC_DECL_EDIT: open_edit(model->edit()); return;
      case IDC_DECL_REMOVE:
        model->remove();
        render();
        return;
      case IDC_DECL_CLOSE:
      case IDCANCEL: EndDialog(window, 0); return;
      default: return;
    }
  }

  void notify(const NMHDR* header) {
    if (rendering || header->idFrom != IDC_DECL_LIST) return;
    if (header->code == LVN_ITEMCHANGED) {
      model->select(static_cast<int>(SendMessageW(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
      ++rendering;
      EnableWindow(GetDlgItem(window, IDC_DECL_EDIT), model->can_change());
      EnableWindow(GetDlgItem(window, IDC_DECL_REMOVE), model->can_change());
      --rendering;
    } else if (header->code == NM_DBLCLK && model->can_change()) {
      open_edit(model->edit());
    }
  }
};

INT_PTR CALLBACK list_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = state_of<ListWindow>(dialog, message, lparam);
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      self->window = dialog;
      self->initialise();
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) self->command(LOWORD(wparam));
      return TRUE;
    case WM_NOTIFY:
      self->notify(reinterpret_cast<const NMHDR*>(lparam));
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void show_declarations_dialog(HINSTANCE instance, HWND owner, editor::Editor& editor) {
  ListWindow self;
  self.instance = instance;
  self.model = editor.declarations_dialog();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DECLARATIONS), owner, list_proc, reinterpret_cast<LPARAM>(&self));
}

}  // namespace quill::ui
