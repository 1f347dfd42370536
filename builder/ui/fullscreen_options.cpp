// Dialog 111: the background window's options over the editor's working copy.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "builder/editor/fullscreen_options.h"
#include "builder/editor/messages.h"
#include "os/win32_text.h"
#include "builder/ui/dialog_setup.h"
#include "builder/ui/wide_controls.h"
#include "builder/ui/graphics_tab.h"
#include "quillset_resource.h"

namespace quill::ui {

using namespace controls;

namespace {

using editor::FullscreenOptionsDialog;

constexpr UINT_PTR kEditTimer = 0;

// The colour dialog's custom colours: black at first, kept for the
// program's life and shared by the four colour buttons.
COLORREF custom_colours[16] = {};

int screen_dpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

LOGFONTW to_logfont(const project::FontLines& lines) {
  const editor::LogicalFont font = editor::logical_font(lines, screen_dpi());
  LOGFONTW lf = {};
  lf.lfHeight = font.height;
  lf.lfWeight = font.weight;
  lf.lfItalic = font.italic;
  lf.lfUnderline = font.underline;
  lf.lfStrikeOut = font.strike_out;
  lf.lfCharSet = static_cast<BYTE>(font.charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(lf.lfFaceName, os::wide(font.face).c_str(), LF_FACESIZE);
  return lf;
}

project::FontLines from_logfont(const LOGFONTW& lf) {
  editor::LogicalFont font;
  font.height = lf.lfHeight;
  font.weight = lf.lfWeight;
  font.italic = lf.lfItalic != 0;
  font.underline = lf.lfUnderline != 0;
  font.strike_out = lf.lfStrikeOut != 0;
  font.charset = lf.lfCharSet;
  font.face = os::narrow(lf.lfFaceName);
  return editor::font_lines(font, screen_dpi());
}

class GdiFonts : public editor::FontMaker {
 public:
  editor::FontHandle create(const project::FontLines& lines) override {
    LOGFONTW lf = to_logfont(lines);
    return reinterpret_cast<editor::FontHandle>(CreateFontIndirectW(&lf));
  }
  void destroy(editor::FontHandle font) override { DeleteObject(reinterpret_cast<HFONT>(font)); }
};

struct State {
  editor::Editor& editor;
  GdiFonts fonts;
  FullscreenOptionsDialog dialog;
  explicit State(editor::Editor& e) : editor(e), dialog(e.project().fullscreen(), fonts) {}
};

void render_enabled(HWND d, const FullscreenOptionsDialog& o) {
  for (int id : {IDC_FS_WIDTH, IDC_FS_HEIGHT, IDC_FS_FADE_EDIT, IDC_FS_SHADOW_TRACK, IDC_FS_SHADOW_EDIT,
                 IDC_FS_SHADOW_COLOUR_EDIT}) {
    enable(d, id, o.enabled(id));
  }
}

void initialise(HWND d, State& s) {
  const FullscreenOptionsDialog& o = s.dialog;
  for (int id : {IDC_FS_STRETCH, IDC_FS_FADE, IDC_FS_NO_TITLE_BAR, IDC_FS_ALIGN_LEFT, IDC_FS_ALIGN_CENTER,
                 IDC_FS_ALIGN_RIGHT, IDC_FS_SHADOW}) {
    set_checked(d, id, o.checked(id));
  }
  for (int id : {IDC_FS_WIDTH, IDC_FS_HEIGHT, IDC_FS_TEXT}) set_text(d, id, o.text(id));
  SendDlgItemMessageW(d, IDC_FS_TEXT, EM_LIMITTEXT, kMaxPathLength, 0);
  render_enabled(d, o);
  SendDlgItemMessageW(d, IDC_FS_SHADOW_TRACK, TBM_SETRANGE, TRUE, MAKELPARAM(editor::kShadowMin, editor::kShadowMax));
  set_text(d, IDC_FS_SHADOW_EDIT, o.text(IDC_FS_SHADOW_EDIT));
  SendDlgItemMessageW(d, IDC_FS_SHADOW_TRACK, TBM_SETPOS, TRUE, o.shadow_position());
  set_caption_and_icon(d, editor::text::kFullscreenTitle);
  SetTimer(d, kEditTimer, editor::kFsTimerMilliseconds, nullptr);
}

// A swatch: its colour inside a dark frame, so that white and the dialog's
// own grey still show where the swatch ends.
bool draw_swatch(const DRAWITEMSTRUCT& item, State& s) {
  for (const editor::Swatch& swatch : editor::kSwatches) {
    if (static_cast<int>(item.CtlID) != swatch.control) continue;
    RECT r = item.rcItem;
    FrameRect(item.hDC, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    InflateRect(&r, -1, -1);
    HBRUSH brush = CreateSolidBrush(s.dialog.colour(swatch.button));
    FillRect(item.hDC, &r, brush);
    DeleteObject(brush);
    return true;
  }
  return false;
}

void redraw_swatches(HWND d) {
  for (const editor::Swatch& swatch : editor::kSwatches) InvalidateRect(GetDlgItem(d, swatch.control), nullptr, TRUE);
}

void paint(HWND d, State& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(d, &ps);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(s.dialog.font_handle()));
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, previous);
  EndPaint(d, &ps);
  sync_text(d, IDC_FS_FACE, os::narrow(face));
}

void choose_colour(HWND d, State& s, int button) {
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = d;
  cc.rgbResult = s.dialog.colour(button);
  cc.lpCustColors = custom_colours;
  cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
  if (ChooseColorW(&cc)) s.dialog.set_colour(button, cc.rgbResult);
  redraw_swatches(d);
}

void choose_font(HWND d, State& s) {
  LOGFONTW lf = to_logfont(s.dialog.font());
  CHOOSEFONTW cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = d;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  // The colour chosen here is not used: the font colour has its own button.
  cf.rgbColors = s.editor.project().fullscreen().text_colour;
  if (!ChooseFontW(&cf)) return;
  if (!s.dialog.choose_font(from_logfont(lf))) {
    MessageBoxW(d, os::wide(editor::text::kFontCreationFailed).c_str(), os::wide(editor::text::kCaption).c_str(),
                MB_OK | MB_ICONERROR);
  }
  InvalidateRect(d, nullptr, TRUE);
}

void save(HWND d, State& s) {
  FullscreenOptionsDialog& o = s.dialog;
  for (int id : {IDC_FS_STRETCH, IDC_FS_FADE, IDC_FS_NO_TITLE_BAR, IDC_FS_ALIGN_LEFT, IDC_FS_ALIGN_CENTER,
                 IDC_FS_ALIGN_RIGHT, IDC_FS_SHADOW}) {
    o.set_checked(id, is_checked(d, id));
  }
  for (int id : {IDC_FS_WIDTH, IDC_FS_HEIGHT, IDC_FS_TEXT}) o.set_text(id, get_text(d, id));
  s.editor.store_fullscreen(o.result());
}

INT_PTR CALLBACK fullscreen_proc(HWND d, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* s = dialog_state<State>(d, message, lparam);
  if (!s) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      initialise(d, *s);
      return TRUE;
    case WM_PAINT:
      paint(d, *s);
      return TRUE;
    case WM_DRAWITEM:
      return draw_swatch(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam), *s) ? TRUE : FALSE;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lparam) == GetDlgItem(d, IDC_FS_SHADOW_TRACK)) {
        int position = static_cast<int>(SendDlgItemMessageW(d, IDC_FS_SHADOW_TRACK, TBM_GETPOS, 0, 0));
        if (s->dialog.trackbar_moved(position)) set_text(d, IDC_FS_SHADOW_EDIT, std::to_string(position));
      }
      return TRUE;
    case WM_TIMER:
      if (wparam == kEditTimer) {
        int position = s->dialog.shadow_edit_tick(get_text(d, IDC_FS_SHADOW_EDIT));
        if (position >= 0) SendDlgItemMessageW(d, IDC_FS_SHADOW_TRACK, TBM_SETPOS, TRUE, position);
      }
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (HIWORD(wparam) != BN_CLICKED) return FALSE;
      switch (id) {
        case IDC_FS_STRETCH:
        case IDC_FS_FADE:
        case IDC_FS_SHADOW:
          s->dialog.set_checked(id, is_checked(d, id));
          render_enabled(d, s->dialog);
          return TRUE;
        case IDC_FS_BACKGROUND_EDIT:
        case IDC_FS_FADE_EDIT:
        case IDC_FS_FONT_COLOUR_EDIT:
        case IDC_FS_SHADOW_COLOUR_EDIT:
          choose_colour(d, *s, id);
          return TRUE;
        case IDC_FS_FONT_EDIT:
          choose_font(d, *s);
          return TRUE;
        case IDC_FS_SAVE:
          save(d, *s);
          end_timed_dialog(d, kEditTimer, 1);
          return TRUE;
        case IDCANCEL:
          end_timed_dialog(d, kEditTimer, 0);
          return TRUE;
        default:
          return FALSE;
      }
    }
    case WM_CLOSE:
      end_timed_dialog(d, kEditTimer, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void run_fullscreen_options(HINSTANCE instance, HWND owner, editor::Editor& editor) {
  // The working copy, with its own font, dies with the dialog.
  State state(editor);
  run_dialog(instance, IDD_FULLSCREEN_OPTIONS, owner, fullscreen_proc, &state);
}

}  // namespace quill::ui
