// The main window's dialog procedure. Rules live in the editor; this file
// turns window messages into editor commands and editor state into controls.
#include "builder/ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "builder/editor/controls.h"
#include "builder/editor/editor.h"
#include "builder/ui/build_report.h"
#include "builder/ui/declarations_dialog.h"
#include "builder/ui/dialog_setup.h"
#include "common/dpi_win32.h"
#include "builder/ui/graphics_tab.h"
#include "builder/ui/moves_ui.h"
#include "builder/ui/tree_view.h"
#include "builder/ui/wide_controls.h"
#include "builder/ui/win32_prompter.h"
#include "os/win32_os.h"
#include "os/win32_text.h"
#include "quillset_resource.h"

namespace quill::ui {

using namespace controls;

namespace {

using editor::Editor;
using project::SettingId;

// The controls that show a main window setting: a box shows its text, a
// check or radio is checked while the setting has `checked_value`. A check
// over a choice sets `unchecked_value` when it is cleared.
struct SettingControl {
  int control;
  SettingId setting;
  const char* checked_value;  // nullptr: a text box
  const char* unchecked_value = nullptr;
};

const SettingControl kSettingControls[] = {
    {IDC_PROGRAM_NAME, SettingId::name, nullptr},
    {IDC_TITLE, SettingId::title, nullptr},
    {IDC_DEFAULT_FOLDER, SettingId::default_folder, nullptr},
    {IDC_REGISTRY_MACRO, SettingId::registry_macro, nullptr},
    {IDC_WELCOME_FILE, SettingId::welcome_file, nullptr},
    {IDC_LICENCE_FILE, SettingId::licence_file, nullptr},
    {IDC_EOI_MESSAGE, SettingId::eoi_message, nullptr},
    {IDC_EOI_COMMAND, SettingId::eoi_command, nullptr},
    {IDC_OUTPUT_PATH, SettingId::output, nullptr},
    {IDC_TRY_PATH_FIRST, SettingId::try_path_first, "on"},
    {IDC_INCLUDE_UNINSTALLER, SettingId::uninstaller, "on"},
    {IDC_USE_BACKGROUND, SettingId::background, "on"},
    {IDC_BOX_OK, SettingId::eoi_buttons, "ok"},
    {IDC_BOX_YES_NO, SettingId::eoi_buttons, "yesno"},
    {IDC_USER_INSTALL, SettingId::install_scope, "user", "machine"},
    {IDC_X64, SettingId::architecture, "x64", "x86"},
    {IDC_ALL_USERS_SHORTCUTS, SettingId::shortcuts_for, "all-users", "current-user"},
    {IDC_LZMA, SettingId::compression, "lzma", "deflate"},
};

const wchar_t kWebPage[] = L"http://www.orvelle.example/quillset/";

class MainWindow : public editor::EditorView {
 public:
  explicit MainWindow(HINSTANCE instance) : instance_(instance) {}

  INT_PTR on_message(UINT message, WPARAM wparam, LPARAM lparam);
  void set_window(HWND window) { window_ = window; }

  // --- editor::EditorView
  void panel_changed() override { render_panel(); }
  void select_item(project::TreeItem item) override { mirror_.select(item); }
  void expand_item(project::TreeItem item) override { mirror_.expand(item); }
  void select_tab(int tab) override {
    TabCtrl_SetCurSel(GetDlgItem(window_, IDC_TABS), tab);
    lay_out(tab);
  }
  void controls_changed() override;
  void setting_changed(SettingId setting) override;
  void title_changed() override { set_window_text(window_, editor_->title()); }
  void set_status(const std::string& text) override { set_text(window_, IDC_BUILD_STATUS, text); }
  void build_page_changed() override;

 private:
  // Suppresses the change notices that the window's own rendering causes.
  struct Rendering {
    explicit Rendering(MainWindow& w) : window(w) { ++window.rendering_; }
    ~Rendering() { --window.rendering_; }
    MainWindow& window;
  };

  void initialise();
  void lay_out(int tab);
  // The tree's icons at the window's resolution.
  void set_tree_icons();
  void render_panel();
  void render_control(const SettingControl& entry);
  void render_enabled();
  void on_command(int id, int code);
  // True when the notice's answer was set (DWLP_MSGRESULT).
  bool on_notify(const NMHDR* header);
  void flush_fields();
  // Runs a command that may change many tree items with the tree's redraw off.
  template <typename Command>
  void bulk(Command command);
  void set_result(LRESULT result) { SetWindowLongPtrW(window_, DWLP_MSGRESULT, result); }
  // Labels, checks and group boxes lie on the tab control's page, whose
  // colour a theme may make differ from the window's: they take its colour.
  void measure_page_colour();
  INT_PTR label_colour(HDC dc, HWND control);
  // The window's background, with the page's colour where the tab control's
  // page lies: a group box (and a themed button) shows its parent's
  // background, which is the window, not the tab control beneath it.
  void erase_background(HDC dc);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND tree_ = nullptr;
  os::Win32Os os_;
  Win32Prompter prompter_;
  TreeViewMirror mirror_;
  GraphicsPageView graphics_;
  std::unique_ptr<PostedBuildReport> report_;
  // Last: ends (stopping the backup writer and any build) before the rest.
  std::unique_ptr<Editor> editor_;
  // Context menu, drag and drop; made after the editor, ends before it.
  std::unique_ptr<TreeMoves> moves_;
  int rendering_ = 0;
  HBRUSH page_brush_ = nullptr;
  COLORREF page_colour_ = 0;
};

INT_PTR CALLBACK about_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_ABOUT_WEB) {
        ShellExecuteW(dialog, L"open", kWebPage, nullptr, nullptr, SW_SHOWNORMAL);
      }
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK main_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* main = dialog_state<MainWindow>(window, message, lparam);
  if (main && message == WM_INITDIALOG) main->set_window(window);
  return main ? main->on_message(message, wparam, lparam) : FALSE;
}

void MainWindow::initialise() {
  prompter_.set_owner(window_);
  tree_ = GetDlgItem(window_, IDC_FILE_TREE);
  set_caption_and_icon(window_, "Quillset");

  set_tree_icons();

  HWND tabs = GetDlgItem(window_, IDC_TABS);
  for (int i = 0; i < editor::kTabCount; ++i) {
    quill::os::WideString caption = os::wide(editor::kTabCaptions[i]);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  HWND steps = GetDlgItem(window_, IDC_IMAGE_STEP);
  for (int i = 0; i < 7; ++i) {
    LRESULT at = add_string(steps, CB_ADDSTRING, editor::kStepNames[i]);
    SendMessageW(steps, CB_SETITEMDATA, at, i + 1);
  }
  HWND locations = GetDlgItem(window_, IDC_SHORTCUT_LOCATION);
  for (int i = 0; i < 3; ++i) {
    LRESULT at = add_string(locations, CB_ADDSTRING, editor::kLocationNames[i]);
    SendMessageW(locations, CB_SETITEMDATA, at, i);
  }
  for (const SettingControl& entry : kSettingControls) {
    if (!entry.checked_value) SendDlgItemMessageW(window_, entry.control, EM_LIMITTEXT, kMaxPathLength, 0);
  }
  for (int id : {IDC_INSTALL_TO, IDC_SHORTCUT_NAME, IDC_START_MENU_FOLDER}) {
    SendDlgItemMessageW(window_, id, EM_LIMITTEXT, kMaxPathLength, 0);
  }

  report_ = std::make_unique<PostedBuildReport>(window_);
  editor_ = std::make_unique<Editor>(os_, prompter_, *this);
  mirror_.attach(tree_, &editor_->project().tree());
  graphics_.attach(instance_, window_, editor_.get());
  bulk([&] {
    editor_->set_tree_observer(&mirror_);
    editor_->initialise();
  });
  controls_changed();
  title_changed();
  render_panel();
  mirror_.select(editor_->current_item());
  select_tab(editor::kFilesTab);
  measure_page_colour();
  editor_->start_backup_writer();
  moves_ = std::make_unique<TreeMoves>(instance_, window_, tree_, *editor_, mirror_,
                                       [this](const std::function<void()>& command) { bulk(command); });
  SetTimer(window_, editor::kFieldSyncTimer, editor::kFieldSyncMilliseconds, nullptr);
}

// The tree icons (closed folder, open folder, file; 16 x 16 each, magenta
// transparent) drawn `size` pixels square: the colours with a smoothing
// filter over the tree's own background, the transparent shape from the
// nearest pixels, so no magenta fringe shows.
HIMAGELIST scaled_tree_icons(HBITMAP bitmap, int size) {
  BITMAP info = {};
  GetObjectW(bitmap, sizeof info, &info);
  const int count = info.bmHeight > 0 ? info.bmWidth / info.bmHeight : 0;
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 10);
  if (count < 1) return images;
  HDC screen = GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP mask = CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
  HBITMAP colours = CreateCompatibleBitmap(screen, size * count, size);
  HBITMAP scaled_mask = CreateBitmap(size * count, size, 1, 1, nullptr);
  HGDIOBJ old_source = SelectObject(source, bitmap);
  // The mask: white where the icon is transparent; there the colours
  // become the tree's background.
  HGDIOBJ old_target = SelectObject(target, mask);
  SetBkColor(source, RGB(255, 0, 255));
  BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  SetBkColor(source, RGB(0, 0, 0));
  SetTextColor(source, RGB(255, 255, 255));
  BitBlt(source, 0, 0, info.bmWidth, info.bmHeight, target, 0, 0, SRCAND);
  SetBkColor(source, GetSysColor(COLOR_WINDOW));
  SetTextColor(source, RGB(0, 0, 0));
  BitBlt(source, 0, 0, info.bmWidth, info.bmHeight, target, 0, 0, SRCPAINT);
  // Both drawn at the new size, one icon at a time so no colour bleeds
  // from one into the next.
  SelectObject(target, scaled_mask);
  SetStretchBltMode(target, COLORONCOLOR);
  HDC mask_dc = CreateCompatibleDC(screen);
  HGDIOBJ old_mask = SelectObject(mask_dc, mask);
  for (int i = 0; i < count; ++i) {
    StretchBlt(target, i * size, 0, size, size, mask_dc, i * info.bmHeight, 0, info.bmHeight,
               info.bmHeight, SRCCOPY);
  }
  SelectObject(target, colours);
  for (int i = 0; i < count; ++i) {
    const RECT frame = {i * size, 0, (i + 1) * size, size};
    dpi::smooth_stretch(target, frame, source, i * info.bmHeight, 0, info.bmHeight, info.bmHeight);
  }
  SelectObject(mask_dc, old_mask);
  SelectObject(target, old_target);
  SelectObject(source, old_source);
  ImageList_Add(images, colours, scaled_mask);
  DeleteObject(colours);
  DeleteObject(scaled_mask);
  DeleteObject(mask);
  DeleteDC(mask_dc);
  DeleteDC(target);
  DeleteDC(source);
  ReleaseDC(nullptr, screen);
  return images;
}

void MainWindow::set_tree_icons() {
  const int size = dpi::scaled(window_, 16);
  HBITMAP bitmap = LoadBitmapW(instance_, MAKEINTRESOURCEW(IDB_TREE_ICONS));
  HIMAGELIST images;
  if (size == 16) {
    images = ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 2, 10);
    ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
  } else {
    images = scaled_tree_icons(bitmap, size);
  }
  DeleteObject(bitmap);
  HIMAGELIST previous = TreeView_SetImageList(tree_, images, TVSIL_NORMAL);
  if (previous) ImageList_Destroy(previous);
}

void MainWindow::measure_page_colour() {
  HWND tabs = GetDlgItem(window_, IDC_TABS);
  RECT r;
  GetClientRect(tabs, &r);
  HDC screen = GetDC(tabs);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  FillRect(memory, &r, GetSysColorBrush(COLOR_3DFACE));
  SendMessageW(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
  RECT page = r;
  TabCtrl_AdjustRect(tabs, FALSE, &page);
  page_colour_ = GetPixel(memory, page.left + 2, page.top + 2);
  if (page_colour_ == CLR_INVALID) page_colour_ = GetSysColor(COLOR_3DFACE);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(tabs, screen);
  if (page_brush_) DeleteObject(page_brush_);
  page_brush_ = CreateSolidBrush(page_colour_);
}

INT_PTR MainWindow::label_colour(HDC dc, HWND control) {
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  // Read-only and disabled edit boxes keep the usual look.
  if (!page_brush_ || lstrcmpiW(name, L"Edit") == 0 || !IsWindowVisible(GetDlgItem(window_, IDC_TABS))) {
    return FALSE;
  }
  SetBkColor(dc, page_colour_);
  return reinterpret_cast<INT_PTR>(page_brush_);
}

void MainWindow::erase_background(HDC dc) {
  RECT r;
  GetClientRect(window_, &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
  HWND tabs = GetDlgItem(window_, IDC_TABS);
  if (!page_brush_ || !IsWindowVisible(tabs)) return;
  RECT page;
  GetWindowRect(tabs, &page);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&page), 2);
  TabCtrl_AdjustRect(tabs, FALSE, &page);
  FillRect(dc, &page, page_brush_);
}

template <typename Command>
void MainWindow::bulk(Command command) {
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  command();
  SetCursor(previous);
  SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
}

void MainWindow::lay_out(int tab) {
  // The heights are pixels of a 96-dpi screen.
  const editor::TabLayout layout = editor::tab_layout(tab);
  const int dpi = dpi::window_dpi(window_);
  RECT r;
  GetWindowRect(window_, &r);
  SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, dpi::scale(layout.window_height, dpi),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND tabs = GetDlgItem(window_, IDC_TABS);
  GetWindowRect(tabs, &r);
  SetWindowPos(tabs, nullptr, 0, 0, r.right - r.left, dpi::scale(layout.tab_height, dpi),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const editor::ControlTab& entry : editor::control_table()) {
    show(window_, entry.control, entry.tab == tab);
  }
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::render_panel() {
  Rendering rendering(*this);
  const editor::SelectionPanel p = editor_->panel();
  set_text(window_, IDC_ITEM_PATH, p.item_path);
  set_text(window_, IDC_INSTALL_TO, p.install_to);
  SendDlgItemMessageW(window_, IDC_INSTALL_TO, EM_SETREADONLY, !p.install_to_editable, 0);
  set_text(window_, IDC_SET_CUSTOM_PATH, p.custom_button_caption);
  SendDlgItemMessageW(window_, IDC_SHORTCUT_LOCATION, CB_SETCURSEL, p.location, 0);
  set_text(window_, IDC_SHORTCUT_NAME, p.shortcut_name);
  set_text(window_, IDC_START_MENU_FOLDER, p.start_menu_folder);
  render_enabled();
}

void MainWindow::render_enabled() {
  for (const editor::ControlTab& entry : editor::control_table()) {
    if (entry.tab == editor::kFilesTab || entry.control == IDC_REGISTRY_MACRO ||
        entry.control == IDC_BACKGROUND_OPTIONS || entry.control == IDC_OUTPUT_PATH ||
        entry.control == IDC_OUTPUT_BROWSE) {
      enable(window_, entry.control, editor_->is_enabled(entry.control));
    }
  }
}

void MainWindow::render_control(const SettingControl& entry) {
  Rendering rendering(*this);
  const std::string value = editor_->setting(entry.setting);
  if (entry.checked_value) {
    set_checked(window_, entry.control, value == entry.checked_value);
  } else {
    sync_text(window_, entry.control, value);
  }
  render_enabled();
}

void MainWindow::controls_changed() {
  for (const SettingControl& entry : kSettingControls) render_control(entry);
  graphics_.render();
}

// Every control of the setting: the two radios of the message box type are
// one setting.
void MainWindow::setting_changed(SettingId setting) {
  for (const SettingControl& entry : kSettingControls) {
    if (entry.setting == setting) render_control(entry);
  }
}

void MainWindow::build_page_changed() {
  const editor::BuildPage page = editor_->build_page();
  set_text(window_, IDC_BUILD, page.button_caption);
  enable(window_, IDC_OUTPUT_PATH, page.output_enabled);
  enable(window_, IDC_OUTPUT_BROWSE, page.output_enabled);
  show(window_, IDC_TABS, page.tab_control_shown);
  // The labels' background follows the tab control's presence.
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::on_command(int id, int code) {
  // The graphics page and the two appearance dialogs.
  if (graphics_.on_command(id, code)) return;
  // Typing into a box that holds a project setting.
  if (code == EN_CHANGE) {
    if (rendering_ == 0) {
      for (const SettingControl& entry : kSettingControls) {
        if (entry.control == id && !entry.checked_value) editor_->set_setting(entry.setting, get_text(window_, id));
      }
    }
    return;
  }
  if (code == CBN_SELCHANGE) {
    if (id == IDC_SHORTCUT_LOCATION) {
      LRESULT at = SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0);
      if (at != CB_ERR) editor_->location_changed(static_cast<int>(SendDlgItemMessageW(window_, id, CB_GETITEMDATA, at, 0)));
    }
    return;
  }
  if (code != BN_CLICKED && code != 0 && code != 1) return;
  // The tree's context menu commands (also when posted).
  if (moves_ && moves_->on_command(id)) return;
  if (id == IDC_SHOW_MACROS) {
    show_macros_dialog(instance_, window_, *editor_);
    return;
  }
  if (id == IDC_LANGUAGES) {
    show_languages_dialog(instance_, window_, *editor_);
    return;
  }
  if (id == IDC_SHOW_DECLARATIONS) return show_declarations_dialog(instance_, window_, *editor_);
  switch (id) {
    // Enter and Escape do nothing: only Quit and the close box end the window.
    case IDOK:
    case IDCANCEL: return;
    case IDM_NEW_PROJECT: bulk([&] { editor_->new_project(); }); return;
    case IDM_OPEN_PROJECT: bulk([&] { editor_->open_project(); }); return;
    case IDM_SAVE_PROJECT: editor_->save(); return;
    case IDM_SAVE_PROJECT_AS: editor_->save_as(); return;
    case IDM_QUIT:
      if (editor_->quit()) EndDialog(window_, 0);
      return;
    case IDM_ABOUT:
      run_dialog(instance_, IDD_ABOUT, window_, about_proc);
      return;
    case IDC_ADD_FILE: editor_->add_file(); return;
    case IDC_ADD_FOLDER: bulk([&] { editor_->add_folder(); }); return;
    case IDC_REMOVE_ITEM: bulk([&] { editor_->remove(); }); return;
    case IDC_SET_CUSTOM_PATH: editor_->custom_path_button(get_text(window_, IDC_INSTALL_TO)); return;
    case IDC_OUTPUT_BROWSE:
    case IDC_WELCOME_BROWSE:
    case IDC_LICENCE_BROWSE: editor_->browse(id); return;
    case IDC_WELCOME_EDIT:
    case IDC_LICENCE_EDIT: editor_->edit_document(id); return;
    case IDC_BUILD: {
      PostedBuildReport* report = report_.get();
      editor_->build_button(*report, [report](project::BuildOutcome outcome) { report->finished(outcome); });
      return;
    }
    default: break;
  }
  for (const SettingControl& entry : kSettingControls) {
    if (entry.control != id || !entry.checked_value || rendering_ != 0) continue;
    // A check sets its setting on or off; a radio only when it is checked.
    std::string value;
    if (is_checked(window_, id)) {
      value = entry.checked_value;
    } else if (entry.unchecked_value) {
      value = entry.unchecked_value;
    } else if (project::setting_row(entry.setting).kind == project::SettingKind::flag) {
      value = "off";
    }
    if (!value.empty()) {
      if (entry.setting == SettingId::uninstaller) {
        bulk([&] { editor_->set_setting(entry.setting, value); });
      } else {
        editor_->set_setting(entry.setting, value);
      }
    }
    render_control(entry);
  }
}

// Copies the shortcut fields into the project at once, as the field sync
// timer would: a tab change, a button, a menu command or a new selection in
// the tree may come before the timer's next tick.
void MainWindow::flush_fields() {
  if (!editor_) return;
  editor_->sync_tick(get_text(window_, IDC_SHORTCUT_NAME), get_text(window_, IDC_START_MENU_FOLDER));
}

bool MainWindow::on_notify(const NMHDR* header) {
  if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGING) flush_fields();
  if (header->idFrom == IDC_FILE_TREE &&
      (header->code == TVN_SELCHANGINGA || header->code == TVN_SELCHANGINGW) && !mirror_.changing()) {
    flush_fields();
  }
  if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
    lay_out(TabCtrl_GetCurSel(header->hwndFrom));
    return false;
  }
  if (header->idFrom != IDC_FILE_TREE) return false;
  if (moves_ && moves_->on_notify(header)) return true;
  switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      if (mirror_.changing()) return false;
      // The item handles lie at the same places in both forms of the notice.
      const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
      editor_->select(mirror_.item_of(change->itemNew.hItem));
      return false;
    }
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW: {
      const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
      set_result(editor_->begin_label_edit(mirror_.item_of(info->item.hItem)) ? FALSE : TRUE);
      return true;
    }
    case TVN_ENDLABELEDITW: {
      const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
      // The label follows the model (through the mirror), never the edit box.
      if (info->item.pszText) {
        editor_->end_label_edit(mirror_.item_of(info->item.hItem), os::narrow(info->item.pszText));
      }
      set_result(FALSE);
      return true;
    }
    case TVN_KEYDOWN: {
      // The tree's keys act only while the tree has the keyboard focus: the
      // control sends this notice for its own keys and no one else's.
      const auto* key = reinterpret_cast<const NMTVKEYDOWN*>(header);
      const bool control = GetKeyState(VK_CONTROL) < 0;
      editor::TreeKey which;
      if (key->wVKey == VK_DELETE && !control) which = editor::TreeKey::remove;
      else if (control && key->wVKey == 'X') which = editor::TreeKey::cut;
      else if (control && key->wVKey == 'C') which = editor::TreeKey::copy;
      else if (control && key->wVKey == 'V') which = editor::TreeKey::paste;
      else return false;
      bulk([&] { editor_->tree_key(which, GetFocus() == tree_, GetForegroundWindow() == window_); });
      return false;
    }
    default: return false;
  }
}

INT_PTR MainWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  if (moves_ && moves_->on_message(message, wparam, lparam)) return TRUE;
  switch (message) {
    case WM_INITDIALOG:
      initialise();
      SetFocus(tree_);
      return FALSE;  // the focus is set
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) flush_fields();  // also menu commands
      on_command(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_NOTIFY:
      return on_notify(reinterpret_cast<const NMHDR*>(lparam)) ? TRUE : FALSE;
    case WM_TIMER:
      if (wparam == static_cast<WPARAM>(editor::kFieldSyncTimer)) {
        flush_fields();
        graphics_.on_timer();
      }
      return TRUE;
    case WM_CLOSE:
      if (editor_->close()) EndDialog(window_, 0);
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return label_colour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_ERASEBKGND:
      erase_background(reinterpret_cast<HDC>(wparam));
      set_result(TRUE);
      return TRUE;
    case dpi::kDpiChanged: {
      // Moved to a screen of another resolution: take the suggested place
      // (the system scales the template's font and dialog units), then the
      // pixel heights and the icons once the dialog manager has done its part.
      dpi::take_suggested_place(window_, lparam);
      PostMessageW(window_, kPlaceAgainMessage, 0, 0);
      return FALSE;
    }
    case kPlaceAgainMessage:
      set_tree_icons();
      lay_out(TabCtrl_GetCurSel(GetDlgItem(window_, IDC_TABS)));
      return TRUE;
    case WM_DESTROY:
      KillTimer(window_, editor::kFieldSyncTimer);
      moves_.reset();
      mirror_.detach();
      if (page_brush_) DeleteObject(page_brush_);
      page_brush_ = nullptr;
      return FALSE;
    case kBuildStatusMessage:
      set_text(window_, IDC_BUILD_STATUS, take_posted_text(lparam));
      return TRUE;
    case kBuildRangeMessage:
      SendDlgItemMessageW(window_, IDC_BUILD_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(wparam));
      return TRUE;
    case kBuildPositionMessage:
      SendDlgItemMessageW(window_, IDC_BUILD_PROGRESS, PBM_SETPOS, wparam, 0);
      return TRUE;
    case kBuildEndMessage:
      editor_->build_finished(static_cast<project::BuildOutcome>(wparam));
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void run_main_window(HINSTANCE instance) {
  MainWindow window(instance);
  run_dialog(instance, IDD_MAIN, nullptr, main_proc, &window);
}

}  // namespace quill::ui
