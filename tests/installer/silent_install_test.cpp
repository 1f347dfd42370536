// The silent install: the wizard's folder checks, fixed answers, exit codes
// and what the record says.
#include "installer/silent_install.h"

#include <algorithm>

#include "installer/command_line.h"
#include "installer/install_folder.h"
#include "installer/wizard.h"
#include "installer_fixture.h"
#include "tests/support/fault_os.h"

namespace quill::installer {
namespace {

class SilentInstallTest : public test::InstallerTest {
 protected:
  void SetUp() override {
    test::InstallerTest::SetUp();
    data_.install_folders.default_folder = "C:\\Program Files\\Tool";
    data_.megabytes_needed = 10;
    data_.registered_name = "Tool";
    data_.has_registered_name = true;
    os().set_free_megabytes(100);
    archive({{"a.txt", "new a"}, {"b.txt", "new b"}});
    data_.install_entry_count = 2;
    data_.archive = request_.archive;
    data_.payload_folder = payload_;
    data_.files.put("fileinfo.txt", "a.txt|%install path%\r\nb.txt|%install path%\\sub\r\n////\r\n");
  }
  int run_silent(const std::string& folder) {
    RunLog log(os(), "C:\\setup.log");
    return run_silent_install(os(), data_, folder, &log);
  }
  std::vector<std::string> record() { return test::split_lines(file("C:\\setup.log")); }

  package::InstallerData data_;
};

TEST_F(SilentInstallTest, RefusesAFolderTheWizardWouldRefuse) {
  struct Case {
    std::string folder;
    std::uint64_t free;
    std::string line;
  };
  for (const Case& c : {Case{"Tool", 100, "Unusable install folder: Tool"},
                        Case{"C:\\a\\..\\b", 100, "Unusable install folder: C:\\a\\..\\b"},
                        Case{"D:/Apps", 10, "Not enough free space for D:\\Apps"}}) {
    os().set_free_megabytes(c.free);
    EXPECT_EQ(run_silent(c.folder), kExitUnusableFolder) << c.folder;
    EXPECT_EQ(record().back(), c.line);
  }
  EXPECT_FALSE(exists("C:\\Program Files\\Tool\\a.txt"));
}

// A per-user install never asks for rights: a folder where the user cannot
// make a file (probed in its nearest existing parent, and left as found)
// is refused up front, with the unusable folder's exit code when silent. A
// machine-wide install does not probe.
TEST_F(SilentInstallTest, PerUserInstallRefusesAFolderTheUserCannotWrite) {
  os::FaultOs faulty(os());
  const InstallFolder folder("C:\\Program Files\\New\\Tool");
  std::vector<os::FolderEntry> before, after;
  ASSERT_EQ(os().list_folder("C:\\Program Files", &before), os::Error::none);
  EXPECT_EQ(check_install_folder(faulty, folder, 10, 100, true), FolderCheck::usable);
  ASSERT_EQ(os().list_folder("C:\\Program Files", &after), os::Error::none);
  EXPECT_EQ(after.size(), before.size());
  for (bool per_user : {true, false}) {
    faulty.arm(os::FaultOs::kOpenFile, 1, os::Error::access_denied, true);
    EXPECT_EQ(check_install_folder(faulty, folder, 10, 100, per_user),
              per_user ? FolderCheck::not_writable : FolderCheck::usable);
  }
  data_.scope.scope = package::Scope::user;
  faulty.arm(os::FaultOs::kOpenFile, 1, os::Error::access_denied);
  RunLog log(os(), "C:\\setup.log");
  EXPECT_EQ(run_silent_install(faulty, data_, "C:\\Program Files\\Tool", &log), kExitUnusableFolder);
  EXPECT_EQ(record().back(), "Install folder not writable by this user: C:\\Program Files\\Tool");
  EXPECT_FALSE(exists("C:\\Program Files\\Tool"));
}

TEST_F(SilentInstallTest, TheFolderIsParsedOnceAndTheWizardAgrees) {
  using Check = FolderCheck;
  struct Case {
    std::string typed;
    std::string path;  // parsed, with its trailing backslash
    Check check;
  };
  const std::string long_name(300, 'n');
  for (const Case& c : {Case{"C:/Apps/Tool", "C:\\Apps\\Tool\\", Check::usable},
                        Case{"C:\\Tool\\", "C:\\Tool\\", Check::usable},
                        Case{"C:" + long_name, "C:" + long_name.substr(0, 257) + "\\",
                             Check::unusable},
                        Case{"C", "C\\", Check::too_short},
                        Case{"Tool", "Tool\\", Check::unusable},
                        Case{"C:Tool", "C:Tool\\", Check::unusable},
                        Case{"C:/a/../b", "C:\\a\\..\\b\\", Check::unusable},
                        Case{"C:\\A<B", "C:\\A<B\\", Check::unusable},
                        Case{"\\\\server", "\\\\server\\", Check::unusable},
                        // A share names no drive to count free space on.
                        Case{"\\\\server\\share", "\\\\server\\share\\",
                             Check::not_enough_space}}) {
    const InstallFolder folder(c.typed);
    EXPECT_EQ(folder.path(), c.path) << c.typed;
    EXPECT_EQ(folder.typed(), c.typed.substr(0, kMaxPathLength)) << c.typed;
    EXPECT_EQ(check_install_folder(folder, 10, available_megabytes(os(), folder.text())), c.check)
        << c.typed;

    WizardData d;
    d.install_folder = c.typed;
    d.megabytes_needed = 10;
    Wizard wizard(os(), d);  // no welcome or licence: opens on the folder step
    wizard.open();
    EXPECT_EQ(wizard.next().warning.empty(), c.check == Check::usable) << c.typed;
    EXPECT_EQ(run_silent(c.typed), c.check == Check::usable ? kExitInstalled : kExitUnusableFolder)
        << c.typed;
  }
}

TEST_F(SilentInstallTest, ReplacesWithoutAskingAndInstallsToTheChosenFolder) {
  test::write_host_file(host("C:\\Program Files\\Tool\\a.txt"), "old");
  EXPECT_EQ(run_silent(""), kExitInstalled);
  EXPECT_EQ(file("C:\\Program Files\\Tool\\a.txt"), "new a");
  EXPECT_EQ(file("C:\\Program Files\\Tool\\sub\\b.txt"), "new b");
  // "/D=" wins over the package's folder; '/' is read as '\'.
  EXPECT_EQ(run_silent("C:/Other"), kExitInstalled);
  EXPECT_EQ(file("C:\\Other\\sub\\b.txt"), "new b");
}

TEST_F(SilentInstallTest, AFileThatCannotBeWrittenUndoesTheRun) {
  // A file where the destination's folder should be makes the write fail.
  test::write_host_file(host("C:\\Program Files\\Tool\\sub"), "in the way");
  EXPECT_EQ(run_silent(""), kExitWriteFailed);
  const std::vector<std::string> lines = record();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Could not write: C:\\Program Files\\Tool\\sub\\b.txt"),
            lines.end());
  EXPECT_FALSE(exists("C:\\Program Files\\Tool\\a.txt"));
}

}  // namespace
}  // namespace quill::installer
