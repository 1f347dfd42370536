// The project file: exact layout, round trips and damaged files.
#include "builder/project/project_file.h"

#include <gtest/gtest.h>

#include <atomic>

#include "builder/project/backup.h"
#include "sandbox.h"
#include "tests/support/fault_os.h"

namespace quill::project {
namespace {

using quill::testing::Sandbox;

std::string lines(std::initializer_list<std::string> list) {
  std::string out;
  for (const auto& l : list) out += l + "\r\n";
  return out;
}

std::string repeat(const std::string& line, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += line + "\r\n";
  return out;
}

// A project that uses every section.
void fill(Project& p) {
  p.ensure_folder_path("%install path%\\Docs\\Images\\");
  TreeItem docs = p.tree().parent(p.ensure_folder_path("%install path%\\Docs\\Images\\"));
  p.add_file("/src/a.txt", "a.txt", kInstallRootPath, p.install_root());
  p.add_file("/src/b.txt", "b.txt", "%install path%\\Docs\\", docs);
  p.add_file("/src/c.dll", "c.dll", "%windir%\\system32\\", p.custom_root());
  p.shortcut(1, kStartMenu) = {"My Menu", "B", "%install path%\\Docs\\b.txt", kStartMenu};
  p.add_image("/pics/side.jpg", 3, false, 0, 0, 0);
  p.add_image("/pics/back.jpg", 6, true, 2, 10, 20);
  p.add_macro({"%a%", "A", "", ""});
  p.add_macro({"%reg%", "HKEY_LOCAL_MACHINE", "SOFTWARE\\X", "Path"});
  p.add_macro({"%empty%", "", "", ""});
  p.set_include_uninstaller(true, "/builder/uninst.dat");
  Settings& s = p.settings();
  s.welcome_file = "/texts/welcome.txt";
  s.output_path = "/out/setup.exe";
  s.eoi_message = "Restart now?";
  s.message_box_ok = false;
  s.try_path_first = true;
  s.use_background_window = true;
  p.fullscreen().font = {"Times New Roman", "24", "400", "1", "0", "1", "238"};
  p.fullscreen().background_colour = make_colour(1, 2, 3);
  p.fullscreen().alignment = 1;
  p.window_settings().progress_style = 1;
}

TEST(ProjectFile, ResetProjectSavesExactly) {
  Project p;
  std::string expected = lines({"%install path%\\", "%custom path%\\", "|"}) + repeat("|", 3) +
                         repeat("|", 6) + repeat("|", 4) + repeat("|", 13) +
                         lines({"", "", "Software Name", "%name% Setup", "%program files%\\%name%", "",
                                "false", "0", "false", "OK", "false", "true", "false", "true", "%name%",
                                "640", "480", "", "", "32768", "%a registry key macro%", "false",
                                "Arial", "36", "700", "0", "0", "0", "0", "255", "255", "255", "0", "0",
                                "0", "0", "0", "255", "0", "0", "0", "0", "true", "4"});
  EXPECT_EQ(project_text(p), expected);
}

// Lines 45 to 47 are optional: a file that ends after line 44 (every file
// saved before they existed) loads complete, as a machine-wide install with
// the current user's shortcuts, and saves back byte for byte; a project
// made from scratch writes them, for all users' shortcuts.
TEST(ProjectFile, TheScopeLinesAreOptionalAndANewProjectWritesThem) {
  Sandbox box;
  const std::string path = box.root() + "/p.qsp";
  Project old;
  fill(old);
  const std::string before = project_text(old);
  box.write("p.qsp", before);
  Project q;
  q.settings().install_scope = package::Scope::user;
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_EQ(q.settings().install_scope, package::Scope::machine);
  EXPECT_EQ(q.settings().architecture, Architecture::x86);
  EXPECT_EQ(q.settings().shortcuts_for, package::ShortcutFolders::current_user);
  EXPECT_EQ(project_text(q), before);

  Project fresh;
  new_project_settings(fresh.settings());
  const std::string text = project_text(fresh);
  box.write("p.qsp", text);
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_EQ(q.settings().shortcuts_for, package::ShortcutFolders::all_users);
  EXPECT_EQ(project_text(q), text);
  // A new project compresses with LZMA: the listing section says so.
  const std::string end =
      "\r\n4\r\n0\r\n0\r\n0\r\nen,de,fr,es,it,pt-BR,nl,pl,ru,ja,zh-CN,ko\r\n[package listing]\r\n\r\n\r\n\r\nlzma\r\n|\r\n";
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
  EXPECT_EQ(q.settings().compression, package::Compression::lzma);
}

// The settings for deployment tools travel in a section of their own after
// the language variants: present only when one is set, read back whole,
// and every truncation of it loads what it holds.
TEST(ProjectFile, TheListingSectionRoundTripsAfterTheLanguageSection) {
  Sandbox box;
  const std::string path = box.root() + "/p.qsp";
  Project p;
  fill(p);
  p.settings().language_texts["de"].title = "Titel";
  p.settings().package_identifier = "Vendor.App";
  p.settings().short_description = "Does things.";
  const std::string text = project_text(p);
  const std::string tail = lines({"[language texts]", "de", "Titel", "", "", "", "", "|", "[package listing]",
                                  "Vendor.App", "", "Does things.", "", "|"});
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  for (std::size_t cut : {text.size(), text.size() - 3, text.size() - tail.size() + 40}) {
    box.write("p.qsp", text.substr(0, cut));
    Project q;
    ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
    EXPECT_EQ(q.settings().package_identifier, cut > text.size() - 20 ? "Vendor.App" : "") << cut;
    if (cut == text.size()) {
      EXPECT_EQ(project_text(q), text);
    }
  }
}

TEST(ProjectFile, SaveLoadSaveIsByteIdentical) {
  Sandbox box;
  Project p;
  fill(p);
  std::string path = box.root() + "/one.qsp";
  ASSERT_TRUE(save_project(p, box.os(), path, box.root() + "/ProjectBackup.qspbak"));
  EXPECT_EQ(p.current_path(), path);
  EXPECT_EQ(p.window_title(), "Quillset - " + path);

  Project q;
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_EQ(project_text(q), Sandbox::read(path));
  EXPECT_EQ(q.macro(2).name, "%empty%");
  EXPECT_EQ(q.macro(2).value, "");
  EXPECT_EQ(q.fullscreen().font.charset, "238");
  EXPECT_EQ(q.file(q.find_file_by_tree_item(q.uninstaller_item())).name, "Uninstall.exe");
  EXPECT_EQ(q.shortcuts(1)[kStartMenu].name, "B");
  // The file under Docs hangs below the Docs node again.
  EXPECT_EQ(q.tree().label(q.tree().parent(q.file(1).item)), "Docs");
}

TEST(ProjectFile, SavedSlotNumbersFollowCompaction) {
  Project p;
  for (int i = 0; i < 6; ++i) p.add_file("/s/" + std::to_string(i), "f" + std::to_string(i), kInstallRootPath, p.install_root());
  p.shortcut(5, kDesktop) = {"", "Five", "t", kDesktop};
  p.set_uninstaller_item(p.file(5).item);
  p.settings().include_uninstaller = true;
  for (int slot : {1, 3, 4}) p.remove_file_record(slot);
  std::string text = project_text(p);
  EXPECT_NE(text.find(lines({"/s/0", "f0", "%install path%\\", "/s/5", "f5", "%install path%\\", "/s/2"})),
            std::string::npos);
  // The stored target "t" is stale: a saved target is the file as it is now.
  EXPECT_NE(text.find(lines({"|", "1", "", "Five", "%install path%\\f5", "0"})), std::string::npos);
  EXPECT_NE(text.find(lines({"", "", "1", "%a registry key macro%"})), std::string::npos);  // line 20
}

TEST(ProjectFile, RenderingWithoutCompactingWritesWhatASaveWrites) {
  Project p;
  for (int i = 0; i < 8; ++i) p.add_file("/s/" + std::to_string(i), "f" + std::to_string(i), kInstallRootPath, p.install_root());
  p.shortcut(6, kQuickLaunch) = {"", "Six", "", kQuickLaunch};
  p.set_uninstaller_item(p.file(7).item);
  p.settings().include_uninstaller = true;
  for (int slot : {1, 2, 4}) p.remove_file_record(slot);
  std::string rendered = render_project(p);
  EXPECT_TRUE(p.file_in_use(7));  // nothing moved
  Project copy = p;
  EXPECT_EQ(rendered, project_text(copy));
}

TEST(ProjectFile, LoadPlacesUnknownTargetFoldersUnderTheCustomRoot) {
  Sandbox box;
  Project p;
  p.add_file("/s/x", "x.txt", "%install path%\\Gone\\", p.install_root());
  p.add_file_record("/s/y", "dup.txt", kInstallRootPath, kNoItem);
  p.add_file_record("/s/z", "dup.txt", kInstallRootPath, kNoItem);
  std::string path = box.root() + "/p.qsp";
  save_project(p, box.os(), path, "");
  Project q;
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_EQ(q.file(0).target_folder, "%install path%\\Gone\\");
  EXPECT_EQ(q.tree().parent(q.file(0).item), q.custom_root());
  EXPECT_EQ(q.file(1).name, "dup.txt");
  EXPECT_EQ(q.file(2).name, "copy of dup.txt");
}

TEST(ProjectFile, BackupPathLeavesCurrentPathAlone) {
  Sandbox box;
  std::string backup = backup_path_for(box.root() + "/dist/quillset-build");
  EXPECT_EQ(backup, box.root() + "/dist/ProjectBackup.qspbak");
  EXPECT_EQ(backup_path_for("C:\\Tools\\Quillset.exe"), "C:\\Tools\\ProjectBackup.qspbak");
  std::filesystem::create_directories(box.root() + "/dist");
  Project p;
  ASSERT_TRUE(save_project(p, box.os(), backup, backup));
  EXPECT_EQ(p.current_path(), "");
  ASSERT_EQ(load_project(p, box.os(), backup, backup), LoadStatus::loaded);
  EXPECT_EQ(p.window_title(), "Quillset - New Unsaved Project");
}

TEST(ProjectBackup, SavesAtOnceThenEveryIntervalUntilStopped) {
  std::atomic<int> saves{0};
  {
    BackupThread backup([&] { ++saves; }, std::chrono::milliseconds(20));
    while (saves.load() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    backup.stop();
    int after_stop = saves.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(saves.load(), after_stop);
  }
  // A long interval does not hold up the end.
  auto start = std::chrono::steady_clock::now();
  { BackupThread backup([&] { ++saves; }); }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(ProjectFile, FailedWritesAndReadsAreReported) {
  Sandbox box;
  Project p;
  fill(p);
  std::string path = box.root() + "/p.qsp";
  os::FaultOs faulty(box.os());
  faulty.arm(os::FaultOs::kWrite, 1, os::Error::disk_full);
  EXPECT_FALSE(save_project(p, faulty, path, ""));
  faulty.disarm();
  ASSERT_TRUE(save_project(p, faulty, path, ""));
  // A read that fails part-way looks like a file that ends early.
  faulty.arm(os::FaultOs::kRead, 1, os::Error::io);
  Project q;
  EXPECT_EQ(load_project(q, faulty, path, ""), LoadStatus::truncated);
  EXPECT_EQ(q.folder(0).path, kInstallRootPath);
}

TEST(ProjectFile, UnreadableFileLeavesTheProjectUntouched) {
  Sandbox box;
  Project p;
  p.add_file("/s/keep", "keep", kInstallRootPath, p.install_root());
  EXPECT_EQ(load_project(p, box.os(), box.root() + "/missing.qsp", ""), LoadStatus::unreadable);
  EXPECT_EQ(p.file_count(), 1);
}

// Every prefix of a saved project loads without harm into a project that
// still works: it takes new files and saves again.
TEST(ProjectFile, EveryTruncationLoadsIntoAUsableProject) {
  Sandbox box;
  Project p;
  fill(p);
  std::string text = project_text(p);
  std::string path = box.root() + "/cut.qsp";
  for (std::size_t cut = 0; cut < text.size(); cut += 7) {
    box.write("cut.qsp", text.substr(0, cut));
    Project q;
    ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::truncated) << "cut at " << cut;
    ASSERT_NE(q.add_file("/s/new", "new", kInstallRootPath, q.install_root()), kNoItem);
    std::string again = project_text(q);
    ASSERT_NE(again.find("new\r\n"), std::string::npos);
  }
}

TEST(ProjectFile, OutOfRangeNumbersAndLongLinesAreContained) {
  Sandbox box;
  std::string long_line(5000, 'x');
  std::string text = lines({"%install path%\\", "%custom path%\\", "%install path%\\" + long_line + "\\", "|"}) +
                     lines({"/s/a", long_line, "%install path%\\"}) + repeat("|", 3) + repeat("|", 6) +
                     repeat("|", 4) +
                     lines({"32768", "m", "n", "t", "0", "", "", "", "0", "", "", "", "0"}) +
                     lines({"-5", "m", "n", "t", "0", "", "", "", "0", "", "", "", "0"}) +
                     lines({"7", "m", "n", "t", "0", "", "", "", "0", "", "", "", "0"}) +
                     lines({"0", "m", "Ok", "t", "99999999999", "", "", "", "0", "", "", "", "0"}) +
                     repeat("|", 13) +
                     lines({"", "", "N", "T", "D", "", "false", "7", "true", "OK", "false", "true", "false",
                            "true", "%name%", "640", "480", "", "", "40000", "", "false", "Arial", "36",
                            "700", "0", "0", "0", "0", "999", "-1", "12", "0", "0", "0", "0", "0", "255",
                            "0", "0", "0", "9", "true", "77"});
  box.write("odd.qsp", text);
  Project q;
  ASSERT_EQ(load_project(q, box.os(), box.root() + "/odd.qsp", ""), LoadStatus::loaded);
  EXPECT_EQ(q.file(0).name.size(), 259u);
  EXPECT_EQ(q.shortcuts(0)[0].name, "Ok");
  EXPECT_FALSE(q.file_in_use(7));
  EXPECT_EQ(q.shortcuts(7)[0].name, "");  // no orphan waiting in a free slot
  EXPECT_EQ(q.uninstaller_item(), kNoItem);
  EXPECT_TRUE(q.settings().include_uninstaller);
  EXPECT_EQ(q.window_settings().progress_style, 0);
  EXPECT_EQ(q.fullscreen().text_colour, make_colour(255, 0, 12));
  EXPECT_EQ(q.fullscreen().alignment, 0);
  EXPECT_EQ(q.fullscreen().shadow_offset, 10);
  // Saved lines never exceed what a reader keeps, so the result loads again.
  std::string saved = project_text(q);
  box.write("again.qsp", saved);
  Project r;
  ASSERT_EQ(load_project(r, box.os(), box.root() + "/again.qsp", ""), LoadStatus::loaded);
  EXPECT_EQ(project_text(r), saved);
}

TEST(ProjectFile, ValuesWithLineEndsCannotBreakTheSections) {
  Sandbox box;
  Project p;
  p.settings().eoi_message = "first line\r\nsecond line";
  p.add_macro({"%m%", "a\nb", "", ""});
  std::string path = box.root() + "/p.qsp";
  save_project(p, box.os(), path, "");
  Project q;
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_EQ(q.settings().eoi_message, "first line");
  EXPECT_EQ(q.macro(0).value, "a");
  EXPECT_EQ(q.settings().program_name, "Software Name");

  // A CR without an LF is part of its value and survives save/load cycles.
  p = Project();
  p.add_macro({"\r", "a\rb", "", "c\r"});
  p.settings().eoi_message = "\r\r";
  std::string first;
  for (int cycle = 0; cycle < 3; ++cycle) {
    ASSERT_TRUE(save_project(p, box.os(), path, ""));
    if (cycle == 0) first = Sandbox::read(path);
    EXPECT_EQ(Sandbox::read(path), first) << cycle;
    p = Project();
    ASSERT_EQ(load_project(p, box.os(), path, ""), LoadStatus::loaded);
    ASSERT_EQ(p.macro_count(), 1) << cycle;
    EXPECT_EQ(p.macro(0).name, "\r");
    EXPECT_EQ(p.macro(0).value, "a\rb");
    EXPECT_EQ(p.macro(0).value_name, "c\r");
    EXPECT_EQ(p.settings().eoi_message, "\r\r");
  }
}

TEST(ProjectFile, LargeProjectRoundTrips) {
  Sandbox box;
  Project p;
  for (int i = 0; i < kFileSlots; ++i) {
    std::string folder = "%install path%\\d" + std::to_string(i % 100) + "\\";
    TreeItem parent = p.ensure_folder_path(folder);
    p.add_file("/s/" + std::to_string(i), "f" + std::to_string(i), folder, parent);
  }
  std::string path = box.root() + "/big.qsp";
  ASSERT_TRUE(save_project(p, box.os(), path, ""));
  Project q;
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_EQ(q.file_count(), kFileSlots);
  EXPECT_EQ(project_text(q), Sandbox::read(path));
}

}  // namespace
}  // namespace quill::project
