// The background window's arithmetic: window and picture placement, record
// lookup and the slideshow's single-precision thresholds.
#include "installer/background_layout.h"

#include <gtest/gtest.h>

namespace quill::installer {
namespace {

TEST(BackgroundWindowBox, CentresAGivenSizeAndCoversTheScreenOtherwise) {
  Box box = background_window_box(1024, 768, 800, 600);
  EXPECT_EQ(112, box.x);
  EXPECT_EQ(84, box.y);
  EXPECT_EQ(800, box.width);
  EXPECT_EQ(600, box.height);
  // An odd difference is truncated once, after the floating-point sum.
  box = background_window_box(1025, 769, 800, 600);
  EXPECT_EQ(112, box.x);
  EXPECT_EQ(84, box.y);
  for (auto size : {std::pair<int, int>{0, 600}, {800, 0}, {-5, 600}}) {
    box = background_window_box(1024, 768, size.first, size.second);
    EXPECT_EQ(0, box.x);
    EXPECT_EQ(0, box.y);
    EXPECT_EQ(1024, box.width);
    EXPECT_EQ(768, box.height);
  }
}

TEST(BackgroundPictureBox, FollowsThePlacement) {
  Box stretched = background_picture_box(0, 640, 480, 100, 50, 7, 9);
  EXPECT_EQ(0, stretched.x);
  EXPECT_EQ(640, stretched.width);
  EXPECT_EQ(480, stretched.height);
  Box centred = background_picture_box(1, 640, 480, 101, 51, 7, 9);
  EXPECT_EQ(320 - 50, centred.x);
  EXPECT_EQ(240 - 25, centred.y);
  EXPECT_EQ(101, centred.width);
  // Larger than the window: negative coordinates, clipped when drawn.
  Box large = background_picture_box(1, 640, 480, 1000, 800, 0, 0);
  EXPECT_EQ(-180, large.x);
  EXPECT_EQ(-160, large.y);
  Box placed = background_picture_box(2, 640, 480, 100, 50, 7, 9);
  EXPECT_EQ(7, placed.x);
  EXPECT_EQ(9, placed.y);
  EXPECT_EQ(100, placed.width);
  for (int other : {3, -1, 99}) {
    Box corner = background_picture_box(other, 640, 480, 100, 50, 7, 9);
    EXPECT_EQ(0, corner.x);
    EXPECT_EQ(0, corner.y);
    EXPECT_EQ(50, corner.height);
  }
}

TEST(HimetricToPixels, RoundsToTheNearest) {
  EXPECT_EQ(100, himetric_to_pixels(2646, 96));  // 100.01
  EXPECT_EQ(1, himetric_to_pixels(14, 96));      // 0.53
  EXPECT_EQ(0, himetric_to_pixels(13, 96));      // 0.49
  EXPECT_EQ(-1, himetric_to_pixels(-14, 96));
}

TEST(FindBackgroundRecord, SkipsOtherStepsAndEmptyPaths) {
  std::vector<package::BackgroundPicture> records(4);
  records[0].step = 6;
  records[0].path = "a.jpg";
  records[1].step = 2;
  records[1].path = "b.jpg";
  records[2].step = 6;  // empty path: never chosen
  records[3].step = 6;
  records[3].path = "d.jpg";
  EXPECT_EQ(0u, find_background_record(records, 6, 0));
  EXPECT_EQ(3u, find_background_record(records, 6, 1));
  EXPECT_EQ(1u, find_background_record(records, 2, 0));
  EXPECT_EQ(4u, find_background_record(records, 6, 4));
  EXPECT_EQ(4u, find_background_record(records, 3, 0));
  EXPECT_EQ(4u, find_background_record(records, 6, 1024));
}

TEST(SlideshowShare, UsesSinglePrecisionThresholds) {
  // Two pictures, 40 files: the second shows once 20 are installed.
  EXPECT_FALSE(slideshow_share_reached(19, 40, 0, 2));
  EXPECT_TRUE(slideshow_share_reached(20, 40, 0, 2));
  // Three pictures, 30 files: 10 / 30 and 20 / 30 lie just below the
  // single-precision thirds, so the changes come at 11 and 21.
  EXPECT_FALSE(slideshow_share_reached(10, 30, 0, 3));
  EXPECT_TRUE(slideshow_share_reached(11, 30, 0, 3));
  EXPECT_FALSE(slideshow_share_reached(20, 30, 1, 3));
  EXPECT_TRUE(slideshow_share_reached(21, 30, 1, 3));
  // The last picture stays until everything is installed.
  EXPECT_FALSE(slideshow_share_reached(29, 30, 2, 3));
  EXPECT_TRUE(slideshow_share_reached(30, 30, 2, 3));
  // Nothing to install never waits.
  EXPECT_TRUE(slideshow_share_reached(0, 0, 0, 3));
}

}  // namespace
}  // namespace quill::installer
