// A window's screen resolution for the Win32 programs, and their layout
// lengths (written for 96 dpi) scaled to it.
#pragma once

#include <windows.h>

#include "common/dpi.h"

namespace quill::dpi {

// Sent to a top-level window moved to a screen of another resolution
// (WM_DPICHANGED; wparam: the new resolution, lparam: the suggested RECT).
constexpr UINT kDpiChanged = 0x02E0;

// Answers kDpiChanged: the window takes the place the system suggests.
inline void take_suggested_place(HWND window, LPARAM suggested_rect) {
  const RECT* r = reinterpret_cast<const RECT*>(suggested_rect);
  SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The resolution of the screen `window` is on: GetDpiForWindow where the
// system has it (it tells each monitor apart), else the resolution its
// device context reports, which is the system's.
inline int window_dpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const DpiForWindow for_window = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<DpiForWindow>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
  }();
  if (for_window && window) {
    if (UINT dpi = for_window(window)) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(window);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kBase;
  if (dc) ReleaseDC(window, dc);
  return dpi > 0 ? dpi : kBase;
}

inline int scaled(HWND window, int pixels) { return scale(pixels, window_dpi(window)); }

// The rectangle (x, y) width x height, written for 96 dpi, at `dpi`.
inline RECT scaled_rect(int x, int y, int width, int height, int dpi) {
  const int left = scale(x, dpi), top = scale(y, dpi);
  return RECT{left, top, left + scale(width, dpi), top + scale(height, dpi)};
}

// Draws width x height pixels at (x, y) of `from` into `target` with a
// smoothing filter, as a picture drawn larger than its pixels should look.
inline void smooth_stretch(HDC dc, const RECT& target, HDC from, int x, int y, int width,
                           int height) {
  const int previous = SetStretchBltMode(dc, HALFTONE);
  POINT origin;
  SetBrushOrgEx(dc, 0, 0, &origin);  // HALFTONE needs the brush origin reset
  StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
             from, x, y, width, height, SRCCOPY);
  SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
  SetStretchBltMode(dc, previous);
}

}  // namespace quill::dpi
