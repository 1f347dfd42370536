// The control table and the resources it names, the selection panel and
// the main window's settings.
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "builder/editor/controls.h"
#include "tests/editor/editor_fixture.h"

namespace quill::editor {
namespace {

TEST(ControlTable, EachControlOnOnePageWithThePagesHeights) {
  std::set<int> seen;
  int per_tab[kTabCount] = {};
  for (const ControlTab& pair : control_table()) {
    EXPECT_TRUE(seen.insert(pair.control).second) << pair.control;
    ++per_tab[pair.tab];
  }
  EXPECT_EQ(per_tab[kFilesTab], 15);
  EXPECT_EQ(per_tab[kBuildTab], 7);
  EXPECT_EQ(tab_of_control(kFileTree), kFilesTab);
  EXPECT_EQ(tab_of_control(kIncludeUninstaller), kOptionsTab);
  EXPECT_EQ(tab_of_control(kTabControl), -1);
  const int heights[kTabCount][2] = {{384, 310}, {240, 166}, {240, 166}, {240, 166}, {300, 226}, {240, 166}};
  for (int tab = 0; tab < kTabCount; ++tab) {
    EXPECT_EQ(tab_layout(tab).window_height, heights[tab][0]);
    EXPECT_EQ(tab_layout(tab).tab_height, heights[tab][1]);
  }
}

std::string source_file(const std::string& path) {
  std::ifstream in(std::string(QUILL_SOURCE_DIR) + "/" + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The templates name their controls by the header's identifiers; the
// control table's numbers come from the same header, so each must be a
// control of the main window's template.
TEST(ControlTable, ResourceTemplatesAndHeaderAgree) {
  std::map<std::string, int> defined;
  const std::string header = source_file("resources/quillset_resource.h");
  const std::regex define(R"(#define\s+(ID\w+)\s+\(?(-?\w+)\)?)");
  for (std::sregex_iterator m(header.begin(), header.end(), define), end; m != end; ++m) {
    defined[(*m)[1]] = static_cast<int>(std::stol((*m)[2], nullptr, 0));
  }
  const std::string rc = source_file("resources/quillset.rc");
  ASSERT_FALSE(rc.empty());
  const std::regex identifier(R"(\b(ID[A-Z]_\w+)\b)");
  for (std::sregex_iterator m(rc.begin(), rc.end(), identifier), end; m != end; ++m) {
    EXPECT_TRUE(defined.count((*m)[1])) << (*m)[1] << " is not in quillset_resource.h";
  }
  const std::size_t start = rc.find("\nBEGIN", rc.find("IDD_MAIN DIALOGEX"));
  const std::string main = rc.substr(start, rc.find("\nEND", start) - start);
  std::set<int> in_main;
  for (std::sregex_iterator m(main.begin(), main.end(), identifier), end; m != end; ++m) {
    in_main.insert(defined[(*m)[1]]);
  }
  for (const ControlTab& pair : control_table()) {
    EXPECT_TRUE(in_main.count(pair.control)) << pair.control << " is not in the main window's template";
  }
}

TEST_F(EditorTest, PanelFollowsTheSelection) {
  project::TreeItem file = add_file(project().install_root(), "src/a.txt");
  struct Case {
    project::TreeItem item;
    bool add, remove, custom, shortcuts;
    std::string install_to;
  };
  const Case cases[] = {
      {project().install_root(), true, false, false, false, "%install path%\\"},
      {project().custom_root(), false, false, false, false, "%custom path%\\"},
      {file, false, true, true, true, "%install path%\\"},
      {project::kNoItem, false, false, false, false, ""},
  };
  for (const Case& c : cases) {
    editor->select(c.item);
    SelectionPanel panel = editor->panel();
    EXPECT_EQ(panel.add_enabled, c.add) << c.item;
    EXPECT_EQ(panel.remove_enabled, c.remove) << c.item;
    EXPECT_EQ(panel.custom_button_enabled, c.custom) << c.item;
    EXPECT_EQ(panel.shortcut_fields_enabled, c.shortcuts) << c.item;
    EXPECT_EQ(panel.install_to, c.install_to) << c.item;
    EXPECT_FALSE(panel.install_to_editable);
    EXPECT_EQ(editor->is_enabled(kRemoveItem), c.remove);
  }
  editor->select(file);
  EXPECT_EQ(editor->panel().item_path, box.root() + "/src/a.txt");
  EXPECT_FALSE(editor->is_enabled(kStartMenuFolder));
  editor->location_changed(project::kStartMenu);
  EXPECT_TRUE(editor->is_enabled(kStartMenuFolder));
  editor->custom_path_button("");
  EXPECT_TRUE(editor->panel().install_to_editable);
  EXPECT_EQ(editor->panel().custom_button_caption, "Save path");
  editor->select(project().install_root());  // any selection ends custom-path editing
  editor->select(file);
  EXPECT_EQ(editor->panel().custom_button_caption, "Set custom path");
}

TEST_F(EditorTest, ProjectControlsHoldTheSettings) {
  editor->set_setting(SettingId::name, "Tool");
  editor->set_setting(SettingId::output, std::string(300, 'x'));
  editor->set_setting(SettingId::fullscreen_text, "not the main window's");
  EXPECT_EQ(project().settings().program_name, "Tool");
  EXPECT_EQ(editor->setting(SettingId::output).size(), 259u);
  EXPECT_EQ(project().fullscreen().text, "%name%");
  EXPECT_FALSE(editor->is_enabled(kRegistryMacro));
  editor->set_setting(SettingId::try_path_first, "on");
  EXPECT_TRUE(editor->is_enabled(kRegistryMacro));
  editor->set_setting(SettingId::eoi_buttons, "yesno");
  EXPECT_EQ(editor->setting(SettingId::eoi_buttons), "yesno");
  EXPECT_FALSE(project().settings().message_box_ok);
  prompter.files = {"C:\\out\\setup.exe"};
  editor->browse(kBrowseOutput);
  EXPECT_EQ(editor->setting(SettingId::output), "C:\\out\\setup.exe");
  EXPECT_EQ(prompter.log.back(), "save:Program files (*.exe)");
  editor->edit_document(kEditWelcome);
  EXPECT_EQ(box.os().shell_log().back(), "start|C:\\Windows\\notepad.exe|");
  editor->set_setting(SettingId::licence_file, "C:\\My Docs\\licence.txt");
  editor->edit_document(kEditLicence);
  EXPECT_EQ(box.os().shell_log().back(), "start|C:\\Windows\\notepad.exe|\"C:\\My Docs\\licence.txt\"");
}

}  // namespace
}  // namespace quill::editor
