// Picture choice for the wizard and the background window.
#include "installer/pictures.h"

#include "installer/background_layout.h"

namespace quill::installer {
namespace {

bool file_exists(os::Os& os, const std::string& path) {
  return !path.empty() && os.file_status(path).exists;
}

// The record found from `first` for `step`, shown when its file exists.
BackgroundShot found_background(os::Os& os, const std::vector<package::BackgroundPicture>& records,
                                int step, std::size_t first) {
  BackgroundShot shot;
  shot.record = find_background_record(records, step, first);
  if (shot.record < records.size() && file_exists(os, records[shot.record].path)) {
    shot.path = records[shot.record].path;
    shot.hidden = false;
  }
  return shot;
}

}  // namespace

std::string side_picture_path(os::Os& os, const StepPictures& pictures, int number) {
  std::string path;
  if (number >= 0 && static_cast<std::size_t>(number) < pictures.size()) path = pictures[number];
  return file_exists(os, path) ? path : pictures[0];
}

BackgroundShot step_background(os::Os& os, const std::vector<package::BackgroundPicture>& records,
                               const StepPictures& pictures, int step) {
  BackgroundShot shot = found_background(os, records, step, 0);
  if (shot.hidden) shot.path = pictures[0];
  return shot;
}

BackgroundShot slideshow_background(os::Os& os,
                                    const std::vector<package::BackgroundPicture>& records,
                                    std::size_t first) {
  return found_background(os, records, 6, first);
}

}  // namespace quill::installer
