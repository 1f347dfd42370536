// Shortcuts, the completed uninstall log and the uninstall entry.
#include "installer/registration.h"

#include <algorithm>

#include "installer/install_log.h"

#include "installer_fixture.h"

namespace quill::installer {
namespace {

using test::InstallerTest;
using V = std::vector<std::string>;

const std::string kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
constexpr auto kMachine = os::RegistryRoot::local_machine;

class RegistrationTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    programs_ = os().special_folder(os::SpecialFolder::programs);
    desktop_ = os().special_folder(os::SpecialFolder::desktop);
    quick_ = os().special_folder(os::SpecialFolder::app_data) + kQuickLaunchFolder;
    archive({{"tool.exe", "T"}, {"Uninstall.exe", "U"}});
    data_file("fileinfo.txt", "tool.exe|%install path%\r\nUninstall.exe|%install path%\r\n////\r\n");
    data_file("uninstall.txt", "%install path%\\Uninstall.exe");
  }
  std::string read_string(const std::string& key, const std::string& name) {
    std::string value;
    EXPECT_EQ(os().registry_read_string(kMachine, key, name, &value), os::Error::none) << name;
    return value;
  }
  std::string programs_, desktop_, quick_;
};

TEST_F(RegistrationTest, TypicalPackageWritesTheExactLogLinkAndEntry) {
  archive({{"tool.exe", "T"}});
  data_file("fileinfo.txt", "tool.exe|%install path%\r\n////\r\n");
  data_file("shortcuts.txt",
            "Tool\r\nRun Tool\r\n%install path%\\tool.exe\r\n1\r\n////\r\n////\r\n////\r\n////\r\n");
  ASSERT_EQ(run(), InstallResult::finished);
  const std::string group = programs_ + "\\Tool";
  EXPECT_EQ(log(), (V{"Tool", "C:\\Program Files\\Tool\\tool.exe", group,
                      group + "\\Run Tool.lnk", "C:\\Program Files\\Tool\\uninstall.ini",
                      "C:\\Program Files\\Tool\\", "||||"}));
  os::Shortcut link;
  ASSERT_TRUE(os().read_shortcut(group + "\\Run Tool.lnk", &link));
  EXPECT_EQ(link.target, "C:\\Program Files\\Tool\\tool.exe");
  EXPECT_EQ(link.working_folder, "C:\\Program Files\\Tool\\");
  EXPECT_EQ(read_string(kKey, "DisplayName"), "Tool (remove only)");
  EXPECT_EQ(read_string(kKey, "UninstallString"), "\"C:\\Program Files\\Tool\\Uninstall.exe\"");
  std::uint32_t no_modify = 0, no_repair = 0;
  EXPECT_EQ(os().registry_read_dword(kMachine, kKey, "NoModify", &no_modify), os::Error::none);
  EXPECT_EQ(os().registry_read_dword(kMachine, kKey, "NoRepair", &no_repair), os::Error::none);
  EXPECT_EQ(no_modify, 1u);
  EXPECT_EQ(no_repair, 1u);
}

TEST_F(RegistrationTest, FullEntryAndInstallRecord) {
  archive({{"tool.exe", std::string(3000, 't')}, {"Uninstall.exe", std::string(2000, 'u')}});
  const std::vector<package::MacroRecord> macros = {
      {"%version%", "2.1", "", ""}, {"%publisher%", "Acme", "", ""}, {"%other%", "x", "", ""}};
  request_.macros = &macros;
  RunLog record(os(), "C:\\install.log");
  ASSERT_TRUE(record.is_open());
  request_.log = &record;
  test::write_host_file(host("C:\\Program Files\\Tool\\tool.exe"), "old");
  callback_.answers = {ReplaceAnswer::yes};
  ASSERT_EQ(run(), InstallResult::finished);
  EXPECT_EQ(read_string(kKey, "QuietUninstallString"),
            "\"C:\\Program Files\\Tool\\Uninstall.exe\" /S");
  EXPECT_EQ(read_string(kKey, "InstallLocation"), "C:\\Program Files\\Tool");
  EXPECT_EQ(read_string(kKey, "DisplayIcon"), "C:\\Program Files\\Tool\\Uninstall.exe");
  EXPECT_EQ(read_string(kKey, "DisplayVersion"), "2.1");
  EXPECT_EQ(read_string(kKey, "Publisher"), "Acme");
  EXPECT_EQ(read_string(kKey, "InstallDate"), os().local_date());
  EXPECT_EQ(os().local_date().size(), 8u);
  std::uint32_t size = 0;
  EXPECT_EQ(os().registry_read_dword(kMachine, kKey, "EstimatedSize", &size), os::Error::none);
  EXPECT_EQ(size, 5000u / 1024);
  const std::vector<std::string> lines = test::split_lines(file("C:\\install.log"));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Install folder: C:\\Program Files\\Tool\\");
  EXPECT_EQ(lines[1], "Replaced: C:\\Program Files\\Tool\\tool.exe");
  EXPECT_EQ(lines[2], "Written: C:\\Program Files\\Tool\\Uninstall.exe");
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Registry: HKEY_LOCAL_MACHINE\\" + kKey + "\\EstimatedSize = 4"),
            lines.end());
}

TEST_F(RegistrationTest, RecordNamesKeptFilesAndRollback) {
  RunLog record(os(), "C:\\install.log");
  request_.log = &record;
  test::write_host_file(host("C:\\Program Files\\Tool\\tool.exe"), "old");
  callback_.answers = {ReplaceAnswer::no};
  callback_.cancel_after_polls = 2;  // cancelled after the second file
  ASSERT_EQ(run(), InstallResult::cancelled);
  const std::vector<std::string> lines = test::split_lines(file("C:\\install.log"));
  // The changes undone: the uninstall log and Uninstall.exe.
  EXPECT_EQ(lines, (V{"Install folder: C:\\Program Files\\Tool\\",
                      "Kept: C:\\Program Files\\Tool\\tool.exe",
                      "Written: C:\\Program Files\\Tool\\Uninstall.exe",
                      "Rolling back 2 changes", "Rolled back"}));
  EXPECT_FALSE(exists("C:\\Program Files\\Tool\\Uninstall.exe"));
  EXPECT_EQ(file("C:\\Program Files\\Tool\\tool.exe"), "old");
}

TEST_F(RegistrationTest, LocationsTicksAndFolderLines) {
  data_file("shortcuts.txt",
            "ignored\r\nOn Desk\r\nC:\\t.exe\r\n0\r\n"
            "\r\nIn Programs\r\nC:\\t.exe\r\n1\r\n"  // empty group: never the Programs folder
            "\r\nQuick\r\nC:\\t.exe\r\n2\r\n"
            "Sub\r\nQuick Sub\r\nC:\\t.exe\r\n2\r\n"  // appended without separator: missing folder
            "..\\..\\Up\r\nEscape\r\nC:\\t.exe\r\n1\r\n"  // refused
            "G\r\nOdd\r\nC:\\t.exe\r\n7\r\n"              // unknown location: ignored
            "////\r\n////\r\n////\r\n////\r\n");
  test::write_host_file(host(quick_ + "\\keep"), "");
  ASSERT_EQ(run(), InstallResult::finished);
  V lines = log();
  V middle(lines.begin() + 3, lines.end() - 3);
  EXPECT_EQ(middle, (V{"", desktop_ + "\\On Desk.lnk", "", programs_ + "\\In Programs.lnk", "",
                       quick_ + "\\Quick.lnk", "", quick_ + "Sub\\Quick Sub.lnk"}));
  EXPECT_TRUE(exists(desktop_ + "\\On Desk.lnk"));
  EXPECT_TRUE(exists(programs_ + "\\In Programs.lnk"));
  EXPECT_TRUE(exists(quick_ + "\\Quick.lnk"));
  EXPECT_FALSE(exists(quick_ + "Sub\\Quick Sub.lnk"));
  EXPECT_FALSE(exists(programs_ + "\\..\\..\\Up"));

  // A link name that climbs out of its folder is refused as well.
  ShortcutPlan plan;
  package::ShortcutRecord record{"Group", "..\\x", "C:\\t.exe", package::ShortcutLocation::start_menu};
  EXPECT_FALSE(plan_shortcut(os(), record, &plan));
}

TEST_F(RegistrationTest, UntickedLocationsCreateNothing) {
  data_file("shortcuts.txt",
            "Grp\r\nA\r\nC:\\t.exe\r\n1\r\nx\r\nB\r\nC:\\t.exe\r\n0\r\n////\r\n////\r\n////\r\n////\r\n");
  request_.shortcuts.start_menu = false;
  ASSERT_EQ(run(), InstallResult::finished);
  EXPECT_FALSE(exists(programs_ + "\\Grp"));
  EXPECT_EQ(log().size(), 3u + 2u + 3u);
}

TEST_F(RegistrationTest, LogBesideAnUninstallerElsewhereIsIdentical) {
  data_file("fileinfo.txt",
            "tool.exe|%install path%\r\nUninstall.exe|C:\\Shared\\Remove\r\n////\r\n");
  data_file("uninstall.txt", "C:\\Shared\\Remove\\Uninstall.exe");
  ASSERT_EQ(run(), InstallResult::finished);
  EXPECT_EQ(log().back(), "||||");
  EXPECT_EQ(log()[3], "C:\\Shared\\Remove\\uninstall.ini");
  EXPECT_EQ(file("C:\\Shared\\Remove\\uninstall.ini"), file("C:\\Program Files\\Tool\\uninstall.ini"));
  EXPECT_EQ(read_string(kKey, "UninstallString"), "\"C:\\Shared\\Remove\\Uninstall.exe\"");
}

TEST_F(RegistrationTest, LogCopyOnlyIntoTheUninstallerPathsOwnFolder) {
  os().create_folder("C:\\Shared");
  os().create_folder("C:\\Windows\\Tool");
  // A path with '/' before its file name: the copy goes into that folder.
  data_file("uninstall.txt", "C:\\Windows\\Tool/Uninstall.exe");
  ASSERT_EQ(run(), InstallResult::finished);
  EXPECT_EQ(log()[3], "C:\\Windows\\Tool/uninstall.ini");
  EXPECT_TRUE(exists("C:\\Windows\\Tool\\uninstall.ini"));
  EXPECT_FALSE(exists("C:\\Windows\\uninstall.ini"));
  // A path that is not absolute or names no file: no copy anywhere.
  for (const char* path : {"Shared\\Uninstall.exe", "\\Shared\\Uninstall.exe", "/Shared\\Uninstall.exe",
                           "C:\\Shared\\", "C:\\Shared\\Sub\\..", "C:\\Shared\\."}) {
    data_file("uninstall.txt", path);
    ASSERT_EQ(run(), InstallResult::finished) << path;
    EXPECT_EQ(log().end()[-3], "uninstall.ini") << path;
    EXPECT_FALSE(exists("C:\\Shared\\uninstall.ini")) << path;
  }
}

TEST_F(RegistrationTest, WithoutUninstallerThereIsNoLogAndNoEntry) {
  files_ = package::DataFiles();
  data_file("fileinfo.txt", "tool.exe|%install path%\r\n////\r\n");
  ASSERT_EQ(run(), InstallResult::finished);
  EXPECT_TRUE(exists("C:\\Program Files\\Tool\\tool.exe"));
  EXPECT_FALSE(exists("C:\\Program Files\\Tool\\uninstall.ini"));
  EXPECT_FALSE(os().registry_key_exists(kMachine, kKey));
}

TEST_F(RegistrationTest, UnusableRegisteredNamesNeverWriteIntoOtherKeys) {
  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  os().registry_write_string(kMachine, uninstall + "\\Other", "DisplayName", "Other");
  for (std::string name : {std::string(), std::string("\\"), std::string("Other\\Sub")}) {
    request_.registered_name = name;
    request_.has_registered_name = !name.empty();
    ASSERT_EQ(run(), InstallResult::finished);
    EXPECT_EQ(log().front(), name);  // the log keeps the name for the uninstaller's question
    std::string value;
    EXPECT_NE(os().registry_read_string(kMachine, uninstall, "DisplayName", &value),
              os::Error::none);
    EXPECT_FALSE(os().registry_key_exists(kMachine, uninstall + "\\Other\\Sub"));
    EXPECT_EQ(read_string(uninstall + "\\Other", "DisplayName"), "Other");
  }
}

}  // namespace
}  // namespace quill::installer
