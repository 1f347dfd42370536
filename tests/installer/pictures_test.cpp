// Picture choice: the side picture's and the background's fallbacks.
#include "installer/pictures.h"

#include "installer_fixture.h"

namespace quill::installer {
namespace {

class PicturesTest : public test::InstallerTest {
 protected:
  void SetUp() override {
    test::InstallerTest::SetUp();
    pictures_[0] = picture("default.jpg");
    pictures_[3] = picture("three.jpg");
    pictures_[4] = "C:\\Temp\\gone.jpg";
  }
  std::string picture(const std::string& name) {
    const std::string path = "C:\\Temp\\" + name;
    test::write_host_file(host(path), "picture");
    return path;
  }
  StepPictures pictures_;
};

TEST_F(PicturesTest, SidePictureFallsBackToTheDefault) {
  struct Case {
    int number;
    std::string path;
  };
  for (const Case& c : {Case{3, pictures_[3]}, Case{4, pictures_[0]}, Case{5, pictures_[0]},
                        Case{0, pictures_[0]}, Case{-1, pictures_[0]}, Case{11, pictures_[0]}}) {
    EXPECT_EQ(side_picture_path(os(), pictures_, c.number), c.path) << c.number;
  }
}

TEST_F(PicturesTest, BackgroundShowsAnExistingRecordOrHidesItself) {
  const std::string shown = picture("six.jpg");
  std::vector<package::BackgroundPicture> records = {
      {2, "C:\\Temp\\missing.jpg", 0, 0, 0}, {6, shown, 1, 0, 0}, {6, "", 0, 0, 0},
      {6, "C:\\Temp\\missing.jpg", 0, 0, 0}, {6, shown, 2, 5, 5}};

  // A step's missing picture hides the background and keeps the slot filled.
  BackgroundShot step2 = step_background(os(), records, pictures_, 2);
  EXPECT_EQ(step2.record, 0u);
  EXPECT_TRUE(step2.hidden);
  EXPECT_EQ(step2.path, pictures_[0]);
  BackgroundShot step6 = step_background(os(), records, pictures_, 6);
  EXPECT_EQ(step6.record, 1u);
  EXPECT_FALSE(step6.hidden);
  EXPECT_EQ(step6.path, shown);
  BackgroundShot none = step_background(os(), records, pictures_, 7);
  EXPECT_EQ(none.record, records.size());
  EXPECT_TRUE(none.hidden);

  // The slideshow passes over empty paths and leaves the slot alone for a
  // missing file.
  struct Case {
    std::size_t first, record;
    bool hidden;
  };
  for (const Case& c : {Case{0, 1, false}, Case{2, 3, true}, Case{4, 4, false}, Case{5, 5, true}}) {
    BackgroundShot shot = slideshow_background(os(), records, c.first);
    EXPECT_EQ(shot.record, c.record) << c.first;
    EXPECT_EQ(shot.hidden, c.hidden) << c.first;
    EXPECT_EQ(shot.path, c.hidden ? "" : shown) << c.first;
  }
}

}  // namespace
}  // namespace quill::installer
