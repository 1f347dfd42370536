// The graphics page: window messages to the editor's picture commands and
// the editor's page state to the controls.
#include "builder/ui/graphics_tab.h"

#include "builder/editor/controls.h"
#include "builder/ui/wide_controls.h"
#include "quillset_resource.h"

namespace quill::ui {

using namespace controls;

bool GraphicsPageView::on_command(int id, int code) {
  if (!editor_) return false;
  switch (id) {
    case IDC_BACKGROUND_OPTIONS:
      if (code == BN_CLICKED) run_fullscreen_options(instance_, window_, *editor_);
      return true;
    case IDC_WINDOW_SETTINGS:
      if (code == BN_CLICKED) run_window_settings(instance_, window_, *editor_);
      return true;
    case IDC_ADD_IMAGE:
      if (code == BN_CLICKED) editor_->add_image();
      break;
    case IDC_REMOVE_IMAGE:
      if (code == BN_CLICKED) editor_->remove_image();
      break;
    case IDC_IMAGE_LIST:
      if (code != LBN_SELCHANGE) return true;
      editor_->select_image(static_cast<int>(SendDlgItemMessageW(window_, id, LB_GETCURSEL, 0, 0)));
      break;
    case IDC_IMAGE_STEP: {
      if (code != CBN_SELCHANGE) return true;
      LRESULT at = SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0);
      if (at != CB_ERR) {
        editor_->image_step_changed(static_cast<int>(SendDlgItemMessageW(window_, id, CB_GETITEMDATA, at, 0)));
      }
      return true;
    }
    case IDC_IMAGE_BACKGROUND:
      if (code == BN_CLICKED) editor_->image_background_clicked(is_checked(window_, id));
      break;
    case IDC_IMAGE_STRETCH:
    case IDC_IMAGE_CENTER:
    case IDC_IMAGE_AT_POSITION:
      if (code == BN_CLICKED) editor_->image_mode_clicked(id);
      break;
    default:
      return false;
  }
  render();
  return true;
}

void GraphicsPageView::on_timer() {
  if (editor_) editor_->image_sync_tick(get_text(window_, IDC_IMAGE_X), get_text(window_, IDC_IMAGE_Y));
}

void GraphicsPageView::render() {
  if (!editor_) return;
  const editor::GraphicsPage& page = editor_->graphics();
  HWND list = GetDlgItem(window_, IDC_IMAGE_LIST);
  if (page.list_version != list_version_) {
    list_version_ = page.list_version;
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const editor::ImageListItem& item : page.items) {
      LRESULT at = add_string(list, LB_ADDSTRING, item.text);
      SendMessageW(list, LB_SETITEMDATA, at, item.slot);
    }
  }
  SendMessageW(list, LB_SETCURSEL, page.selected, 0);
  sync_text(window_, IDC_IMAGE_FILE, page.image_file);
  const project::ImageRecord& image = editor_->selected_image();
  const bool shown_anew = page.shown_version != shown_version_;
  if (shown_anew) {
    shown_version_ = page.shown_version;
    SendDlgItemMessageW(window_, IDC_IMAGE_STEP, CB_SETCURSEL, image.step >= 1 && image.step <= 7 ? image.step - 1 : 0, 0);
    set_text(window_, IDC_IMAGE_X, std::to_string(static_cast<unsigned>(image.x)));
    set_text(window_, IDC_IMAGE_Y, std::to_string(static_cast<unsigned>(image.y)));
  }
  if (shown_anew || page.selected >= 0) {
    set_checked(window_, IDC_IMAGE_BACKGROUND, image.background);
    const int radio = editor::image_radio_of_mode(image.mode);
    for (int id : {IDC_IMAGE_STRETCH, IDC_IMAGE_CENTER, IDC_IMAGE_AT_POSITION}) set_checked(window_, id, id == radio);
  }
  for (int id : {IDC_IMAGE_STEP, IDC_IMAGE_BACKGROUND, IDC_IMAGE_BACKGROUND_LABEL, IDC_REMOVE_IMAGE, IDC_IMAGE_FILE,
                 IDC_IMAGE_STRETCH, IDC_IMAGE_CENTER, IDC_IMAGE_AT_POSITION, IDC_IMAGE_X_LABEL, IDC_IMAGE_X,
                 IDC_IMAGE_Y}) {
    enable(window_, id, editor_->is_enabled(id));
  }
}

}  // namespace quill::ui
