// An installation removed again by the uninstaller's own engine from the log
// the installer wrote: nothing of it stays but the install folder's log,
// and nothing else goes.
#include "installer/install_engine.h"
#include "installer_fixture.h"
#include "package/uninstall_key.h"
#include "uninstaller/front_end.h"
#include "uninstaller/removal.h"

namespace quill::installer {
namespace {

class Quiet : public uninstaller::RemovalObserver {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  void set_status(const std::string&) override {}
  void finished() override {}
};

class RoundTripTest : public test::InstallerTest {};

TEST_F(RoundTripTest, UninstallRemovesEverythingTheInstallCreated) {
  archive({{"tool.exe", "T"}, {"doc/a/read.txt", "R"}, {"Uninstall.exe", "U"}});
  data_file("fileinfo.txt",
            "tool.exe|%install path%\r\ndoc\\a\\read.txt|%install path%\\doc\\a\r\n"
            "Uninstall.exe|C:\\Tools\\Remove\r\n////\r\n////\r\n");
  data_file("shortcuts.txt",
            "Tool\r\nTool\r\n%install path%\\tool.exe\r\n1\r\n"
            "\r\nTool\r\n%install path%\\tool.exe\r\n0\r\n"
            "\r\nLoose\r\n%install path%\\tool.exe\r\n1\r\n"
            "////\r\n////\r\n////\r\n////\r\n");
  data_file("uninstall.txt", "C:\\Tools\\Remove\\Uninstall.exe");
  test::write_host_file(host("C:\\Tools\\mine.txt"), "not installed");
  ASSERT_EQ(run(), InstallResult::finished);

  const std::string programs = os().special_folder(os::SpecialFolder::programs);
  const std::string desktop = os().special_folder(os::SpecialFolder::desktop);
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
  ASSERT_TRUE(exists(programs + "\\Tool\\Tool.lnk"));
  ASSERT_TRUE(exists(programs + "\\Loose.lnk"));
  ASSERT_TRUE(os().registry_key_exists(os::RegistryRoot::local_machine, key));

  // The uninstaller reads the log beside itself.
  uninstaller::UninstallLog log;
  ASSERT_EQ(uninstaller::read_uninstall_log(os(), "C:\\Tools\\Remove\\uninstall.ini", &log),
            uninstaller::LogStatus::ok);
  Quiet quiet;
  uninstaller::run_removal(os(), log, uninstaller::FolderGuard(os()), quiet);

  // The log lists the copy beside the uninstaller, not the install folder's
  // own log, which therefore stays with its folder.
  std::vector<os::FolderEntry> left;
  ASSERT_EQ(os().list_folder("C:\\Program Files\\Tool", &left), os::Error::none);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].name, "uninstall.ini");
  EXPECT_FALSE(exists("C:\\Tools\\Remove\\Uninstall.exe"));
  EXPECT_FALSE(exists("C:\\Tools\\Remove\\uninstall.ini"));
  EXPECT_FALSE(exists(programs + "\\Tool"));
  EXPECT_FALSE(exists(programs + "\\Loose.lnk"));
  EXPECT_FALSE(exists(desktop + "\\Tool.lnk"));
  EXPECT_FALSE(os().registry_key_exists(os::RegistryRoot::local_machine, key));
  EXPECT_TRUE(exists(programs));
  EXPECT_TRUE(exists("C:\\Tools\\mine.txt"));
}

TEST_F(RoundTripTest, UninstallerInTheInstallFolderLeavesNothingBehind) {
  archive({{"tool.exe", "T"}, {"Uninstall.exe", "U"}});
  data_file("fileinfo.txt", "tool.exe|%install path%\r\nUninstall.exe|%install path%\r\n////\r\n");
  data_file("uninstall.txt", "%install path%\\Uninstall.exe");
  ASSERT_EQ(run(), InstallResult::finished);
  uninstaller::UninstallLog log;
  ASSERT_EQ(uninstaller::read_uninstall_log(os(), "C:\\Program Files\\Tool\\uninstall.ini", &log),
            uninstaller::LogStatus::ok);
  Quiet quiet;
  uninstaller::run_removal(os(), log, uninstaller::FolderGuard(os()), quiet);
  EXPECT_FALSE(exists("C:\\Program Files\\Tool"));
  EXPECT_TRUE(exists("C:\\Program Files"));
}

// Each scope puts its entry, its shortcuts and its folder where its rules
// say, and its removal finds them all again: a per-user install's entry
// under HKEY_CURRENT_USER, an all-users program group removed as a tree.
TEST_F(RoundTripTest, EachScopeIsRemovedFromWhereItInstalled) {
  using package::Scope;
  using package::ShortcutFolders;
  const struct {
    package::InstallScope scope;
    const char* folder;
    os::RegistryRoot root;
    os::SpecialFolder desktop, programs;
  } cases[] = {
      {{Scope::machine, ShortcutFolders::current_user}, "C:\\Program Files\\Tool",
       os::RegistryRoot::local_machine, os::SpecialFolder::desktop, os::SpecialFolder::programs},
      {{Scope::machine, ShortcutFolders::all_users}, "C:\\Program Files\\Tool",
       os::RegistryRoot::local_machine, os::SpecialFolder::common_desktop, os::SpecialFolder::common_programs},
      {{Scope::user, ShortcutFolders::all_users}, "C:\\Users\\User\\AppData\\Local\\Programs\\Tool",
       os::RegistryRoot::current_user, os::SpecialFolder::desktop, os::SpecialFolder::programs},
  };
  const std::string key = std::string(package::kUninstallKey) + "\\Tool";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder + std::string(c.root == os::RegistryRoot::current_user ? " user" : " machine"));
    archive({{"tool.exe", "T"}, {"Uninstall.exe", "U"}});
    data_file("fileinfo.txt", "tool.exe|%install path%\r\nUninstall.exe|%install path%\r\n////\r\n");
    data_file("shortcuts.txt",
              "Tool\r\nTool\r\n%install path%\\tool.exe\r\n1\r\n"
              "\r\nTool\r\n%install path%\\tool.exe\r\n0\r\n////\r\n////\r\n////\r\n////\r\n");
    data_file("uninstall.txt", "%install path%\\Uninstall.exe");
    request_.scope = c.scope;
    request_.install_folder = InstallFolder(c.folder);
    ASSERT_EQ(run(), InstallResult::finished);
    const std::string group = os().special_folder(c.programs) + "\\Tool";
    const std::string link = os().special_folder(c.desktop) + "\\Tool.lnk";
    const auto other = c.root == os::RegistryRoot::current_user ? os::RegistryRoot::local_machine
                                                                 : os::RegistryRoot::current_user;
    EXPECT_TRUE(exists(group + "\\Tool.lnk"));
    EXPECT_TRUE(exists(link));
    EXPECT_TRUE(os().registry_key_exists(c.root, key));
    EXPECT_FALSE(os().registry_key_exists(other, key));

    uninstaller::UninstallLog log;
    ASSERT_EQ(uninstaller::read_uninstall_log(os(), std::string(c.folder) + "\\uninstall.ini", &log),
              uninstaller::LogStatus::ok);
    Quiet quiet;
    uninstaller::run_removal(os(), log, uninstaller::FolderGuard(os()), quiet);
    EXPECT_FALSE(exists(c.folder));
    EXPECT_FALSE(exists(group));
    EXPECT_FALSE(exists(link));
    EXPECT_FALSE(os().registry_key_exists(c.root, key));
    EXPECT_TRUE(exists(os().special_folder(c.programs)));
  }
}

TEST_F(RoundTripTest, NameThatCannotBeAKeyIsShownButNoKeyIsRemoved) {
  archive({{"tool.exe", "T"}, {"Uninstall.exe", "U"}});
  data_file("fileinfo.txt", "tool.exe|%install path%\r\nUninstall.exe|%install path%\r\n////\r\n");
  data_file("uninstall.txt", "%install path%\\Uninstall.exe");
  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  os().registry_write_string(os::RegistryRoot::local_machine, uninstall + "\\Acme\\Tool", "DisplayName",
                             "planted");
  request_.registered_name = "Acme\\Tool";
  ASSERT_EQ(run(), InstallResult::finished);

  uninstaller::UninstallLog log;
  ASSERT_EQ(uninstaller::read_uninstall_log(os(), "C:\\Program Files\\Tool\\uninstall.ini", &log),
            uninstaller::LogStatus::ok);
  EXPECT_EQ(uninstaller::confirmation_question(log.registered_name),
            "Are you sure you wish to uninstall Acme\\Tool?");
  Quiet quiet;
  uninstaller::run_removal(os(), log, uninstaller::FolderGuard(os()), quiet);
  EXPECT_FALSE(exists("C:\\Program Files\\Tool"));
  EXPECT_TRUE(os().registry_key_exists(os::RegistryRoot::local_machine, uninstall + "\\Acme\\Tool"));
}

}  // namespace
}  // namespace quill::installer
