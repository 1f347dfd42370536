// Which picture files the wizard's side and the background window show, and
// what stands in for a file that is missing.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "os/os.h"
#include "package/payload.h"

namespace quill::installer {

using StepPictures = std::array<std::string, package::kStepPictureCount>;

// The side picture of `number` (the step's picture_number): the package's picture of that
// number when its file exists, else the default one (number 0).
std::string side_picture_path(os::Os& os, const StepPictures& pictures, int number);

// What the background window is to show.
struct BackgroundShot {
  std::size_t record = 0;  // the record whose placement applies; records.size(): none
  std::string path;        // the file to load into the slot; empty: leave the slot as it is
  bool hidden = true;      // nothing is drawn
};

// The background of the step of picture number `step` (1 to 7): its first record when that
// file exists; otherwise nothing is drawn, while the slot is filled with the
// default side picture.
BackgroundShot step_background(os::Os& os, const std::vector<package::BackgroundPicture>& records,
                               const StepPictures& pictures, int step);

// The slideshow's picture: the first step-6 record at or after `first`,
// hidden (the slot left alone) when there is none or its file is missing.
BackgroundShot slideshow_background(os::Os& os,
                                    const std::vector<package::BackgroundPicture>& records,
                                    std::size_t first);

}  // namespace quill::installer
