// Dialog 1400 over editor::LanguagesDialog: a check per language, a choice
// of the language whose texts the five fields hold, two Browse buttons.
#include <memory>
#include <string>

#include "builder/editor/languages_dialog.h"
#include "builder/ui/dialog_setup.h"
#include "builder/ui/moves_ui.h"
#include "builder/ui/wide_controls.h"
#include "quillset_resource.h"

namespace quill::ui {

using namespace controls;

namespace {

namespace lc = editor::language_control;

struct LanguagesWindow {
  HWND window = nullptr;
  editor::Editor* editor = nullptr;
  std::unique_ptr<editor::LanguagesDialog> model;
  int rendering = 0;

  void read_fields() {
    if (!model->fields_enabled()) return;
    for (int id : lc::kFields) model->set_text(id, get_text(window, id));
  }

  void render() {
    ++rendering;
    for (std::size_t i = 0; i < model->count(); ++i) {
      set_checked(window, model->check_control(i), model->carried(i));
    }
    // The combo's entries are the carried languages; item data: the
    // language's place in the table.
    HWND shown = GetDlgItem(window, lc::kShown);
    SendMessageW(shown, CB_RESETCONTENT, 0, 0);
    for (std::size_t i : model->shown_choices()) {
      LRESULT at = add_string(shown, CB_ADDSTRING, model->caption(i));
      SendMessageW(shown, CB_SETITEMDATA, at, static_cast<LPARAM>(i));
      if (i == model->shown()) SendMessageW(shown, CB_SETCURSEL, at, 0);
    }
    enable(window, lc::kShown, model->fields_enabled());
    for (int id : {lc::kTitle, lc::kWelcome, lc::kWelcomeBrowse, lc::kLicence, lc::kLicenceBrowse, lc::kEoiMessage,
                   lc::kBackgroundText}) {
      enable(window, id, model->fields_enabled());
    }
    for (int id : lc::kFields) sync_text(window, id, model->text(id));
    --rendering;
  }

  void initialise() {
    set_caption_and_icon(window, model->title());
    for (std::size_t i = 0; i < model->count(); ++i) {
      set_text(window, model->check_control(i), model->caption(i));
      enable(window, model->check_control(i), model->can_toggle(i));
    }
    for (int id : lc::kFields) SendDlgItemMessageW(window, id, EM_LIMITTEXT, kMaxPathLength, 0);
    render();
  }

  // True when the dialog ends.
  bool command(int id, int code) {
    if (rendering) return false;
    if (id == lc::kShown) {
      if (code != CBN_SELCHANGE) return false;
      read_fields();
      LRESULT at = SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0);
      if (at != CB_ERR) model->show(static_cast<std::size_t>(SendDlgItemMessageW(window, id, CB_GETITEMDATA, at, 0)));
      render();
      return false;
    }
    if (code != BN_CLICKED) return false;
    if (id >= lc::kFirstCheck && id < lc::kFirstCheck + static_cast<int>(model->count())) {
      read_fields();
      model->set_carried(static_cast<std::size_t>(id - lc::kFirstCheck), is_checked(window, id));
      render();
      return false;
    }
    switch (id) {
      case lc::kWelcomeBrowse:
      case lc::kLicenceBrowse:
        read_fields();
        model->browse(id);
        render();
        return false;
      case lc::kSave:
        read_fields();
        editor->store_languages(*model);
        return true;
      case IDCANCEL:
        return true;
      default:
        return false;
    }
  }
};

INT_PTR CALLBACK languages_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = dialog_state<LanguagesWindow>(window, message, lparam);
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      self->window = window;
      self->initialise();
      return TRUE;
    case WM_COMMAND:
      if (self->command(LOWORD(wparam), HIWORD(wparam))) EndDialog(window, 0);
      return TRUE;
    case WM_CLOSE:
      EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void show_languages_dialog(HINSTANCE instance, HWND owner, editor::Editor& editor) {
  LanguagesWindow self;
  self.editor = &editor;
  self.model = editor.languages_dialog();
  run_dialog(instance, IDD_LANGUAGES, owner, languages_proc, &self);
}

}  // namespace quill::ui
