// Background window arithmetic (see background_layout.h).
#include "installer/background_layout.h"

namespace quill::installer {

Box background_window_box(int screen_width, int screen_height, int width, int height) {
  Box box;
  if (width >= 1 && height >= 1) {
    box.x = static_cast<int>(screen_width * 0.5 - width * 0.5);
    box.y = static_cast<int>(screen_height * 0.5 - height * 0.5);
    box.width = width;
    box.height = height;
  } else {
    box.width = screen_width;
    box.height = screen_height;
  }
  return box;
}

Box background_picture_box(int placement, int client_width, int client_height,
                           int picture_width, int picture_height, int x, int y) {
  Box box{0, 0, picture_width, picture_height};
  switch (placement) {
    case 0:
      box.width = client_width;
      box.height = client_height;
      break;
    case 1:
      box.x = static_cast<int>(client_width * 0.5) - static_cast<int>(picture_width * 0.5);
      box.y = static_cast<int>(client_height * 0.5) - static_cast<int>(picture_height * 0.5);
      break;
    case 2:
      box.x = x;
      box.y = y;
      break;
    default:
      break;
  }
  return box;
}

int himetric_to_pixels(int himetric, int dots_per_inch) {
  long long product = static_cast<long long>(himetric) * dots_per_inch;
  long long half = product >= 0 ? 1270 : -1270;
  return static_cast<int>((product + half) / 2540);
}

std::size_t find_background_record(const std::vector<package::BackgroundPicture>& records,
                                   int step, std::size_t first) {
  if (first >= package::kMaxBackgroundPictures) return records.size();
  for (std::size_t i = first; i < records.size(); ++i) {
    if (records[i].step == step && !records[i].path.empty()) return i;
  }
  return records.size();
}

bool slideshow_share_reached(std::uint64_t done, std::uint64_t total, unsigned index,
                             unsigned count) {
  if (total == 0 || count == 0) return true;
  const float step = 1.0f / static_cast<float>(count);
  const float threshold = static_cast<float>(index + 1) * step;
  return static_cast<double>(done) / static_cast<double>(total) >= static_cast<double>(threshold);
}

}  // namespace quill::installer
