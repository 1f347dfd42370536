// Lengths drawn at the screen's resolution. The programs' layouts are
// written in pixels of a 96-dpi screen (100 %); a window on a screen of
// another resolution multiplies each of them by dpi / 96.
#pragma once

namespace quill::dpi {

// The resolution at which layout lengths are written.
constexpr int kBase = 96;

// `pixels` at 96 dpi in pixels at `dpi`, rounded to the nearest whole pixel
// (halves away from zero, as MulDiv rounds). A resolution below 1 is taken
// as 96, so an unknown resolution leaves the layout as written.
int scale(int pixels, int dpi);

}  // namespace quill::dpi
