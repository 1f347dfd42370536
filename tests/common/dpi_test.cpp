// Layout lengths at other screen resolutions.
#include "common/dpi.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(Dpi, ScalesAndRoundsToTheNearestPixel) {
  struct Case {
    int pixels, dpi, want;
  };
  const Case cases[] = {
      {340, 96, 340},   {100, 144, 150}, {170, 144, 255}, {23, 120, 29},   // 28.75
      {11, 144, 17},    {13, 144, 20},   {-5, 144, -8},   {-3, 120, -4},   // halves away from 0
      {1, 72, 1},       {0, 192, 0},     {16, 192, 32},   {2, 48, 1},
      {420, 0, 420},    {420, -144, 420},                                 // unknown: as written
      {1000000, 480, 5000000},                                            // no overflow
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dpi::scale(c.pixels, c.dpi), c.want) << c.pixels << " px at " << c.dpi << " dpi";
  }
}

}  // namespace
}  // namespace quill
