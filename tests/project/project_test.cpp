// The project tables and their record operations.
#include "builder/project/project.h"
#include "common/limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace quill::project {
namespace {

TEST(ProjectReset, HoldsOnlyTheTwoRootsAndDefaults) {
  Project p;
  p.settings().program_name = "Changed";
  p.add_file("/src/a", "a", kInstallRootPath, p.install_root());
  p.add_image("/pic.jpg", 3, false, 0, 0, 0);
  p.add_macro({"%m%", "v", "", ""});
  p.ensure_folder_path("%install path%\\A\\");
  p.reset_project();

  EXPECT_EQ(p.tree().size(), 2u);
  auto top = p.tree().children(kNoItem);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(p.tree().label(top[0]), "%custom path%");
  EXPECT_EQ(p.tree().label(top[1]), "%install path%");
  EXPECT_EQ(p.folder(0).path, "%install path%\\");
  EXPECT_EQ(p.folder(0).item, top[1]);
  EXPECT_EQ(p.folder(1).path, "%custom path%\\");
  EXPECT_EQ(p.folder(2).path, "");
  EXPECT_EQ(p.file_count(), 0);
  EXPECT_EQ(p.image(0).path, "");
  EXPECT_EQ(p.macro_count(), 0);
  EXPECT_EQ(p.settings().program_name, "Software Name");
  EXPECT_EQ(p.settings().title, "%name% Setup");
  EXPECT_EQ(p.settings().default_folder, "%program files%\\%name%");
  EXPECT_EQ(p.fullscreen().background_colour, 0xFF0000u);
  EXPECT_EQ(p.window_title(), "Quillset - New Unsaved Project");
}

TEST(ProjectFiles, AddFileRenamesWithCopyOfWhileAddFileRecordDoesNot) {
  Project p;
  for (int i = 0; i < 3; ++i) p.add_file("/src/readme.txt", "readme.txt", kInstallRootPath, p.install_root());
  EXPECT_NE(p.find_file_by_name_and_folder("readme.txt", kInstallRootPath), kNoSlot);
  EXPECT_NE(p.find_file_by_name_and_folder("copy of readme.txt", kInstallRootPath), kNoSlot);
  EXPECT_NE(p.find_file_by_name_and_folder("copy of copy of readme.txt", kInstallRootPath), kNoSlot);
  // The same name in another folder is no clash; case matters.
  p.add_file("/src/readme.txt", "readme.txt", "%install path%\\Docs\\", p.install_root());
  p.add_file("/src/readme.txt", "README.TXT", kInstallRootPath, p.install_root());
  EXPECT_EQ(p.file(3).name, "readme.txt");
  EXPECT_EQ(p.file(4).name, "README.TXT");

  // Many copies of one name: each name unique and within a line, "copy N
  // of" once the prefixes would not fit; a copy name that leaves is the
  // next one given again.
  Project many;
  std::set<std::string> names;
  for (int i = 0; i < 3000; ++i) many.add_file("/src/a", "a.txt", kInstallRootPath, many.install_root());
  for (int slot = 0; slot < 3000; ++slot) {
    EXPECT_LE(many.file(slot).name.size(), kMaxPathLength);
    names.insert(many.file(slot).name);
  }
  EXPECT_EQ(names.size(), 3000u);
  EXPECT_EQ(many.file(2999).name, "copy 2999 of a.txt");
  for (const char* gone : {"copy 40 of a.txt", "copy of a.txt"}) {
    many.remove_file_record(many.find_file_by_name_and_folder(gone, kInstallRootPath));
    TreeItem again = many.add_file("/src/a", "a.txt", kInstallRootPath, many.install_root());
    EXPECT_EQ(many.tree().label(again), gone);
  }

  Project q;
  for (int i = 0; i < 3; ++i) q.add_file_record("/src/readme.txt", "readme.txt", kInstallRootPath, kNoItem);
  for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(q.file(slot).name, "readme.txt");
  // The first match wins, and the next one takes over when it goes.
  EXPECT_EQ(q.find_file_by_name_and_folder("readme.txt", kInstallRootPath), 0);
  q.remove_file_record(0);
  EXPECT_EQ(q.find_file_by_name_and_folder("readme.txt", kInstallRootPath), 1);
  // A freed slot is the next one taken.
  EXPECT_EQ(q.add_file_record("/src/x", "x", kInstallRootPath, kNoItem), 0);
}

TEST(ProjectFiles, TableStopsAtItsCapacity) {
  Project p;
  for (int i = 0; i < kFileSlots; ++i) {
    ASSERT_NE(p.add_file_record("/s", "f" + std::to_string(i), kInstallRootPath, kNoItem), kNoSlot);
  }
  EXPECT_EQ(p.add_file_record("/s", "one more", kInstallRootPath, kNoItem), kNoSlot);
  EXPECT_EQ(p.add_file("/s", "one more", kInstallRootPath, p.install_root()), kNoItem);
  EXPECT_EQ(p.tree().size(), 2u);  // no node left behind for the refused file
  EXPECT_EQ(p.find_file_by_name_and_folder("f32767", kInstallRootPath), 32767);
  // An empty source would mark the slot free, so it is refused.
  Project q;
  EXPECT_EQ(q.add_file_record("", "x", kInstallRootPath, kNoItem), kNoSlot);
}

TEST(ProjectFiles, CompactionMovesRecordsDownWithTheirShortcuts) {
  Project p;
  TreeItem items[6];
  for (int i = 0; i < 6; ++i) {
    items[i] = p.add_file("/src/" + std::to_string(i), "f" + std::to_string(i), kInstallRootPath,
                          p.install_root());
  }
  p.shortcut(5, kQuickLaunch) = {"Menu", "Five", "%install path%\\f5", kQuickLaunch};
  p.shortcut(2, kDesktop) = {"", "Two", "%install path%\\f2", kDesktop};
  for (int slot : {1, 3, 4}) p.remove_file_record(slot);  // files in 0, 2 and 5

  p.compact_file_table();
  EXPECT_EQ(p.file_count(), 3);
  EXPECT_EQ(p.file(0).name, "f0");
  EXPECT_EQ(p.file(1).name, "f5");
  EXPECT_EQ(p.file(2).name, "f2");
  EXPECT_FALSE(p.file_in_use(5));
  EXPECT_EQ(p.shortcuts(1)[kQuickLaunch].name, "Five");
  EXPECT_EQ(p.shortcuts(1)[kQuickLaunch].location, kQuickLaunch);
  EXPECT_EQ(p.shortcuts(2)[kDesktop].name, "Two");
  EXPECT_EQ(p.shortcuts(5)[kQuickLaunch].name, "");
  // The indexes follow the move.
  EXPECT_EQ(p.find_file_by_tree_item(items[5]), 1);
  EXPECT_EQ(p.find_file_by_name_and_folder("f5", kInstallRootPath), 1);
  EXPECT_EQ(p.add_file_record("/src/new", "new", kInstallRootPath, kNoItem), 3);
}

TEST(ProjectFiles, AddFileTakesOverThePreviousSlotsShortcuts) {
  Project p;
  p.add_file("/src/a", "a", kInstallRootPath, p.install_root());
  p.shortcut(0, kStartMenu) = {"Menu", "A", "%install path%\\a", kStartMenu};
  // A move: the old record stays until the new one is in place.
  TreeItem moved = p.add_file("/src/a", "a", "%custom path%\\", p.custom_root(), 0);
  int slot = p.find_file_by_tree_item(moved);
  EXPECT_EQ(slot, 1);
  EXPECT_EQ(p.shortcuts(1)[kStartMenu].name, "A");
  EXPECT_EQ(p.shortcuts(0)[kStartMenu].name, "");
}

TEST(ProjectFolders, EnsureFolderPathCreatesEachMissingFolderOnce) {
  Project p;
  TreeItem b = p.ensure_folder_path("%install path%\\A\\B\\");
  EXPECT_EQ(p.tree().label(b), "B");
  TreeItem a = p.tree().parent(b);
  EXPECT_EQ(p.tree().label(a), "A");
  EXPECT_EQ(p.tree().parent(a), p.install_root());
  EXPECT_EQ(p.folder(2).path, "%install path%\\A\\");
  EXPECT_EQ(p.folder(3).path, "%install path%\\A\\B\\");
  EXPECT_EQ(p.find_folder_by_tree_item(b), 3);

  std::size_t nodes = p.tree().size();
  EXPECT_EQ(p.ensure_folder_path("%install path%\\A\\B\\"), b);
  EXPECT_EQ(p.tree().size(), nodes);
  // Roots and short paths answer the root.
  EXPECT_EQ(p.ensure_folder_path("%install path%\\"), p.install_root());
  EXPECT_EQ(p.ensure_folder_path("%custom path%\\"), p.install_root());
  EXPECT_EQ(p.ensure_folder_path(""), p.install_root());
  // A path without its final "\" stops at the last complete folder.
  EXPECT_EQ(p.ensure_folder_path("%install path%\\A\\B\\C"), b);
}

TEST(ProjectFolders, FolderNameOfPath) {
  EXPECT_EQ(folder_name_of_path("%install path%\\Docs\\Images\\"), "Images");
  EXPECT_EQ(folder_name_of_path("%install path%\\"), "%install path%");
  EXPECT_EQ(folder_name_of_path("\\"), "");
  EXPECT_EQ(folder_name_of_path("no separator"), "");
}

TEST(ProjectTree, ChildrenSortCaseInsensitivelyAndNewEqualsGoLast) {
  Tree tree;
  TreeItem root = tree.insert(kNoItem, "root", NodeKind::root);
  TreeItem b = tree.insert(root, "b", NodeKind::file);
  TreeItem a = tree.insert(root, "A", NodeKind::file);
  TreeItem c = tree.insert(root, "C", NodeKind::folder);
  TreeItem b2 = tree.insert(root, "B", NodeKind::file);
  EXPECT_EQ(tree.children(root), (std::vector<TreeItem>{a, b, b2, c}));
  EXPECT_EQ(tree.previous_sibling(b2), b);
  // A renamed node stays where it was, as in a tree view after a label edit.
  tree.set_label(a, "z");
  EXPECT_EQ(tree.label(a), "z");
  EXPECT_EQ(tree.children(root), (std::vector<TreeItem>{a, b, b2, c}));
  TreeItem deep = tree.insert(c, "deep", NodeKind::file);
  tree.remove(c);
  EXPECT_FALSE(tree.contains(deep));
  EXPECT_EQ(tree.insert(c, "orphan", NodeKind::file), kNoItem);
}

class LogObserver : public TreeObserver {
 public:
  void node_inserted(TreeItem item) override { log += "+" + std::to_string(item); }
  void node_removed(TreeItem item) override { log += "-" + std::to_string(item); }
  void tree_cleared() override { log += "clear"; }
  void node_label_changed(TreeItem item) override { log += "~" + std::to_string(item); }
  std::string log;
};

TEST(ProjectTree, ObserverSeesChangesButNotThoseOfACopy) {
  Project p;
  LogObserver view;
  p.tree().set_observer(&view);
  TreeItem folder = p.insert_folder(p.install_root(), "F", "%install path%\\F\\");
  TreeItem file = p.add_file("/s", "a", "%install path%\\F\\", folder);
  p.tree().set_label(file, "b");
  p.tree().remove(folder);
  EXPECT_EQ(view.log, "+" + std::to_string(folder) + "+" + std::to_string(file) + "~" + std::to_string(file) +
                          "-" + std::to_string(file) + "-" + std::to_string(folder));
  view.log.clear();
  Project snapshot = p;
  snapshot.add_file("/s", "b", kInstallRootPath, snapshot.install_root());
  EXPECT_EQ(view.log, "");
  // Assigning a project replays the new tree to the view, parents first.
  p = snapshot;
  EXPECT_EQ(view.log.substr(0, 5), "clear");
  EXPECT_EQ(std::count(view.log.begin(), view.log.end(), '+'), 3);
}

TEST(ProjectMacros, CountFollowsAddAndRemove) {
  Project p;
  int only = p.add_macro({"%a%", "A", "", ""});
  EXPECT_EQ(p.macro_count(), 1);
  p.remove_macro(only);
  EXPECT_EQ(p.macro_count(), 0);

  int first = p.add_macro({"%a%", "A", "", ""});
  p.add_macro({"%b%", "B", "", ""});
  p.remove_macro(first);
  EXPECT_EQ(p.macro_count(), 2);
  // The freed slot is reused; every macro stays below the count.
  EXPECT_EQ(p.add_macro({"%c%", "C", "", ""}), first);
  EXPECT_GE(p.macro_count(), 2);
}

TEST(ProjectUninstaller, IncludeAddsAndRemovesTheRecord) {
  Project p;
  p.set_include_uninstaller(true, "/builder/uninst.dat");
  int slot = p.find_file_by_tree_item(p.uninstaller_item());
  ASSERT_NE(slot, kNoSlot);
  EXPECT_EQ(p.file(slot).name, "Uninstall.exe");
  EXPECT_EQ(p.file(slot).target_folder, "%install path%\\");
  EXPECT_EQ(p.tree().parent(p.uninstaller_item()), p.install_root());
  p.set_include_uninstaller(false, "");
  EXPECT_EQ(p.file_count(), 0);
  EXPECT_EQ(p.uninstaller_item(), kNoItem);
  EXPECT_EQ(p.tree().size(), 2u);
}

}  // namespace
}  // namespace quill::project
