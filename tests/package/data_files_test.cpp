// Installer data file readers and the start-up load.
#include "package/data_files.h"

#include "package_fixture.h"

namespace quill::package {
namespace {

class DataFilesTest : public test::SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    folder_ = os().temp_folder() + kPayloadFolderPrefix + "test\\";
  }
  // The file on disk for the readers of a path, and in memory as the
  // extraction leaves it.
  void put(const std::string& name, const std::string& text) {
    test::write_host_file(host(folder_ + name), text);
    files_.put(name, text);
  }
  std::string folder_;
  DataFiles files_;
};

TEST_F(DataFilesTest, RecordFilesStopAtTerminatorAndDropIt) {
  put("macros.txt",
      "%a%\r\nA\r\n\r\n\r\n%name%\r\nMy Tool\r\n\r\n\r\n////\r\n////\r\n////\r\n////\r\n"
      "%after%\r\nX\r\n\r\n\r\n");
  std::vector<MacroRecord> table = read_macro_records(os(), folder_ + "macros.txt");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].name, "%a%");
  EXPECT_EQ(table[0].value, "A");
  EXPECT_FALSE(table[0].is_registry_macro());
  std::string name;
  ASSERT_TRUE(registered_name(table, &name));
  EXPECT_EQ(name, "My Tool");
}

TEST_F(DataFilesTest, RecordFilesWithoutTerminatorKeepCompleteRecords) {
  put("macros.txt", "%a%\nA\n\n\n%r%\nHKEY_USERS\nkey\nvalue\n%partial%\nP\n");
  std::vector<MacroRecord> table = read_macro_records(os(), folder_ + "macros.txt");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_TRUE(table[1].is_registry_macro());
  EXPECT_EQ(table[1].value_name, "value");
  // No final line end at all.
  put("macros.txt", "%a%\nA\n\n%name%");
  table = read_macro_records(os(), folder_ + "macros.txt");
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].value_name, "%name%");
}

TEST_F(DataFilesTest, LastRecordNamesTheProgramEvenWhenNotName) {
  put("macros.txt", "%name%\nTool\n\n\n%later%\nLater Value\n\n\n////\n////\n////\n////\n");
  std::string name;
  ASSERT_TRUE(registered_name(read_macro_records(os(), folder_ + "macros.txt"), &name));
  EXPECT_EQ(name, "Later Value");
  EXPECT_FALSE(registered_name({}, &name));
}

TEST_F(DataFilesTest, MacroTableHoldsAtMost1023RecordsBesidesTheTerminator) {
  std::string text;
  for (int i = 0; i < 1100; ++i) text += "%m" + std::to_string(i) + "%\nv" + std::to_string(i) + "\n\n\n";
  text += "////\n////\n////\n////\n";
  put("macros.txt", text);
  std::vector<MacroRecord> table = read_macro_records(os(), folder_ + "macros.txt");
  ASSERT_EQ(table.size(), 1023u);
  EXPECT_EQ(table.back().name, "%m1022%");
}

TEST_F(DataFilesTest, ShortcutRecordsAndLocations) {
  put("shortcuts.txt",
      "Tool\nTool\n%install path%\\tool.exe\n1\n"
      "\nDesk\nC:\\x.exe\n0\n"
      "\nOdd\nC:\\y.exe\n7\n"
      "\nNeg\nC:\\z.exe\n-1\n"
      "////\n////\n////\n////\n");
  std::vector<ShortcutRecord> records;
  ASSERT_TRUE(read_shortcut_records(os(), folder_ + "shortcuts.txt", &records));
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].target, "%install path%\\tool.exe");
  EXPECT_EQ(records[0].location, ShortcutLocation::start_menu);
  EXPECT_EQ(records[2].location, ShortcutLocation::none);
  EXPECT_EQ(records[3].location, ShortcutLocation::none);
  ShortcutLocations locations = shortcut_locations(records);
  EXPECT_TRUE(locations.desktop);
  EXPECT_TRUE(locations.start_menu);
  EXPECT_FALSE(locations.quick_launch);

  put("shortcuts.txt", "////\n////\n////\n////\n");
  ASSERT_TRUE(read_shortcut_records(os(), folder_ + "shortcuts.txt", &records));
  EXPECT_TRUE(records.empty());
  EXPECT_FALSE(read_shortcut_records(os(), folder_ + "missing.txt", &records));
}

TEST_F(DataFilesTest, InstallFolders) {
  InstallFolders folders;
  put("def_install.txt", "C:\\Default\n");
  ASSERT_TRUE(read_install_folders(os(), folder_ + "def_install.txt", &folders));
  EXPECT_EQ(folders.initial(), "C:\\Default");
  put("def_install.txt", "C:\\Default\r\nD:\\Preferred\\Missing");
  ASSERT_TRUE(read_install_folders(os(), folder_ + "def_install.txt", &folders));
  EXPECT_EQ(folders.initial(), "D:\\Preferred\\Missing");
  EXPECT_FALSE(read_install_folders(os(), folder_ + "none.txt", &folders));
  EXPECT_EQ(folders.initial(), "");
}

TEST_F(DataFilesTest, OverLongLinesAreCutAndDoNotSpillIntoTheNextLine) {
  put("def_install.txt", std::string(300, 'a') + "\r\n" + "second");
  InstallFolders folders;
  ASSERT_TRUE(read_install_folders(os(), folder_ + "def_install.txt", &folders));
  EXPECT_EQ(folders.default_folder, std::string(259, 'a'));
  EXPECT_EQ(folders.preferred_folder, "second");
}

TEST_F(DataFilesTest, InstallerSettings) {
  InstallerSettings settings;
  put("installer_settings.txt", "1\ntrue");
  ASSERT_TRUE(read_installer_settings(os(), folder_ + "installer_settings.txt", &settings));
  EXPECT_EQ(settings.progress_style, 1);
  EXPECT_TRUE(settings.shrink_during_install);
  put("installer_settings.txt", "5\nTrue");
  ASSERT_TRUE(read_installer_settings(os(), folder_ + "installer_settings.txt", &settings));
  EXPECT_EQ(settings.progress_style, 0);  // out of range reads as the plain bar
  EXPECT_FALSE(settings.shrink_during_install);
  put("installer_settings.txt", "-1\ntx");
  ASSERT_TRUE(read_installer_settings(os(), folder_ + "installer_settings.txt", &settings));
  EXPECT_EQ(settings.progress_style, 0);
  EXPECT_TRUE(settings.shrink_during_install);
}

TEST_F(DataFilesTest, FullscreenSettings) {
  put("fullscreen.txt",
      "Installing My Tool\nwithout\n800\n0\nArial\n24\n700\n1\n0\n1\n0\n37\ntrue\nt\n3\n"
      "255\n128\n0\n1\n2\n3\n300\n-5\n16\n10\n20\n30\n");
  FullscreenSettings s;
  ASSERT_TRUE(read_fullscreen_settings(os(), folder_ + "fullscreen.txt", &s));
  EXPECT_EQ(s.text, "Installing My Tool");
  EXPECT_FALSE(s.title_bar);
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.height, 0);
  EXPECT_EQ(s.font_face, "Arial");
  EXPECT_EQ(s.font_size, 24);
  EXPECT_EQ(s.font_weight, 700);
  EXPECT_TRUE(s.italic);
  EXPECT_FALSE(s.underline);
  EXPECT_TRUE(s.strike_out);
  EXPECT_EQ(s.alignment, 37u);
  EXPECT_TRUE(s.fade);
  EXPECT_TRUE(s.shadow);
  EXPECT_EQ(s.shadow_offset, 3);
  EXPECT_EQ(s.text_colour, 255u + 128u * 256u);
  EXPECT_EQ(s.shadow_colour, 1u + 2u * 256u + 3u * 65536u);
  EXPECT_EQ(s.background_colour, 255u + 0u * 256u + 16u * 65536u);  // clamped parts
  EXPECT_EQ(s.fade_colour, 10u + 20u * 256u + 30u * 65536u);

  put("fullscreen.txt", "Only text");  // short file: the rest reads empty and 0
  ASSERT_TRUE(read_fullscreen_settings(os(), folder_ + "fullscreen.txt", &s));
  EXPECT_TRUE(s.title_bar);
  EXPECT_EQ(s.fade_colour, 0u);
}

TEST_F(DataFilesTest, FileInfoLines) {
  put("fileinfo.txt", "bin\\a.exe|C:\\App\nno bar here\n\\lead.txt|C:\\App\\\n////\nafter|x\n");
  std::vector<FileInfoLine> lines;
  ASSERT_TRUE(read_file_info(os(), folder_ + "fileinfo.txt", &lines));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].entry_name, "bin\\a.exe");
  EXPECT_EQ(lines[0].destination, "C:\\App");
  EXPECT_EQ(lines[1].entry_name, "no bar here");
  EXPECT_EQ(lines[1].destination, "no bar here");
  EXPECT_EQ(file_info_destination(lines[0]), "C:\\App\\bin\\a.exe");
  EXPECT_EQ(file_info_destination(lines[2]), "C:\\App\\lead.txt");
  EXPECT_EQ(parse_file_info_line("a|b|c").destination, "b|c");
  EXPECT_FALSE(read_file_info(os(), folder_ + "none.txt", &lines));
}

TEST_F(DataFilesTest, EndOfInstallFiles) {
  std::vector<MacroRecord> table = {{"%name%", "Tool", "", ""}};
  put("eoi_file.txt", "%install path%\\tool.exe");
  put("eoi_message.txt", "Thanks for installing %name%%install path%!");
  put("eoi_buttons.txt", "OK");
  EndOfInstall events;
  read_end_of_install(os(), table, files_, "C:\\Apps\\Tool\\", &events);
  EXPECT_EQ(events.eoi_command, "C:\\Apps\\Tool\\tool.exe");
  EXPECT_EQ(events.message, "Thanks for installing Tool!");
  EXPECT_TRUE(events.ok_box);

  put("eoi_buttons.txt", "ok");
  read_end_of_install(os(), table, files_, "C:\\X", &events);
  EXPECT_FALSE(events.ok_box);
}

TEST_F(DataFilesTest, EndOfInstallDefaultsAndLimits) {
  put("eoi_message.txt", std::string(5000, 'm'));
  EndOfInstall events;
  read_end_of_install(os(), {}, files_, "C:\\X", &events);
  EXPECT_EQ(events.message.size(), kMaxEndOfInstallText);
  EXPECT_EQ(events.eoi_command, "");
  EXPECT_FALSE(events.ok_box);  // missing buttons file: Yes/No
}

TEST_F(DataFilesTest, UninstallerPath) {
  std::string path;
  EXPECT_FALSE(read_uninstaller_path(os(), {}, files_, "C:\\App\\", &path));
  put("uninstall.txt", "%install path%\\Uninstall.exe");
  ASSERT_TRUE(read_uninstaller_path(os(), {}, files_, "C:\\App\\", &path));
  EXPECT_EQ(path, "C:\\App\\Uninstall.exe");
}

TEST_F(DataFilesTest, LoadInstallerDataExpandsWithTheMacroTable) {
  put("macros.txt", "%co%\nOrvo\n\n\n%name%\nTool\n\n\n////\n////\n////\n////\n");
  put("wt.txt", "Welcome to %name% by %co%.\r\nSecond line");
  put("tt.txt", "%name% Setup");
  put("def_install.txt", "%program files%\\%name%\n");
  put("shortcuts.txt", "\nDesk\n%install path%\\t.exe\n0\n\nQ\nx\n2\n////\n////\n////\n////\n");
  put("installer_settings.txt", "1\nfalse");
  put("fullscreen.txt", "%name% is being installed\n");
  PayloadScan scan;
  scan.data_files = files_;
  scan.font_path = folder_ + "font";
  scan.install_entry_count = 12;
  scan.megabytes_needed = 3;
  scan.step_pictures[4] = "x";
  scan.background_pictures.push_back({6, "bg", 1, 2, 3});
  scan.step6_picture_count = 1;

  InstallerData data;
  load_installer_data(os(), scan, &data);
  EXPECT_EQ(data.welcome_text, "Welcome to Tool by Orvo.\nSecond line");
  EXPECT_EQ(data.title, "Tool Setup");
  EXPECT_EQ(data.licence_text, "");
  EXPECT_EQ(data.install_folders.initial(),
            os().special_folder(os::SpecialFolder::program_files) + "\\Tool");
  EXPECT_TRUE(data.has_registered_name);
  EXPECT_EQ(data.registered_name, "Tool");
  EXPECT_TRUE(data.has_shortcuts);
  EXPECT_TRUE(data.shortcut_locations.desktop);
  EXPECT_FALSE(data.shortcut_locations.start_menu);
  EXPECT_TRUE(data.shortcut_locations.quick_launch);
  EXPECT_EQ(data.settings.progress_style, 1);
  EXPECT_FALSE(data.settings.shrink_during_install);
  EXPECT_TRUE(data.has_fullscreen);
  EXPECT_EQ(data.fullscreen.text, "Tool is being installed");
  EXPECT_EQ(data.font_path, folder_ + "font");
  EXPECT_EQ(data.install_entry_count, 12u);
  EXPECT_EQ(data.megabytes_needed, 3u);
  EXPECT_EQ(data.step_pictures[4], "x");
  ASSERT_EQ(data.background_pictures.size(), 1u);
  EXPECT_EQ(data.background_pictures[0].x, 2);
  // Shortcuts are expanded only at install time.
  ASSERT_NE(data.files.find("shortcuts.txt"), nullptr);
  EXPECT_NE(data.files.find("shortcuts.txt")->find("%install path%"), std::string::npos);
}

TEST_F(DataFilesTest, LoadInstallerDataDefaults) {
  InstallerData data;
  load_installer_data(os(), PayloadScan(), &data);
  EXPECT_EQ(data.welcome_text, "");
  EXPECT_EQ(data.title, "");
  EXPECT_FALSE(data.has_registered_name);
  EXPECT_FALSE(data.has_shortcuts);
  EXPECT_FALSE(data.has_fullscreen);
  EXPECT_EQ(data.settings.progress_style, 0);
  EXPECT_EQ(data.font_path, "");
  EXPECT_TRUE(data.macros.empty());
}

TEST_F(DataFilesTest, WholeTextsAreCutAtTheirLimit) {
  put("license.txt", std::string(40000, 'L'));
  put("uninstall.txt", std::string(400, 'U'));
  PayloadScan scan;
  scan.data_files = files_;
  InstallerData data;
  load_installer_data(os(), scan, &data);
  EXPECT_EQ(data.licence_text.size(), kMaxMainText);
  std::string path;
  ASSERT_TRUE(read_uninstaller_path(os(), {}, files_, "C:\\", &path));
  EXPECT_EQ(path.size(), kMaxUninstallText);
}

}  // namespace
}  // namespace quill::package
