// The commands of the "Files to install" page.
#include <filesystem>

#include "builder/editor/controls.h"
#include "builder/editor/messages.h"
#include "builder/project/project_file.h"
#include "tests/editor/editor_fixture.h"

namespace quill::editor {
namespace {

using project::kNoItem;
using project::kNoSlot;
using project::TreeItem;

// A project file with `files` records under the install-path root.
std::string project_with_files(int files) {
  std::string text = "%install path%\\\r\n%custom path%\\\r\n|\r\n";
  for (int i = 0; i < files; ++i) text += "/src/f" + std::to_string(i) + "\r\nf" + std::to_string(i) + "\r\n%install path%\\\r\n";
  text += "|\r\n|\r\n|\r\n";
  for (int i = 0; i < 6 + 4 + 13; ++i) text += "|\r\n";
  return text;
}

TEST_F(EditorTest, AddFileChecksItsFolderAndTheTable) {
  editor->select(project().custom_root());
  editor->add_file();
  EXPECT_EQ(prompter.last_message(), text::kInvalidFolder);
  TreeItem file = add_file(project().install_root(), "src/a.txt");
  editor->select(file);
  editor->add_file();
  EXPECT_EQ(prompter.count("tell:" + std::string(text::kInvalidFolder)), 2);
  // Cancel adds nothing; the same file twice gives two records of one name.
  editor->select(project().install_root());
  editor->add_file();
  add_file(project().install_root(), "src/a.txt");
  EXPECT_EQ(project().file_count(), 2);
  EXPECT_EQ(project().file(0).name, project().file(1).name);

  // A full table adds nothing and says so.
  box.write("full.qsp", project_with_files(project::kFileSlots));
  prompter.files = {box.root() + "/full.qsp"};
  editor->open_project();
  ASSERT_EQ(project().file_count(), project::kFileSlots);
  std::size_t nodes = project().tree().size();
  editor->select(project().install_root());
  editor->add_file();
  EXPECT_EQ(prompter.last_message(), text::kFileTableFull);
  EXPECT_EQ(project().tree().size(), nodes);
}

TEST_F(EditorTest, AddFolderScansAllButDotEntriesLinksAndLoops) {
  box.write("tree/Data/a.txt", "a");
  box.write("tree/Data/Deep/b.txt", "b");
  box.write("tree/.svn/entries", "x");
  box.write("tree/.hidden", "x");
  std::filesystem::create_directory_symlink(box.root() + "/tree", box.root() + "/tree/Data/loop");
  editor->select(project().install_root());
  prompter.folders = {box.root() + "/tree"};
  editor->add_folder();
  EXPECT_EQ(project().file_count(), 2);
  EXPECT_EQ(project().folder_count(), 2 + 3);  // tree, Data, Deep
  int b = file_slot("b.txt");
  ASSERT_NE(b, kNoSlot);
  EXPECT_EQ(project().file(b).target_folder, "%install path%\\tree\\Data\\Deep\\");
  EXPECT_EQ(project().tree().parent(project().file(b).item), folder_item("%install path%\\tree\\Data\\Deep\\"));
  EXPECT_TRUE(view.saw("status:Ready"));

  // A tree larger than the room left adds nothing at all.
  box.write("full.qsp", project_with_files(project::kFileSlots - 1));
  prompter.files = {box.root() + "/full.qsp"};
  editor->open_project();
  editor->select(project().install_root());
  prompter.folders = {box.root() + "/tree"};
  editor->add_folder();
  EXPECT_EQ(project().file_count(), project::kFileSlots - 1);
  EXPECT_EQ(folder_item("%install path%\\tree\\"), kNoItem);
  EXPECT_NE(prompter.last_message().find("Nothing was added"), std::string::npos);
}

TEST_F(EditorTest, RemoveEmptiesFoldersAndTheUninstallerRoleFollowsItsRecord) {
  editor->select(project().install_root());
  editor->remove();
  EXPECT_EQ(prompter.last_message(), text::kCantDelete);

  box.write("tree/Sub/a.txt", "a");
  prompter.folders = {box.root() + "/tree"};
  editor->add_folder();
  editor->set_setting(SettingId::uninstaller, "on");
  TreeItem uninstaller = project().uninstaller_item();
  ASSERT_NE(uninstaller, kNoItem);
  EXPECT_TRUE(view.saw("tab:0"));
  EXPECT_EQ(editor->current_item(), uninstaller);
  EXPECT_EQ(project().file(project().find_file_by_tree_item(uninstaller)).source, "C:\\Quill\\uninst.dat");

  // A custom path moves the uninstaller's record; the role goes with it.
  editor->custom_path_button("");
  editor->custom_path_button("%windows%\\");
  TreeItem moved = project().uninstaller_item();
  EXPECT_NE(moved, uninstaller);
  EXPECT_EQ(project().tree().parent(moved), project().custom_root());
  EXPECT_TRUE((editor->setting(SettingId::uninstaller) == "on"));

  // Removing a folder removes every record below it.
  editor->select(folder_item("%install path%\\tree\\"));
  editor->remove();
  EXPECT_EQ(project().folder_count(), 2);
  EXPECT_EQ(project().file_count(), 1);

  // The Delete key acts only while the tree has the focus.
  editor->select(moved);
  EXPECT_FALSE(editor->tree_key(TreeKey::remove, false));
  EXPECT_EQ(project().file_count(), 1);
  EXPECT_TRUE(editor->tree_key(TreeKey::remove, true));
  EXPECT_EQ(project().file_count(), 0);
  EXPECT_FALSE((editor->setting(SettingId::uninstaller) == "on"));
  EXPECT_EQ(project().uninstaller_item(), kNoItem);
  editor->select(project().install_root());
  EXPECT_FALSE(editor->tree_key(TreeKey::remove, true));
  EXPECT_EQ(project().tree().size(), 2u);
}

TEST_F(EditorTest, ASelectionTheViewMakesDuringARemoveStands) {
  TreeItem a = add_file(project().install_root(), "src/a.txt");
  TreeItem b = add_file(project().install_root(), "src/b.txt");
  editor->select(a);
  view.on_removed = [&](TreeItem item) {
    if (item == a) editor->select(b);
  };
  editor->remove();
  EXPECT_EQ(editor->current_item(), b);
  EXPECT_TRUE(editor->panel().remove_enabled);
}

TEST_F(EditorTest, UninstallerInsideARemovedFolderClearsTheCheck) {
  // A project whose uninstaller lies in a folder (as a move leaves it).
  project::Project p;
  TreeItem folder = p.insert_folder(p.install_root(), "Tools", "%install path%\\Tools\\");
  p.set_uninstaller_item(p.add_file("C:\\Quill\\uninst.dat", "Uninstall.exe", "%install path%\\Tools\\", folder));
  p.settings().include_uninstaller = true;
  box.write("p.qsp", project::project_text(p));
  prompter.files = {box.root() + "/p.qsp"};
  editor->open_project();
  ASSERT_NE(project().uninstaller_item(), kNoItem);
  editor->select(folder_item("%install path%\\Tools\\"));
  editor->remove();
  EXPECT_FALSE((editor->setting(SettingId::uninstaller) == "on"));
  EXPECT_EQ(project().uninstaller_item(), kNoItem);
  EXPECT_TRUE(view.saw("setting:uninstaller"));

  // A file whose check names no record loads with the check off.
  p.remove_file_record(p.find_file_by_tree_item(p.uninstaller_item()));
  box.write("p.qsp", project::project_text(p));
  prompter.files = {box.root() + "/p.qsp"};
  editor->open_project();
  EXPECT_FALSE((editor->setting(SettingId::uninstaller) == "on"));
}

TEST_F(EditorTest, RenameRewritesPathsOrRefusesWithAMessage) {
  box.write("A/C/x.txt", "x");
  prompter.folders = {box.root() + "/A"};
  editor->add_folder();
  TreeItem a = folder_item("%install path%\\A\\");
  EXPECT_FALSE(editor->begin_label_edit(project().install_root()));
  ASSERT_TRUE(editor->begin_label_edit(a));
  EXPECT_TRUE(editor->end_label_edit(a, "B"));
  EXPECT_EQ(folder_item("%install path%\\B\\"), a);
  EXPECT_NE(folder_item("%install path%\\B\\C\\"), kNoItem);
  EXPECT_EQ(project().file(file_slot("x.txt")).target_folder, "%install path%\\B\\C\\");
  EXPECT_EQ(project().tree().label(a), "B");
  EXPECT_EQ(view.relabelled, 1);

  const std::string refused[] = {"", "a\\b", "a|b", "..", std::string(250, 'n')};
  for (const std::string& name : refused) {
    std::size_t messages = prompter.count("tell:");
    EXPECT_FALSE(editor->end_label_edit(a, name));
    EXPECT_EQ(prompter.count("tell:"), messages + 1);
    EXPECT_EQ(project().tree().label(a), "B");
    EXPECT_NE(folder_item("%install path%\\B\\C\\"), kNoItem);
  }
  TreeItem x = project().file(file_slot("x.txt")).item;
  EXPECT_TRUE(editor->end_label_edit(x, "y.txt"));
  EXPECT_EQ(project().file(project().find_file_by_tree_item(x)).name, "y.txt");
}

TEST_F(EditorTest, CustomPathMovesTheFileAndDropsItsShortcuts) {
  TreeItem file = add_file(project().install_root(), "src/a.txt");
  editor->select(file);
  editor->sync_tick("A", "");
  editor->custom_path_button("");
  editor->custom_path_button("");
  EXPECT_EQ(prompter.last_message(), text::kEmptyCustomPath);
  EXPECT_EQ(project().file(0).item, file);
  editor->custom_path_button("%windows%\\Fonts\\");
  int slot = file_slot("a.txt");
  ASSERT_NE(slot, kNoSlot);
  EXPECT_EQ(project().file_count(), 1);
  EXPECT_EQ(project().file(slot).target_folder, "%windows%\\Fonts\\");
  EXPECT_EQ(project().tree().parent(project().file(slot).item), project().custom_root());
  EXPECT_EQ(project().shortcuts(slot)[0].name, "");
  EXPECT_EQ(editor->current_item(), project().file(slot).item);
  EXPECT_FALSE(editor->page().custom_editing);
}

TEST_F(EditorTest, ShortcutFieldsFollowTheirFileThroughCompactionAndRenames) {
  TreeItem first = add_file(project().install_root(), "src/a.txt");
  TreeItem second = add_file(project().install_root(), "src/b.txt");
  editor->select(second);
  editor->sync_tick("Bee", "");
  int slot = project().find_file_by_tree_item(second);
  EXPECT_EQ(project().shortcuts(slot)[project::kDesktop].name, "Bee");
  EXPECT_EQ(project().shortcuts(slot)[project::kDesktop].target, "%install path%\\b.txt");
  editor->location_changed(project::kStartMenu);
  EXPECT_EQ(editor->panel().shortcut_name, "");
  editor->sync_tick("Menu", "Tools");
  editor->location_changed(project::kDesktop);
  EXPECT_EQ(editor->panel().shortcut_name, "Bee");

  // Removing the first file and saving moves the shown file's slot.
  editor->select(first);
  editor->remove();
  editor->select(second);
  prompter.files = {box.root() + "/p.qsp"};
  editor->save_as();
  ASSERT_EQ(project().find_file_by_tree_item(second), 0);
  editor->sync_tick("Bee 2", "");
  EXPECT_EQ(project().shortcuts(0)[project::kDesktop].name, "Bee 2");
  EXPECT_EQ(project().shortcuts(0)[project::kStartMenu].start_menu_folder, "Tools");

  // A file renamed while another is shown saves with its new target.
  editor->select(project().install_root());
  editor->end_label_edit(second, "c.txt");
  editor->save();
  EXPECT_NE(testing::Sandbox::read(box.root() + "/p.qsp").find("Bee 2\r\n%install path%\\c.txt\r\n0\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace quill::editor
