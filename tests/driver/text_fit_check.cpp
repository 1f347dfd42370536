// Checks that every language's texts fit the controls that show them: the
// installer's and the uninstaller's dialogs are made from the shipped
// programs' own resources (hidden), each control that the programs give a
// text at run time gets each of its texts in each language, and the text is
// measured in the control's font against the control's size.
//
//   text_fit_check.exe STUB UNINSTALLER
//
// Prints one line per text that does not fit, naming the language, the
// dialog, the control and the text, and a summary; exits 0 when all fit.
//
// The list below of which text goes into which control, and the wizard's
// pixel places, follow installer/wizard.cpp, installer/win32/wizard_dialog.cpp
// and uninstaller/win32/progress_dialog.cpp: a control or text added there
// belongs here too.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/languages.h"
#include "common/texts.h"
#include "text/unicode.h"
#include "quillclean_resource.h"
#include "quillstub_resource.h"

namespace {

using quill::texts::TextId;
namespace language = quill::language;

enum class Kind { label, button, check_box, caption };

struct Place {
  int x, y, width, height;  // pixels at 96 dpi; width 0: the template's size
};

struct Check {
  const char* dialog_name;
  int dialog;  // 0: the installer's, else the uninstaller's IDD_PROGRESS
  int control;  // 0: the dialog's caption
  const char* control_name;
  Kind kind;
  Place place;
  std::vector<TextId> texts;
};

constexpr int kStub = 0, kUninstaller = 1;
constexpr Place kTemplate{0, 0, 0, 0};
constexpr Place kWizardButton{0, 0, 90, 23};

// A sample file path for the texts that name one.
const char kSamplePath[] = "C:\\Program Files\\Example Program\\readme.txt";

const std::vector<Check>& checks() {
  static const std::vector<Check> list = {
      {"wizard", IDD_WIZARD, IDC_NEXT, "Next", Kind::button, kWizardButton,
       {TextId::button_next, TextId::button_agree, TextId::button_install, TextId::button_done}},
      {"wizard", IDD_WIZARD, IDC_BACK, "Back", Kind::button, kWizardButton,
       {TextId::button_exit, TextId::button_disagree, TextId::button_previous}},
      {"wizard", IDD_WIZARD, IDC_CANCEL_INSTALL, "Cancel", Kind::button, {330, 199, 90, 23},
       {TextId::button_cancel}},
      {"wizard", IDD_WIZARD, IDC_BROWSE, "Browse", Kind::button, {325, 59, 95, 23},
       {TextId::button_browse}},
      {"wizard", IDD_WIZARD, IDC_FOLDER_PROMPT, "folder prompt", Kind::label, {114, 30, 306, 28},
       {TextId::folder_prompt}},
      {"wizard", IDD_WIZARD, IDC_LICENSE_PROMPT, "licence prompt", Kind::label, {114, 1, 306, 39},
       {TextId::licence_prompt}},
      {"wizard", IDD_WIZARD, IDC_DISK_SPACE, "disk space", Kind::label, {114, 92, 306, 32},
       {TextId::disk_space}},
      {"wizard", IDD_WIZARD, IDC_SHORTCUT_DESKTOP, "desktop", Kind::check_box, {114, 40, 306, 18},
       {TextId::shortcut_desktop}},
      {"wizard", IDD_WIZARD, IDC_SHORTCUT_START_MENU, "start menu", Kind::check_box,
       {114, 62, 306, 18}, {TextId::shortcut_start_menu}},
      {"wizard", IDD_WIZARD, IDC_SHORTCUT_QUICK_LAUNCH, "quick launch", Kind::check_box,
       {114, 84, 306, 18}, {TextId::shortcut_quick_launch}},
      {"wizard", IDD_WIZARD, IDC_STATUS, "status", Kind::label, {114, 40, 306, 48},
       {TextId::status_installing, TextId::installing_file, TextId::creating_shortcuts,
        TextId::undoing}},
      // The summary: TextId::count stands for the whole summary text.
      {"wizard", IDD_WIZARD, IDC_SUMMARY, "summary", Kind::label, {114, 40, 306, 143},
       {TextId::count, TextId::finished_text}},
      {"wizard", IDD_WIZARD, IDC_CREDIT, "credit", Kind::button, {114, 184, 306, 14},
       {TextId::credit}},
      {"extraction", IDD_EXTRACTION, IDC_EXTRACT_LABEL, "label", Kind::label, kTemplate,
       {TextId::extracting}},
      {"extraction", IDD_EXTRACTION, IDC_EXTRACT_CANCEL, "Cancel", Kind::button, kTemplate,
       {TextId::button_cancel}},
      {"small progress", IDD_SMALL_PROGRESS, IDC_STATUS, "status", Kind::label, kTemplate,
       {TextId::small_window_status, TextId::installing_file, TextId::creating_shortcuts,
        TextId::undoing}},
      {"small progress", IDD_SMALL_PROGRESS, IDC_CANCEL_INSTALL, "Cancel", Kind::button, kTemplate,
       {TextId::button_cancel}},
      {"uninstaller", -IDD_PROGRESS, IDC_FINISH, "Cancel/OK", Kind::button, kTemplate,
       {TextId::button_cancel, TextId::button_ok}},
      {"uninstaller", -IDD_PROGRESS, 0, "caption", Kind::caption, kTemplate,
       {TextId::uninstaller_window_caption}},
  };
  return list;
}

std::wstring wide(const std::string& utf8) {
  const std::u16string w = quill::text::utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

// The text as the program shows it, with sample values in its placeholders.
std::string shown_text(std::size_t lang, TextId id) {
  using quill::texts::format;
  using quill::texts::text;
  switch (id) {
    case TextId::disk_space: return format(text(lang, id), {"123456", "1234567"});
    case TextId::installing_file: return format(text(lang, id), {kSamplePath});
    case TextId::count: {
      // The longest summary: the folder and every shortcut location.
      std::string out = format(text(lang, TextId::summary_folder), {"C:\\Program Files\\Example Program"});
      out += "\n\n";
      for (TextId line : {TextId::summary_shortcuts, TextId::summary_start_menu,
                          TextId::summary_desktop, TextId::summary_quick_launch}) {
        out.append(text(lang, line)).append("\n");
      }
      return out;
    }
    default: return std::string(text(lang, id));
  }
}

std::string text_name(TextId id) {
  if (id == TextId::count) return "summary";
  std::string english(quill::texts::text(language::kEnglish, id));
  for (char& c : english) {
    if (c == '\n' || c == '\t') c = ' ';
  }
  if (english.size() > 40) english = english.substr(0, 40) + "...";
  return "text " + std::to_string(static_cast<int>(id)) + " \"" + english + "\"";
}

INT_PTR CALLBACK quiet_dialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Size {
  int width, height;
};

// What the text needs in the control (its font, its decoration).
Size needed(HWND control, Kind kind, const std::wstring& text, int limit_width) {
  HDC dc = GetDC(control);
  HFONT font = kind == Kind::caption ? nullptr
                                     : reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HFONT caption_font = nullptr;
  if (kind == Kind::caption) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    caption_font = CreateFontIndirectW(&metrics.lfCaptionFont);
    font = caption_font;
  }
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  Size size{0, 0};
  if (kind == Kind::label) {
    RECT r{0, 0, limit_width, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    size = {r.right - r.left, r.bottom - r.top};
  } else {
    SIZE extent{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    if (kind == Kind::button) {
      size = {extent.cx + 2 * edge + 6, extent.cy};  // frame, focus rectangle and a margin
    } else if (kind == Kind::check_box) {
      size = {extent.cx + GetSystemMetrics(SM_CXMENUCHECK) + 2 * edge + 2, extent.cy};
    } else {
      // The caption shares the bar with the icon, Minimize and Close.
      size = {extent.cx + GetSystemMetrics(SM_CXSMICON) + 2 * GetSystemMetrics(SM_CXSIZE) + 16,
              extent.cy};
    }
  }
  SelectObject(dc, old);
  if (caption_font) DeleteObject(caption_font);
  ReleaseDC(control, dc);
  return size;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: text_fit_check STUB UNINSTALLER\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"riched20.dll");
  LoadLibraryW(L"riched32.dll");
  quill::texts::use_built_in_tables();

  HMODULE modules[2];
  for (int i = 0; i < 2; ++i) {
    modules[i] = LoadLibraryExW(argv[1 + i], nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!modules[i]) {
      std::fwprintf(stderr, L"cannot load %ls (error %lu)\n", argv[1 + i], GetLastError());
      return 2;
    }
  }

  int checked = 0, failures = 0;
  for (const Check& check : checks()) {
    const int which = check.dialog < 0 ? kUninstaller : kStub;
    const int id = check.dialog < 0 ? -check.dialog : check.dialog;
    HWND dialog = CreateDialogParamW(modules[which], MAKEINTRESOURCEW(id), nullptr, quiet_dialog, 0);
    if (!dialog) {
      std::printf("FAIL dialog %s could not be made (error %lu)\n", check.dialog_name, GetLastError());
      ++failures;
      continue;
    }
    ShowWindow(dialog, SW_HIDE);
    HWND control = check.control ? GetDlgItem(dialog, check.control) : dialog;
    if (!control) {
      std::printf("FAIL %s has no control %s\n", check.dialog_name, check.control_name);
      ++failures;
      DestroyWindow(dialog);
      continue;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (check.place.width > 0) {
      // The wizard's own places, scaled as it scales them.
      MoveWindow(control, MulDiv(check.place.x, dpi, 96), MulDiv(check.place.y, dpi, 96),
                 MulDiv(check.place.width, dpi, 96), MulDiv(check.place.height, dpi, 96), FALSE);
    }
    RECT box;
    if (check.kind == Kind::caption) {
      GetWindowRect(control, &box);
    } else {
      GetClientRect(control, &box);
    }
    const Size has{box.right - box.left, box.bottom - box.top};
    for (std::size_t lang = 0; lang < language::kLanguageCount; ++lang) {
      for (TextId text_id : check.texts) {
        const std::wstring text = wide(shown_text(lang, text_id));
        const Size need = needed(control, check.kind, text, has.width);
        ++checked;
        const bool fits = need.width <= has.width &&
                          (check.kind != Kind::label || need.height <= has.height);
        if (fits) continue;
        ++failures;
        std::printf("FAIL %s: %s %s, %s needs %dx%d, has %dx%d\n",
                    std::string(language::kLanguages[lang].code).c_str(), check.dialog_name,
                    check.control_name, text_name(text_id).c_str(), need.width, need.height,
                    has.width, has.height);
      }
    }
    DestroyWindow(dialog);
  }
  std::printf("%d texts checked in %zu languages, %d do not fit\n", checked,
              language::kLanguageCount, failures);
  return failures == 0 ? 0 : 1;
}
