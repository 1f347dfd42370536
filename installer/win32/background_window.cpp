// The framed and the plain background dialog: the optional background window behind the wizard,
// with its fill, picture and text, and the slideshow that changes the
// picture while files are installed. The window runs on the loader thread.
#include <windows.h>

#include <atomic>
#include <string>

#include "common/dpi_win32.h"
#include "installer/background_layout.h"
#include "installer/pictures.h"
#include "installer/win32/picture.h"
#include "installer/win32/stub.h"
#include "os/win32_system_dll.h"
#include "os/win32_text.h"
#include "resources/quillstub_resource.h"

namespace quill::installer::win32 {
namespace {

using installer::background_picture_box;
using installer::background_window_box;
using installer::Box;
using installer::find_background_record;
using installer::himetric_to_pixels;
using installer::slideshow_share_reached;

struct Background {
  std::atomic<HWND> window{nullptr};
  HFONT font = nullptr;
  int font_dpi = 0;  // the resolution `font` was made for
  // The picture slot, the hidden flag and the current record are written by
  // the wizard's and the slideshow's threads and read while painting; the
  // lock keeps a picture alive while a paint draws it.
  CRITICAL_SECTION lock;
  PictureSlot picture;
  bool hidden = true;
  std::size_t current = 0;

  std::atomic<std::uint64_t> files_done{0};
  std::atomic<std::uint64_t> files_total{0};
  std::atomic<bool> wizard_finished{false};
};

Background& background() {
  static Background instance;
  return instance;
}

class Locked {
 public:
  Locked() { EnterCriticalSection(&background().lock); }
  ~Locked() { LeaveCriticalSection(&background().lock); }
};

COLORREF colour(std::uint32_t packed) { return static_cast<COLORREF>(packed & 0xFFFFFFu); }

// GradientFill lives in msimg32.dll, which is not among the DLLs the system
// always takes from its own folder: it is loaded from the system folder
// (WinMain has done so already), and a fade without it is drawn in bands.
using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

GradientFillFunction gradient_fill() {
  static const GradientFillFunction function = [] {
    HMODULE library = os::load_system_dll("msimg32.dll");
    return library ? reinterpret_cast<GradientFillFunction>(
                         reinterpret_cast<void*>(GetProcAddress(library, "GradientFill")))
                   : nullptr;
  }();
  return function;
}

BYTE blend(BYTE top, BYTE bottom, int row, int rows) {
  return static_cast<BYTE>(top + (bottom - top) * row / rows);
}

// The vertical fade from `top` to `bottom`, one band per run of rows that
// share a colour.
void fill_bands(HDC dc, const RECT& client, COLORREF top, COLORREF bottom) {
  const int rows = client.bottom - client.top;
  auto paint_band = [&](int from, int to, COLORREF shade) {
    RECT band = {client.left, client.top + from, client.right, client.top + to};
    HBRUSH brush = CreateSolidBrush(shade);
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  };
  int start = 0;
  COLORREF band = top;
  for (int row = 1; row < rows; ++row) {
    const COLORREF shade = RGB(blend(GetRValue(top), GetRValue(bottom), row, rows),
                               blend(GetGValue(top), GetGValue(bottom), row, rows),
                               blend(GetBValue(top), GetBValue(bottom), row, rows));
    if (shade == band) continue;
    paint_band(start, row, band);
    start = row;
    band = shade;
  }
  if (rows > start) paint_band(start, rows, band);
}

void fill(HDC dc, const RECT& client) {
  const package::FullscreenSettings& s = stub().data.fullscreen;
  const COLORREF top = colour(s.background_colour);
  if (s.fade) {
    const COLORREF bottom = colour(s.fade_colour);
    TRIVERTEX corners[2] = {};
    corners[0].x = client.left;
    corners[0].y = client.top;
    corners[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    corners[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    corners[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    corners[1].x = client.right;
    corners[1].y = client.bottom;
    corners[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    corners[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    corners[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT rect = {0, 1};
    const GradientFillFunction gradient = gradient_fill();
    if (!gradient || !gradient(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V)) {
      fill_bands(dc, client, top, bottom);
    }
  } else {
    HBRUSH brush = CreateSolidBrush(top);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
}

void draw_picture(HDC dc, const RECT& client) {
  Background& b = background();
  Locked locked;
  if (b.picture.empty() || b.hidden) return;
  // The picture's own pixels, drawn at the window's scale like the record's
  // position (both are pixels of a 96-dpi screen).
  const int dpi = dpi::window_dpi(WindowFromDC(dc));
  SIZE size = b.picture.size_himetric();
  int width = dpi::scale(himetric_to_pixels(size.cx, GetDeviceCaps(dc, LOGPIXELSX)), dpi);
  int height = dpi::scale(himetric_to_pixels(size.cy, GetDeviceCaps(dc, LOGPIXELSY)), dpi);
  const auto& records = stub().data.background_pictures;
  int placement = 0, x = 0, y = 0;
  if (b.current < records.size()) {
    placement = records[b.current].placement;
    x = dpi::scale(records[b.current].x, dpi);
    y = dpi::scale(records[b.current].y, dpi);
  }
  Box box = background_picture_box(placement, client.right, client.bottom, width, height, x, y);
  RECT target = {box.x, box.y, box.x + box.width, box.y + box.height};
  b.picture.draw(dc, target);
}

// The text's font at `dpi`, made again when the window has moved to a
// screen of another resolution.
HFONT text_font(int dpi) {
  Background& b = background();
  if (b.font && b.font_dpi == dpi) return b.font;
  if (b.font) DeleteObject(b.font);
  const package::FullscreenSettings& s = stub().data.fullscreen;
  int height = -MulDiv(s.font_size, dpi, 72);
  b.font = CreateFontW(height, 0, 0, 0, s.font_weight, s.italic, s.underline, s.strike_out,
                       static_cast<DWORD>(s.char_set), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, os::wide(s.font_face).c_str());
  b.font_dpi = dpi;
  return b.font;
}

void draw_text(HDC dc, const RECT& client) {
  const package::FullscreenSettings& s = stub().data.fullscreen;
  const int dpi = dpi::window_dpi(WindowFromDC(dc));
  const int margin = dpi::scale(20, dpi);
  RECT area = {client.left + margin, client.top + margin, client.right - margin,
               client.bottom - margin};
  HGDIOBJ old_font = SelectObject(dc, text_font(dpi));
  SetBkMode(dc, TRANSPARENT);
  const UINT format = s.alignment;
  const std::wstring text = os::wide(s.text);
  if (s.shadow) {
    const int offset = dpi::scale(s.shadow_offset, dpi);
    RECT shadow = {area.left + offset, area.top + offset, area.right + offset,
                   area.bottom + offset};
    SetTextColor(dc, colour(s.shadow_colour));
    DrawTextW(dc, text.c_str(), -1, &shadow, format);
  }
  SetTextColor(dc, colour(s.text_colour));
  DrawTextW(dc, text.c_str(), -1, &area, format);
  SelectObject(dc, old_font);
}

void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  fill(dc, client);
  draw_picture(dc, client);
  draw_text(dc, client);
  EndPaint(window, &ps);
}

INT_PTR CALLBACK background_proc(HWND window, UINT message, WPARAM, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      background().window = window;
      stub().load_complete = true;
      const package::FullscreenSettings& s = stub().data.fullscreen;
      // A window size of its own is pixels of a 96-dpi screen.
      const int dpi = dpi::window_dpi(window);
      Box box = background_window_box(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                       dpi::scale(s.width, dpi), dpi::scale(s.height, dpi));
      SetWindowPos(window, HWND_TOP, box.x, box.y, box.width, box.height, 0);
      set_installer_icon(window);
      SetWindowTextW(window, os::wide(stub().data.title).c_str());
      UpdateWindow(window);
      return TRUE;
    }
    case WM_ERASEBKGND:
      return TRUE;  // painting fills the whole client area
    case WM_PAINT:
      paint(window);
      return TRUE;
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return TRUE;
    case dpi::kDpiChanged: {
      // On a screen of another resolution: the suggested size keeps the
      // window's share of the screen; painting scales the rest.
      dpi::take_suggested_place(window, lparam);
      InvalidateRect(window, nullptr, FALSE);
      return TRUE;
    }
    case WM_CLOSE:
      background().window = nullptr;
      EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

void repaint() {
  if (HWND window = background().window.load()) InvalidateRect(window, nullptr, FALSE);
}

// Puts `shot` into the slot; false when the slot is left empty.
bool take_shot(const installer::BackgroundShot& shot) {
  Background& b = background();
  Locked locked;
  b.current = shot.record;
  if (!shot.path.empty()) b.picture.load(shot.path);
  b.hidden = shot.hidden;
  return !b.picture.empty();
}

DWORD WINAPI slideshow_thread(void*) {
  Background& b = background();
  const auto& records = stub().data.background_pictures;
  const unsigned count = stub().data.step6_picture_count;
  if (!b.window.load() || count == 0 || find_background_record(records, 6, 0) >= records.size()) {
    return 0;
  }
  std::size_t search = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (b.wizard_finished.load()) return 0;
    const installer::BackgroundShot shot =
        installer::slideshow_background(stub().os, records, search);
    take_shot(shot);
    repaint();
    while (!b.wizard_finished.load() &&
           !slideshow_share_reached(b.files_done.load(), b.files_total.load(), i, count)) {
      Sleep(100);
    }
    search = shot.record + 1;
  }
  return 0;
}

}  // namespace

void run_background_window(HINSTANCE instance) {
  Background& b = background();
  InitializeCriticalSection(&b.lock);
  const package::FullscreenSettings& s = stub().data.fullscreen;
  int dialog = s.title_bar ? IDD_BACKGROUND_FRAMED : IDD_BACKGROUND_PLAIN;
  DialogBoxParamW(instance, MAKEINTRESOURCEW(dialog), nullptr, background_proc, 0);
  background().window = nullptr;
}

HWND background_window() { return background().window.load(); }

void background_step_changed(int picture) {
  Background& b = background();
  if (!b.window.load()) return;
  const package::InstallerData& data = stub().data;
  if (take_shot(installer::step_background(stub().os, data.background_pictures,
                                           data.step_pictures, picture))) {
    repaint();
  }
}

void start_slideshow() {
  // The share counts against the install entries found at start-up.
  background().files_total = stub().data.install_entry_count;
  background().files_done = 0;
  HANDLE thread = CreateThread(nullptr, 0, slideshow_thread, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

void slideshow_progress(std::uint64_t done) { background().files_done = done; }

void wizard_finished() { background().wizard_finished = true; }

}  // namespace quill::installer::win32
