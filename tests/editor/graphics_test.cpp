// The graphics page, the fullscreen options and the window settings.
#include <map>

#include "builder/editor/controls.h"
#include "builder/editor/fullscreen_options.h"
#include "builder/editor/window_settings.h"
#include "builder/project/project_file.h"
#include "tests/editor/editor_fixture.h"

namespace quill::editor {
namespace {

using project::kImageSlots;

class GraphicsTest : public EditorTest {
 protected:
  void add(const std::string& path) {
    prompter.files.push_back(path);
    editor->add_image();
  }
  // The enabled state of the page's detail controls, in a fixed order.
  std::string enabled_details() const {
    std::string s;
    for (int id : {kStepList, kFullscreenCheck, kFullscreenLabel, kRemoveImage, kImageFile, kStretchImage,
                   kCenterImage, kImageAtPosition, kImageXLabel, kImageX, kImageY}) {
      s += editor->is_enabled(id) ? '1' : '0';
    }
    return s;
  }
};

TEST_F(GraphicsTest, ListSelectionEnablingAndSync) {
  editor->initialise();
  EXPECT_EQ(enabled_details(), "00000000000");
  add("C:\\a\\logo.jpg");
  add("C:\\b\\logo.jpg");
  EXPECT_EQ(prompter.log.back(), std::string("open:") + text::kImageFilter);
  ASSERT_EQ(editor->graphics().items.size(), 2u);
  EXPECT_EQ(editor->graphics().items[1].text, "logo.jpg");
  EXPECT_EQ(editor->graphics().items[1].slot, 1);
  // Added, not selected: the details stay disabled, 1012 shows the path.
  EXPECT_EQ(editor->graphics().image_file, "C:\\b\\logo.jpg");
  EXPECT_EQ(enabled_details(), "00000000000");

  editor->image_sync_tick("5", "5");  // no selection: nothing to write
  editor->select_image(1);
  const project::ImageRecord& image = project().image(1);
  EXPECT_EQ(image.step, 1);
  EXPECT_FALSE(image.background);
  EXPECT_EQ(image.mode, 0);
  EXPECT_EQ(image.x + image.y, 0);
  EXPECT_EQ(enabled_details(), "11111000000");

  editor->image_step_changed(6);
  project::Settings& settings = const_cast<project::Project&>(project()).settings();
  settings.use_background_window = true;
  editor->image_background_clicked(true);
  EXPECT_EQ(prompter.count(std::string("ask:") + text::kBackgroundQuestion), 0);
  EXPECT_EQ(enabled_details(), "11111111000");
  editor->image_mode_clicked(kImageAtPosition);
  EXPECT_EQ(enabled_details(), "11111111111");
  editor->image_sync_tick("120", "4x");
  EXPECT_EQ(image.x, 120);
  EXPECT_EQ(image.y, 4);
  editor->image_sync_tick("abc", "");
  EXPECT_EQ(image.x, 0);
  // Clearing the background flag disables placement; the mode stays.
  editor->image_background_clicked(false);
  EXPECT_EQ(enabled_details(), "11111000000");
  EXPECT_EQ(image.mode, 2);
  EXPECT_EQ(image.step, 6);
  EXPECT_EQ(project().image(0).step, 1);

  editor->remove_image();
  EXPECT_TRUE(project().image(1).path.empty());
  ASSERT_EQ(editor->graphics().items.size(), 1u);
  EXPECT_EQ(editor->graphics().image_file, "");
  EXPECT_EQ(enabled_details(), "00000000000");
  editor->image_sync_tick("9", "9");
  EXPECT_EQ(project().image(1).x, 0);
  // The freed slot is taken again.
  add("C:\\c.bmp");
  EXPECT_EQ(editor->graphics().items.back().slot, 1);
}

TEST_F(GraphicsTest, BackgroundQuestionAndFullTable) {
  editor->initialise();
  add("C:\\p.jpg");
  editor->select_image(0);
  prompter.answers = {Answer::no, Answer::yes};
  editor->image_background_clicked(true);
  EXPECT_EQ(prompter.count(std::string("ask:") + text::kBackgroundQuestion), 1);
  EXPECT_FALSE(editor->selected_image().background);
  EXPECT_FALSE((editor->setting(SettingId::background) == "on"));
  editor->image_background_clicked(true);
  EXPECT_TRUE(editor->selected_image().background);
  EXPECT_TRUE((editor->setting(SettingId::background) == "on"));
  EXPECT_TRUE(editor->is_enabled(kFullscreenOptions));
  EXPECT_TRUE(view.saw("setting:background"));
  // Clearing "Use background window" later leaves the flag alone.
  editor->set_setting(SettingId::background, "off");
  EXPECT_TRUE(editor->selected_image().background);

  for (int i = 1; i < kImageSlots; ++i) add("C:\\many\\" + std::to_string(i) + ".jpg");
  EXPECT_EQ(prompter.count("tell:"), 0);
  add("C:\\one-too-many.jpg");
  EXPECT_EQ(prompter.last_message(), text::kImageTableFull);
  EXPECT_EQ(editor->graphics().items.size(), static_cast<std::size_t>(kImageSlots));
  EXPECT_NE(editor->graphics().image_file, "C:\\one-too-many.jpg");
}

TEST_F(GraphicsTest, NewAndLoadedProjectRefillTheList) {
  project::Project saved;
  saved.add_image("C:\\x\\one.jpg", 3, false, 0, 0, 0);
  saved.add_image("C:\\x\\two.bmp", 6, true, 2, 10, 20);
  box.write("C/g.qsp", project::project_text(saved));
  editor->initialise();
  add("C:\\stale.jpg");
  editor->select_image(0);
  prompter.files.push_back("C:\\g.qsp");
  editor->open_project();
  ASSERT_EQ(editor->graphics().items.size(), 2u);
  EXPECT_EQ(editor->graphics().items[1].text, "two.bmp");
  EXPECT_EQ(editor->graphics().selected, -1);
  EXPECT_FALSE(editor->graphics().sync);
  EXPECT_EQ(enabled_details(), "00000000000");
  editor->select_image(1);
  EXPECT_EQ(editor->selected_image().x, 10);
  EXPECT_EQ(enabled_details(), "11111111111");
  prompter.answers = {Answer::no};
  editor->new_project();
  EXPECT_TRUE(editor->graphics().items.empty());
  EXPECT_FALSE(editor->graphics().sync);
}

// Counts fonts made and deleted; a face named "bad" cannot be made.
struct CountingFonts : FontMaker {
  std::map<FontHandle, int> alive;
  FontHandle next = 1;
  FontHandle create(const project::FontLines& lines) override {
    if (lines.face == "bad") return 0;
    alive[next] = 1;
    return next++;
  }
  void destroy(FontHandle font) override {
    EXPECT_EQ(alive.count(font), 1u) << "font " << font << " deleted twice or never made";
    alive.erase(font);
  }
};

TEST_F(EditorTest, FullscreenOptionsWorkingCopy) {
  CountingFonts fonts;
  {
    FullscreenOptionsDialog d(project().fullscreen(), fonts);
    // A new project's options.
    EXPECT_TRUE(d.checked(kFsStretch));
    EXPECT_EQ(d.text(kFsWidth) + "x" + d.text(kFsHeight), "640x480");
    EXPECT_TRUE(d.checked(kFsFade) && d.checked(kFsShadow) && d.checked(kFsAlignLeft));
    EXPECT_EQ(d.text(kFsShadowEdit), "4");
    EXPECT_EQ(d.text(kFsFaceName), "Arial");
    // Each check enables exactly its own controls.
    struct Case { int check; std::vector<int> follow; bool follow_when_set; };
    for (const Case& c : {Case{kFsStretch, {kFsWidth, kFsHeight}, false},
                          Case{kFsFade, {kFsFadeEdit}, true},
                          Case{kFsShadow, {kFsShadowTrack, kFsShadowEdit, kFsShadowColourEdit}, true}}) {
      for (bool on : {false, true}) {
        d.set_checked(c.check, on);
        for (int id : c.follow) EXPECT_EQ(d.enabled(id), on == c.follow_when_set) << c.check << " " << id;
        EXPECT_TRUE(d.enabled(kFsText));
      }
    }
    d.set_checked(kFsAlignRight, true);
    EXPECT_FALSE(d.checked(kFsAlignLeft));
    // Trackbar and edit in step; a typed number is kept, the bar clamps.
    EXPECT_FALSE(d.trackbar_moved(4));
    EXPECT_TRUE(d.trackbar_moved(3));
    EXPECT_EQ(d.text(kFsShadowEdit), "3");
    EXPECT_EQ(d.shadow_edit_tick("3"), -1);
    EXPECT_EQ(d.shadow_edit_tick("7"), 7);
    EXPECT_EQ(d.shadow_edit_tick("25"), 10);
    EXPECT_EQ(d.shadow_edit_tick(""), 1);
    EXPECT_EQ(d.shadow_position(), 0);
    d.trackbar_moved(7);

    d.set_colour(kFsBackgroundEdit, 0x123456);
    d.set_colour(kFsShadowColourEdit, 0x00FF00);
    d.set_text(kFsWidth, "800");
    d.set_text(kFsText, std::string(300, 'w'));
    // Fonts: a failed one keeps the working font; each replaced one is deleted.
    project::FontLines lines;
    lines.face = "bad";
    EXPECT_FALSE(d.choose_font(lines));
    EXPECT_EQ(d.font().face, "Arial");
    lines.face = "Georgia";
    EXPECT_TRUE(d.choose_font(lines));
    lines.face = "Verdana";
    EXPECT_TRUE(d.choose_font(lines));
    EXPECT_EQ(fonts.alive.size(), 1u);
    EXPECT_EQ(d.font_handle(), 3u);
    // The close box: nothing reaches the project.
    EXPECT_EQ(project().fullscreen().background_colour, 0xFF0000u);

    editor->store_fullscreen(d.result());
  }
  EXPECT_TRUE(fonts.alive.empty());
  const project::FullscreenOptions& f = project().fullscreen();
  EXPECT_EQ(f.background_colour, 0x123456u);
  EXPECT_EQ(f.shadow_colour, 0x00FF00u);
  EXPECT_EQ(f.width, 800);
  EXPECT_EQ(f.text.size(), 259u);
  EXPECT_EQ(f.font.face, "Verdana");
  EXPECT_EQ(f.shadow_offset, 7);
  EXPECT_EQ(f.alignment, 2);
  EXPECT_TRUE(f.shadow && f.fade && f.stretch_to_desktop);
}

TEST(FontLines, LogicalFontRoundTrip) {
  struct Case { const char* points; int dpi; int height; };
  for (Case c : {Case{"36", 96, -48}, Case{"11", 96, -15}, Case{"11", 120, -18}, Case{"9", 144, -18},
                 Case{"72", 72, -72}}) {
    project::FontLines lines;
    lines.points = c.points;
    lines.italic = "1";
    LogicalFont font = logical_font(lines, c.dpi);
    EXPECT_EQ(font.height, c.height) << c.points << "pt at " << c.dpi;
    EXPECT_TRUE(font.italic);
    project::FontLines back = font_lines(font, c.dpi);
    EXPECT_EQ(back.points, c.points);
    EXPECT_EQ(back.weight, "700");
    EXPECT_EQ(back.italic, "1");
    EXPECT_EQ(back.face, "Arial");
  }
}

TEST_F(EditorTest, WindowSettingsDialog) {
  WindowSettingsDialog d(project().window_settings());
  EXPECT_TRUE(d.checked(kWsStandardRadio));
  EXPECT_FALSE(d.checked(kWsSmoothRadio) || d.checked(kWsShrink));
  d.choose(kWsSmoothRadio, true);
  d.choose(kWsShrink, true);
  EXPECT_FALSE(d.checked(kWsStandardRadio));
  // The previews run 1 .. 100, then 0, once every 101 ticks.
  int last = 0;
  for (int i = 0; i < 100; ++i) last = d.tick();
  EXPECT_EQ(last, 100);
  EXPECT_EQ(d.tick(), 0);
  EXPECT_EQ(d.tick(), 1);
  EXPECT_EQ(project().window_settings().progress_style, 0);  // not stored yet
  editor->store_window_settings(d.result());
  EXPECT_EQ(project().window_settings().progress_style, 1);
  EXPECT_TRUE(project().window_settings().shrink_during_install);
}

}  // namespace
}  // namespace quill::editor
