// The arithmetic of the installer's background window, kept free of system
// calls so that it is tested natively: where the window and its picture go,
// which background record a step shows, and when the slideshow moves on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/payload.h"

namespace quill::installer {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};

// A window of width x height centred on the screen when both are at least 1,
// else the whole screen.
Box background_window_box(int screen_width, int screen_height, int width, int height);

// Where a picture of its own size goes in a client area: placement 0
// stretches it over the area, 1 centres it, 2 puts it at (x, y), any other
// value at the top-left corner.
Box background_picture_box(int placement, int client_width, int client_height,
                           int picture_width, int picture_height, int x, int y);

// A HIMETRIC length in pixels at `dots_per_inch`, rounded to the nearest.
int himetric_to_pixels(int himetric, int dots_per_inch);

// The first record at or after `first` whose step is `step` and whose path
// is not empty; records.size() when there is none or `first` lies beyond
// the 1,024 record places.
std::size_t find_background_record(const std::vector<package::BackgroundPicture>& records,
                                   int step, std::size_t first);

// True once `done` of `total` installed files reach the share at which
// picture `index` + 1 of `count` gives way: (index + 1) / count, taken in
// single precision. Nothing to install counts as done.
bool slideshow_share_reached(std::uint64_t done, std::uint64_t total, unsigned index,
                             unsigned count);

}  // namespace quill::installer
