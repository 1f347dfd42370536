// Moving and copying tree items, the folder properties and the macros dialog.
#include "builder/editor/controls.h"
#include "builder/editor/messages.h"
#include "tests/editor/editor_fixture.h"

namespace quill::editor {
namespace {

using project::kNoItem;
using project::kNoSlot;
using project::TreeItem;

class MovesTest : public EditorTest {
 protected:
  // %install path%\A\ with f and B\ with g; %install path%\C\ with c.
  void SetUp() override {
    box.write("src/A/f", "f");
    box.write("src/A/B/g", "g");
    box.write("src/C/c", "c");
    for (const char* folder : {"/src/A", "/src/C"}) {
      editor->select(project().install_root());
      prompter.folders.push_back(box.root() + folder);
      editor->add_folder();
    }
    a = folder_item("%install path%\\A\\");
    c = folder_item("%install path%\\C\\");
    ASSERT_NE(a, kNoItem);
    ASSERT_NE(c, kNoItem);
  }
  TreeItem item_of(const std::string& name) const {
    int slot = file_slot(name);
    return slot == kNoSlot ? kNoItem : project().file(slot).item;
  }
  std::string folder_of(const std::string& name) const { return project().file(file_slot(name)).target_folder; }
  void give_desktop_shortcut(const std::string& name) {
    editor->select(item_of(name));
    editor->sync_tick("short " + name, "");
  }
  std::string desktop_shortcut(const std::string& name) const {
    return project().shortcut(file_slot(name), project::kDesktop).name;
  }
  int key(TreeKey k) { return editor->tree_key(k, true, true) ? 1 : 0; }

  TreeItem a = kNoItem, c = kNoItem;
};

TEST_F(MovesTest, CopyAndCutOfAFolderTreeWithClipboardRules) {
  give_desktop_shortcut("f");
  // Copy A onto C: A\ and A\B\ appear under C with copies; the shortcut goes along.
  editor->select(a);
  EXPECT_EQ(key(TreeKey::copy), 1);
  editor->select(c);
  EXPECT_EQ(key(TreeKey::paste), 1);
  ASSERT_NE(folder_item("%install path%\\C\\A\\B\\"), kNoItem);
  EXPECT_EQ(project().find_file_by_name_and_folder("g", "%install path%\\C\\A\\B\\") != kNoSlot, true);
  int copy = project().find_file_by_name_and_folder("f", "%install path%\\C\\A\\");
  ASSERT_NE(copy, kNoSlot);
  EXPECT_EQ(project().shortcut(copy, project::kDesktop).name, "short f");
  int original = project().find_file_by_name_and_folder("f", "%install path%\\A\\");
  ASSERT_NE(original, kNoSlot);
  EXPECT_EQ(project().shortcut(original, project::kDesktop).name, "");
  // Copy mode keeps the clipboard: a second paste makes copies of the copies.
  EXPECT_EQ(editor->clipboard_item(), a);
  key(TreeKey::paste);
  EXPECT_NE(project().find_file_by_name_and_folder("copy of f", "%install path%\\C\\A\\"), kNoSlot);

  // Cut C\A\ and paste onto a file inside A: lands in A, the source goes,
  // the clipboard empties and a second paste does nothing.
  const int files = project().file_count();
  editor->select(folder_item("%install path%\\C\\A\\"));
  key(TreeKey::cut);
  editor->select(item_of("f"));
  editor->context_command(0xFFFD);
  EXPECT_EQ(folder_item("%install path%\\C\\A\\"), kNoItem);
  EXPECT_NE(folder_item("%install path%\\A\\A\\B\\"), kNoItem);
  EXPECT_EQ(project().file_count(), files);
  EXPECT_EQ(editor->clipboard_item(), kNoItem);
  editor->select(c);
  EXPECT_EQ(key(TreeKey::paste), 0);
}

TEST_F(MovesTest, MovesThatWouldLoseTheSourceOrMangleAPathDoNothing) {
  TreeItem b = folder_item("%install path%\\A\\B\\");
  const std::size_t nodes = project().tree().size();
  // A onto itself, its sub-folder, a file in it, its own parent; the roots.
  for (TreeItem target : {a, b, item_of("g"), project().install_root()}) {
    editor->drop(a, target);
    editor->select(a);
    key(TreeKey::cut);
    editor->select(target);
    editor->context_command(0xFFFD);
  }
  EXPECT_FALSE(editor->begin_drag(project().install_root()));
  EXPECT_EQ(prompter.last_message(), text::kCantModify);
  // A folder into the custom-path root (through a file there) is refused;
  // a file goes there.
  editor->select(item_of("c"));
  editor->custom_path_button("");
  editor->custom_path_button("C:\\Elsewhere\\");
  ASSERT_EQ(folder_of("c"), "C:\\Elsewhere\\");
  editor->drop(b, item_of("c"));
  EXPECT_EQ(project().tree().size(), nodes);
  EXPECT_NE(folder_item("%install path%\\A\\B\\"), kNoItem);
  EXPECT_EQ(folder_of("g"), "%install path%\\A\\B\\");
  editor->drop(item_of("g"), item_of("c"));
  EXPECT_EQ(folder_of("g"), "%custom path%\\");

  // The clipboard forgets a removed item, and every item on New.
  editor->select(item_of("f"));
  key(TreeKey::cut);
  editor->remove();
  EXPECT_EQ(editor->clipboard_item(), kNoItem);
  editor->select(b);
  key(TreeKey::copy);
  editor->new_project();
  EXPECT_EQ(editor->clipboard_item(), kNoItem);
}

TEST_F(MovesTest, DropsRenameOnTheirOwnFolderAndCarryTheUninstaller) {
  // A file dropped beside itself becomes "copy of" it, once.
  editor->drop(item_of("f"), a);
  EXPECT_EQ(file_slot("f"), kNoSlot);
  EXPECT_EQ(folder_of("copy of f"), "%install path%\\A\\");
  // The uninstaller dragged into a sub-folder stays the uninstaller.
  editor->set_setting(SettingId::uninstaller, "on");
  editor->drop(item_of("Uninstall.exe"), folder_item("%install path%\\A\\B\\"));
  EXPECT_EQ(folder_of("Uninstall.exe"), "%install path%\\A\\B\\");
  EXPECT_EQ(project().uninstaller_item(), item_of("Uninstall.exe"));
  EXPECT_TRUE((editor->setting(SettingId::uninstaller) == "on"));
}

TEST_F(MovesTest, MoveAllOutEmptiesTheFolderIntoItsParent) {
  ASSERT_EQ(file_slot("g"), 0);
  editor->select(a);
  editor->context_command(0xFFFA);
  EXPECT_NE(folder_item("%install path%\\A\\"), kNoItem);
  EXPECT_TRUE(project().tree().children(a).empty());
  // g's slot (0) comes before its folder's (3): it goes straight up; B
  // follows, empty.
  EXPECT_EQ(folder_of("f"), "%install path%\\");
  EXPECT_EQ(folder_of("g"), "%install path%\\");
  EXPECT_NE(folder_item("%install path%\\B\\"), kNoItem);
  EXPECT_EQ(folder_item("%install path%\\A\\B\\"), kNoItem);
}

TEST_F(MovesTest, ContextMenuAndFolderPropertiesText) {
  std::string big(1048576, 'x');
  box.write("src/big1", big);
  box.write("src/big2", big);
  editor->select(c);
  prompter.files = {box.root() + "/src/big1", box.root() + "/src/big2"};
  editor->add_file();
  editor->add_file();
  auto captions = [&](project::TreeItem item) {
    editor->select(item);
    std::vector<std::string> out;
    for (const auto& entry : editor->context_menu()) out.push_back(std::string(entry.separator_before ? "-" : "") + entry.caption);
    return out;
  };
  EXPECT_EQ(captions(c), (std::vector<std::string>{"Cut ( ctrl + x )", "Copy ( ctrl + c )",
                                                    "Move all files out of this folder", "-Folder properties"}));
  // A root's menu starts with its one entry, no separator above it.
  EXPECT_EQ(captions(project().install_root()), std::vector<std::string>{"Folder properties"});
  editor->select(c);
  EXPECT_EQ(editor->folder_properties(),
            "Folder name: C\r\nFolder path: %install path%\\C\\\r\n\r\nFiles in folder tree: 3\r\n"
            "Subfolders: 0\r\nTotal folder size: 2.000001 MB");
  editor->select(project().custom_root());
  EXPECT_EQ(editor->folder_properties(),
            "Folder name: %custom path%\r\nFolder path: %custom path%\\\r\n\r\nFiles in folder tree: 0\r\n"
            "Subfolders: 0\r\nTotal folder size: 0.000000 MB");
}

TEST_F(EditorTest, MacrosDialogAddsListsShowsAndRemoves) {
  using namespace macro_control;
  auto dialog = editor->macros_dialog();
  dialog->initialise();
  EXPECT_EQ(dialog->title(), "Quillset - Macros");
  EXPECT_FALSE(dialog->control(kRemoveCancel).enabled);
  auto enabled = [&] {
    std::string s;
    for (int id : {kRootKey, kKey, kValueName, kRegistry, kText, kTextValue, kRemoveCancel, kName}) s += dialog->control(id).enabled ? '1' : '0';
    return s;
  };
  dialog->click(kNewOk);
  EXPECT_EQ(dialog->control(kNewOk).text + "/" + dialog->control(kRemoveCancel).text, "OK/Cancel");
  EXPECT_EQ(enabled(), "11111011");
  EXPECT_TRUE(dialog->control(kRegistry).checked);
  // The two name checks; adding goes on.
  for (auto [name, message] : {std::pair<const char*, const char*>{"", text::kMacroWithoutName}, {"b%", text::kMacroWithoutPercent}}) {
    dialog->set_text(kName, name);
    dialog->click(kNewOk);
    EXPECT_EQ(prompter.last_message(), message);
    EXPECT_TRUE(dialog->adding());
  }
  // A registry macro %b%, then a text macro %a% without its closing sign.
  dialog->set_text(kName, "%b%");
  dialog->set_text(kRootKey, "HKEY_USERS");
  dialog->set_text(kKey, "Soft\\Key");
  dialog->set_text(kValueName, "Val");
  dialog->click(kNewOk);
  EXPECT_EQ(enabled(), "00000010");
  dialog->click(kNewOk);
  dialog->click(kText);
  EXPECT_EQ(enabled(), "00011111");
  dialog->set_text(kName, "%a");
  dialog->set_text(kTextValue, "hello");
  dialog->click(kNewOk);
  ASSERT_EQ(dialog->list().size(), 2u);
  EXPECT_EQ(dialog->list()[0].name, "%a");
  EXPECT_EQ(dialog->list()[0].slot, 1);
  EXPECT_EQ(project().macro_count(), 2);
  // Showing each kind.
  dialog->select(1);
  EXPECT_EQ(dialog->control(kRootKey).text + "|" + dialog->control(kKey).text + "|" + dialog->control(kValueName).text, "HKEY_USERS|Soft\\Key|Val");
  EXPECT_TRUE(dialog->control(kRegistry).checked);
  dialog->select(0);
  EXPECT_EQ(dialog->control(kTextValue).text + "|" + dialog->control(kKey).text, "hello|");
  EXPECT_TRUE(dialog->control(kText).checked);
  // Removing %a% leaves %b%; removing the last sets the count to 0.
  dialog->click(kRemoveCancel);
  EXPECT_EQ(project().macro(1).name, "");
  EXPECT_EQ(project().macro(0).name, "%b%");
  dialog->select(0);
  dialog->click(kRemoveCancel);
  EXPECT_EQ(project().macro_count(), 0);
  EXPECT_FALSE(dialog->control(kRemoveCancel).enabled);
  // The close box ends adding mode.
  dialog->click(kNewOk);
  dialog->close();
  EXPECT_FALSE(dialog->adding());
  EXPECT_EQ(dialog->control(kNewOk).text, "New");
}

TEST_F(EditorTest, MacrosDialogRefusesAFullTable) {
  // Folders, no files, no pictures, a full macro table, the rest empty.
  std::string text = "%install path%\\\r\n%custom path%\\\r\n|\r\n";
  for (int i = 0; i < 3 + 6; ++i) text += "|\r\n";
  for (int i = 0; i < project::kMacroSlots; ++i) text += "%m" + std::to_string(i) + "%\r\nv\r\n\r\n\r\n";
  for (int i = 0; i < 4 + 13; ++i) text += "|\r\n";
  prompter.files = {box.write("macros.qsp", text)};
  editor->open_project();
  ASSERT_EQ(project().macro_count(), project::kMacroSlots);
  auto dialog = editor->macros_dialog();
  dialog->initialise();
  EXPECT_EQ(dialog->list().size(), static_cast<std::size_t>(project::kMacroSlots));
  dialog->click(macro_control::kNewOk);
  dialog->set_text(macro_control::kName, "%more%");
  dialog->click(macro_control::kNewOk);
  EXPECT_EQ(prompter.last_message(), text::kMacroTableFull);
  EXPECT_EQ(project().macro_count(), project::kMacroSlots);
  EXPECT_EQ(dialog->list().size(), static_cast<std::size_t>(project::kMacroSlots));
}

}  // namespace
}  // namespace quill::editor
