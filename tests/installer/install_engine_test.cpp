// The install engine: matching "fileinfo.txt" lines to archive entries,
// replace answers, cancel, refused names and damaged packages.
#include "installer/install_engine.h"

#include <sys/stat.h>

#include <ctime>
#include <map>

#include "installer_fixture.h"
#include "tests/support/fault_os.h"

namespace quill::installer {
namespace {

using test::InstallerTest;
using V = std::vector<std::string>;

const char kLog[] = "C:\\Program Files\\Tool\\uninstall.ini";

TEST_F(InstallerTest, MatchesNamesJoinsFoldersAndInstallsRepeatedLinesTwice) {
  archive({{"docs/readme.txt", "R"}, {"/a.exe", "A"}, {"%Quillpack%/wt.txt", "W"}});
  data_file("fileinfo.txt",
            "docs\\readme.txt|%install path%\\\r\n"      // '/' in the entry, '\' in the line
            "\\a.exe|C:\\Second\r\n"                      // leading '\', no trailing '\'
            "\\a.exe|C:\\Third\\\r\n"                     // same entry again
            "\\a.exe\r\n"                                 // no '|': a relative destination
            "%Quillpack%\\wt.txt|C:\\Data\r\n"            // data entries are not install entries
            "////\r\n"
            "a.exe|C:\\After\r\n");                       // after the end line
  ASSERT_EQ(install_files(os(), request_, callback_, &stats_), InstallResult::finished);
  EXPECT_EQ(file("C:\\Program Files\\Tool\\docs\\readme.txt"), "R");
  EXPECT_EQ(file("C:\\Second\\a.exe"), "A");
  EXPECT_EQ(file("C:\\Third\\a.exe"), "A");
  EXPECT_FALSE(exists("C:\\Data\\wt.txt"));
  EXPECT_FALSE(exists("C:\\After\\a.exe"));
  EXPECT_EQ(log(), (V{"Tool", "C:\\Program Files\\Tool\\docs\\readme.txt", "C:\\Second\\a.exe",
                      "C:\\Third\\a.exe"}));
  EXPECT_EQ(stats_.lines_refused, 1u);
  EXPECT_EQ(callback_.last_done, 3u);
  EXPECT_EQ(callback_.last_total, 3u);
  EXPECT_EQ(callback_.statuses.front(), "Installing\nC:\\Program Files\\Tool\\docs\\readme.txt...");
}

TEST_F(InstallerTest, InstallsFromAnArchiveInsideALargerFile) {
  test::write_zip(host("C:\\scratch.zip"), {{"a.txt", "A"}, {"doc/b.txt", "B"}});
  const std::string zip = file("C:\\scratch.zip");
  test::write_host_file(host("C:\\setup.exe"), "stub" + zip + "trailer");
  const std::unique_ptr<os::File> package = os().open_file("C:\\setup.exe", os::OpenMode::read);
  request_.archive = {package.get(), 4, zip.size()};
  data_file("fileinfo.txt", "a.txt|%install path%\r\ndoc\\b.txt|%install path%\r\n////\r\n");
  ASSERT_EQ(install_files(os(), request_, callback_, &stats_), InstallResult::finished);
  EXPECT_EQ(file("C:\\Program Files\\Tool\\a.txt"), "A");
  EXPECT_EQ(file("C:\\Program Files\\Tool\\doc\\b.txt"), "B");
  EXPECT_FALSE(exists(payload_ + package::kPayloadArchiveName));
}

TEST_F(InstallerTest, FirstEntryOfADuplicatedNameWins) {
  archive({{"x.txt", "first"}, {"x.txt", "second"}});
  data_file("fileinfo.txt", "x.txt|C:\\D\r\n////\r\n");
  ASSERT_EQ(install_files(os(), request_, callback_), InstallResult::finished);
  EXPECT_EQ(file("C:\\D\\x.txt"), "first");
}

TEST_F(InstallerTest, ReplaceAnswersYesNoAndCancel) {
  archive({{"a.txt", "new a"}, {"/b.txt", "new b"}, {"c.txt", "new c"}, {"d.txt", "new d"}});
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    test::write_host_file(host(std::string("C:\\Program Files\\Tool\\") + name), "old");
  }
  data_file("fileinfo.txt",
            "a.txt|%install path%\r\n\\b.txt|%install path%\r\nc.txt|%install path%\r\n"
            "d.txt|%install path%\r\n////\r\n");
  callback_.answers = {ReplaceAnswer::yes, ReplaceAnswer::no, ReplaceAnswer::cancel};
  EXPECT_EQ(run(), InstallResult::cancelled);
  // The name in the question is the one joined to the folder: no leading '\'.
  EXPECT_EQ(callback_.asked, (V{"a.txt", "b.txt", "c.txt"}));
  // Cancel undoes the run: the replaced file has its old bytes again, and
  // the log the run started is gone.
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    EXPECT_EQ(file(std::string("C:\\Program Files\\Tool\\") + name), "old") << name;
  }
  EXPECT_FALSE(exists("C:\\Program Files\\Tool\\d.txt"));
  EXPECT_FALSE(exists(kLog));
  EXPECT_EQ(callback_.statuses.back(), "Undoing changes...");
  // "No" still advances the progress; nothing is registered.
  EXPECT_EQ(callback_.last_done, 2u);
  EXPECT_FALSE(os().registry_key_exists(os::RegistryRoot::local_machine,
                                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
  EXPECT_EQ(replace_question("a.txt"),
            "The file named a.txt already exists at the selected location.\n"
            "Do you wish to replace it?");
}

TEST_F(InstallerTest, ConfirmedCancelUndoesTheLinesBeforeIt) {
  archive({{"a.txt", "A"}, {"b.txt", "B"}});
  data_file("fileinfo.txt", "a.txt|C:\\D\r\nb.txt|C:\\D\r\n////\r\n");
  callback_.cancel_after_polls = 1;
  EXPECT_EQ(install_files(os(), request_, callback_), InstallResult::cancelled);
  // The file of the first line and the folders the run created are gone.
  EXPECT_FALSE(exists("C:\\D"));
  EXPECT_FALSE(exists("C:\\Program Files\\Tool"));
}

TEST_F(InstallerTest, NamesThatLeaveTheirFolderAreRefused) {
  archive({{"../evil.txt", "E"}, {"sub/../../up.txt", "U"}, {"C:/abs.txt", "C"},
           {"ok.txt", "K"}});
  data_file("fileinfo.txt",
            "..\\evil.txt|C:\\App\\Data\r\n"
            "sub\\..\\..\\up.txt|C:\\App\\Data\r\n"
            "C:\\abs.txt|C:\\App\\Data\r\n"
            "ok.txt|C:\\App\\Data\r\n////\r\n");
  ASSERT_EQ(install_files(os(), request_, callback_, &stats_), InstallResult::finished);
  EXPECT_EQ(stats_.lines_refused, 3u);
  EXPECT_FALSE(exists("C:\\App\\evil.txt"));
  EXPECT_FALSE(exists("C:\\App\\up.txt"));
  EXPECT_FALSE(exists("C:\\abs.txt"));
  EXPECT_EQ(file("C:\\App\\Data\\ok.txt"), "K");
  EXPECT_EQ(log(), (V{"Tool", "C:\\App\\Data\\ok.txt"}));
}

TEST_F(InstallerTest, LinesCutAtTheLengthLimitAreRefused) {
  // After expansion the second line is longer than a line may be: cut, it
  // would name a shorter folder than the author wrote.
  archive({{"a.txt", "A"}, {"b.txt", "B"}});
  const std::string deep(240, 'd');
  data_file("fileinfo.txt", "a.txt|%install path%\\\r\nb.txt|%install path%\\" + deep + "\r\n////\r\n");
  ASSERT_EQ(install_files(os(), request_, callback_, &stats_), InstallResult::finished);
  EXPECT_EQ(file("C:\\Program Files\\Tool\\a.txt"), "A");
  EXPECT_EQ(stats_.lines_refused, 1u);
  EXPECT_EQ(log(), (V{"Tool", "C:\\Program Files\\Tool\\a.txt"}));
}

TEST_F(InstallerTest, AFolderInTheWayIsNeitherReplacedNorLogged) {
  archive({{"data", "D"}});
  test::write_host_file(host("C:\\App\\data\\keep.txt"), "user's");
  data_file("fileinfo.txt", "data|C:\\App\r\n////\r\n");
  callback_.answers = {ReplaceAnswer::yes};
  ASSERT_EQ(install_files(os(), request_, callback_), InstallResult::finished);
  EXPECT_TRUE(callback_.asked.empty());
  EXPECT_EQ(log(), (V{"Tool"}));
}

TEST_F(InstallerTest, DamagedEntryUndoesTheWholeInstall) {
  const std::string marker(64, 'Q');
  archive({{"good.txt", "G", true}, {"bad.bin", marker, true}, {"late.txt", "L", true}});
  std::string zip = file(payload_ + "tempfile.tmp");
  std::size_t at = zip.find(marker);
  ASSERT_NE(at, std::string::npos);
  zip[at + 10] = 'X';  // stored data no longer matches its CRC
  test::write_host_file(host(payload_ + "tempfile.tmp"), zip);
  data_file("fileinfo.txt", "good.txt|C:\\D\r\nbad.bin|C:\\D\r\nlate.txt|C:\\D\r\n////\r\n");
  data_file("uninstall.txt", "%install path%\\Uninstall.exe");
  EXPECT_EQ(run(), InstallResult::damaged);
  // Undone: no file, no folder and no log of the run stays.
  EXPECT_FALSE(exists("C:\\D"));
  EXPECT_FALSE(exists("C:\\Program Files\\Tool"));
  EXPECT_FALSE(os().registry_key_exists(os::RegistryRoot::local_machine,
                                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
}

TEST_F(InstallerTest, UnreadableArchiveIsDamagedAndTouchesNothing) {
  archive({{"a.txt", "A"}});
  test::write_host_file(host(payload_ + "tempfile.tmp"), std::string(3000, 'J'));
  data_file("fileinfo.txt", "a.txt|C:\\D\r\n////\r\n");
  EXPECT_EQ(run(), InstallResult::damaged);
  EXPECT_FALSE(exists("C:\\Program Files\\Tool"));
  // Without its open file there is no archive: no name is opened instead.
  archive({{"a.txt", "A"}});
  request_.archive = {};
  EXPECT_EQ(run(), InstallResult::damaged);
  EXPECT_FALSE(exists("C:\\D"));
}

TEST_F(InstallerTest, MissingParentsOfTheInstallFolderAreCreatedBeforeTheLog) {
  request_.install_folder = InstallFolder("C:\\Apps\\Vendor\\Tool\\");
  archive({{"a.txt", "A"}});
  data_file("fileinfo.txt", "a.txt|%install path%\r\n////\r\n");
  ASSERT_EQ(install_files(os(), request_, callback_), InstallResult::finished);
  EXPECT_EQ(log("C:\\Apps\\Vendor\\Tool\\uninstall.ini"),
            (V{"Tool", "C:\\Apps\\Vendor\\Tool\\a.txt"}));
}

TEST_F(InstallerTest, OldLogIsReplacedAndMissingFileListInstallsNothing) {
  archive({{"a.txt", "A"}});
  test::write_host_file(host(kLog), "Old\r\nC:\\old\r\n||||\r\n");
  ASSERT_EQ(install_files(os(), request_, callback_), InstallResult::finished);
  EXPECT_EQ(log(), (V{"Tool"}));
}

TEST_F(InstallerTest, FailedWriteIsRetriedIgnoredOrAborted) {
  // A file where the destination's folder should be makes every write fail.
  archive({{"a.txt", "A"}, {"b.txt", "B"}});
  data_file("fileinfo.txt", "a.txt|C:\\Block\\In\r\nb.txt|C:\\D\r\n////\r\n");
  test::write_host_file(host("C:\\Block"), "in the way");

  // Retry until the obstacle is gone, then the write succeeds.
  struct Clearing : test::ScriptedCallback {
    os::Os* os = nullptr;
    WriteAnswer ask_write_failed(const std::string& path) override {
      write_asked.push_back(path);
      if (write_asked.size() == 2) os->delete_file("C:\\Block");
      return WriteAnswer::retry;
    }
  } clearing;
  clearing.os = &os();
  ASSERT_EQ(install_files(os(), request_, clearing), InstallResult::finished);
  EXPECT_EQ(clearing.write_asked, (V{"C:\\Block\\In\\a.txt", "C:\\Block\\In\\a.txt"}));
  EXPECT_EQ(file("C:\\Block\\In\\a.txt"), "A");

  // Ignore goes on and logs the destination; Abort undoes the run.
  for (WriteAnswer answer : {WriteAnswer::ignore, WriteAnswer::abort}) {
    for (const char* made : {"C:\\Block", "C:\\D", "C:\\Program Files\\Tool"}) {
      std::filesystem::remove_all(host(made));
    }
    test::write_host_file(host("C:\\Block"), "in the way");
    callback_ = test::ScriptedCallback();
    callback_.write_answers = {answer};
    const InstallResult result = install_files(os(), request_, callback_);
    if (answer == WriteAnswer::ignore) {
      EXPECT_EQ(result, InstallResult::finished);
      EXPECT_EQ(log(), (V{"Tool", "C:\\Block\\In\\a.txt", "C:\\D\\b.txt"}));
    } else {
      EXPECT_EQ(result, InstallResult::write_failed);
      EXPECT_FALSE(exists("C:\\D"));
      EXPECT_FALSE(exists("C:\\Program Files\\Tool"));
      EXPECT_EQ(file("C:\\Block"), "in the way");
    }
  }
  EXPECT_EQ(write_question("C:\\x.txt"),
            "The file C:\\x.txt could not be written.\n"
            "Abort the installation, retry, or ignore this file?");
}

TEST_F(InstallerTest, SlashesInTheFolderAreBackslashesAndARelativeFolderInstallsNothing) {
  archive({{"a.txt", "A"}});
  data_file("fileinfo.txt", "a.txt|%install path%\r\n////\r\n");
  request_.install_folder = InstallFolder("C:/Apps/Tool");
  ASSERT_EQ(install_files(os(), request_, callback_), InstallResult::finished);
  EXPECT_EQ(file("C:\\Apps\\Tool\\a.txt"), "A");
  EXPECT_EQ(log("C:\\Apps\\Tool\\uninstall.ini"), (V{"Tool", "C:\\Apps\\Tool\\a.txt"}));
  for (const char* folder : {"Apps\\Tool", "C:Tool", "C:\\Apps\\..\\Tool"}) {
    request_.install_folder = InstallFolder(folder);
    EXPECT_EQ(install_files(os(), request_, callback_), InstallResult::unusable_folder) << folder;
  }
  EXPECT_FALSE(exists("C:\\Tool"));
}

TEST_F(InstallerTest, ExtractionRestoresAttributesAndTheLastWriteTime) {
  struct Recording : os::FaultOs {
    using FaultOs::FaultOs;
    std::map<std::string, std::uint32_t> attributes;
    os::Error set_attributes(const std::string& path, std::uint32_t bits) override {
      attributes[path] = bits;
      return FaultOs::set_attributes(path, bits);
    }
  } recording(os());
  // Read-only + hidden + archive, system + a bit that is no attribute, none.
  archive({{"h.txt", "H", false, 0x23}, {"s.txt", "S", false, 0x14}, {"n.txt", "N"}});
  data_file("fileinfo.txt", "h.txt|C:\\D\r\ns.txt|C:\\D\r\nn.txt|C:\\D\r\n////\r\n");
  ASSERT_EQ(install_files(recording, request_, callback_), InstallResult::finished);
  EXPECT_EQ(recording.attributes, (std::map<std::string, std::uint32_t>{
                                      {"C:\\D\\h.txt", 0x23}, {"C:\\D\\s.txt", 0x04}}));
  EXPECT_TRUE(os().file_status("C:\\D\\h.txt").read_only);
  EXPECT_FALSE(os().file_status("C:\\D\\n.txt").read_only);
  struct stat st;
  ASSERT_EQ(stat(host("C:\\D\\n.txt").c_str(), &st), 0);
  std::tm local = *std::localtime(&st.st_mtime);
  EXPECT_EQ(std::vector<int>({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour}),
            std::vector<int>({2025, 4, 12, 12}));
}

}  // namespace
}  // namespace quill::installer
