// Undoing an install: for a fault at every operation (the user answering
// Abort), for a cancel before every line and for Cancel in the replace
// question, the machine afterwards is the machine before, byte for byte,
// with only the payload folder gone.
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <type_traits>

#include "installer/install_engine.h"
#include "installer/transaction.h"
#include "installer_fixture.h"
#include "tests/os/machines.h"
#include "tests/support/fault_os.h"

namespace quill::installer {
namespace {

namespace fs = std::filesystem;
using test::read_host_file;
using test::write_host_file;

const char kFolder[] = "C:\\Program Files\\Tool";


// Every file (bytes and write permission) and folder below the sandbox,
// the registry file included, except the payload folder.
std::map<std::string, std::string> snapshot(const std::string& root, const std::string& skip) {
  std::map<std::string, std::string> state;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string path = it->path().string();
    if (path.compare(0, skip.size(), skip) == 0 || path + "/" == skip) continue;
    if (it->is_directory()) {
      state[path] = "folder";
    } else {
      struct stat st;
      stat(path.c_str(), &st);
      state[path] = std::string((st.st_mode & 0200) ? "rw:" : "ro:") + read_host_file(path);
    }
  }
  return state;
}

// A package of five files, a start-menu and a desktop shortcut and an
// uninstaller outside the install folder, over a machine that already holds
// one of its files (read-only), an old log, the desktop link, the log beside
// the uninstaller and another program's uninstall entry.
// The payload as the extraction leaves it: the folder, the archive's open
// copy and the data files in memory.
package::PayloadScan prepare(os::PosixOs& os) {
  package::PayloadScan payload;
  payload.payload_folder = os.temp_folder() + package::kPayloadFolderPrefix + "test\\";
  test::write_zip(os.host_path(payload.payload_folder + "tempfile.tmp"),
                  {{"tool.exe", "T"}, {"doc/read.txt", "R"}, {"doc/deep/more.txt", "M"},
                   {"keep.dat", "new keep"}, {"Uninstall.exe", "U"}});
  payload.archive_file = os.open_file(payload.payload_folder + "tempfile.tmp", os::OpenMode::read);
  payload.archive.file = payload.archive_file.get();
  auto data = [&](const char* name, const std::string& text) { payload.data_files.put(name, text); };
  data("fileinfo.txt",
       "tool.exe|%install path%\r\ndoc\\read.txt|%install path%\\doc\r\n"
       "doc\\deep\\more.txt|%install path%\\doc\\deep\r\nkeep.dat|%install path%\r\n"
       "Uninstall.exe|C:\\Uninst\r\n////\r\n");
  data("shortcuts.txt",
       "Vendor\\Tool\r\nTool\r\n%install path%\\tool.exe\r\n1\r\n"
       "\r\nTool\r\n%install path%\\tool.exe\r\n0\r\n////\r\n////\r\n////\r\n////\r\n");
  data("uninstall.txt", "C:\\Uninst\\Uninstall.exe");

  os.create_folder(kFolder);
  write_host_file(os.host_path(std::string(kFolder) + "\\keep.dat"), "old keep bytes");
  os.set_read_only(std::string(kFolder) + "\\keep.dat", true);
  write_host_file(os.host_path(std::string(kFolder) + "\\uninstall.ini"), "Old\r\n||||\r\n");
  write_host_file(os.host_path(os.special_folder(os::SpecialFolder::desktop) + "\\Tool.lnk"),
                  "old link");
  os.create_folder("C:\\Uninst");
  write_host_file(os.host_path("C:\\Uninst\\uninstall.ini"), "Other\r\n||||\r\n");
  os.registry_write_string(os::RegistryRoot::local_machine,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                           "DisplayName", "Other (remove only)");
  return payload;
}

class Answers : public InstallCallback {
 public:
  ReplaceAnswer ask_replace(const std::string&) override {
    return replace_cancel ? ReplaceAnswer::cancel : ReplaceAnswer::yes;
  }
  void set_status(const std::string& text) override { last_status = text; }
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool cancel_requested() override { return ++polls == cancel_at_poll; }
  WriteAnswer ask_write_failed(const std::string&) override {
    ++write_questions;
    return WriteAnswer::abort;
  }
  bool replace_cancel = false;
  int polls = 0;
  int cancel_at_poll = -1;
  int write_questions = 0;
  std::string last_status;
};

// A volume pair that cannot rename: old contents are copied aside.
class NoRenameOs : public os::FaultOs {
 public:
  using FaultOs::FaultOs;
  os::Error move_file(const std::string&, const std::string&) override { return os::Error::io; }
};

InstallRequest request(const package::PayloadScan& payload) {
  InstallRequest r;
  r.data_files = &payload.data_files;
  r.archive = payload.archive;
  r.payload_folder = payload.payload_folder;
  r.install_folder = InstallFolder(kFolder);
  r.registered_name = "Tool";
  r.has_registered_name = true;
  r.install_entry_count = 5;
  return r;
}

struct Outcome {
  InstallResult result;
  bool faulted;
  bool restored;  // the machine equals its state before the run
};

// One install in a fresh sandbox; `setup` arms faults and answers.
template <typename OsType>
Outcome install_once(const std::function<void(OsType&, Answers&)>& setup) {
  char pattern[] = "/tmp/quill-rollback-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return {InstallResult::finished, false, false};
  const std::string root = pattern;
  os::PosixOs posix(root);
  package::PayloadScan payload = prepare(posix);
  const std::string payload_host = posix.host_path(payload.payload_folder);
  const auto before = snapshot(root, payload_host);
  OsType os(posix);
  Answers answers;
  setup(os, answers);
  const InstallResult result = run_install(os, request(payload), answers);
  os.disarm();
  Outcome run{result, os.triggered(), false};
  SCOPED_TRACE(os.triggered() ? os.fault_log().front() : std::string("no fault"));
  if (result != InstallResult::finished) {
    // A run that failed before changing anything has nothing to undo.
    EXPECT_TRUE(answers.last_status.empty() || answers.last_status == undoing_status())
        << answers.last_status;
    EXPECT_TRUE(package::delete_payload_folder(posix, &payload));
    EXPECT_FALSE(fs::exists(payload_host));
    const auto after = snapshot(root, payload_host);
    run.restored = after == before;
    if (!run.restored) {
      for (const auto& [path, what] : after) {
        auto old = before.find(path);
        if (old == before.end() || old->second != what) ADD_FAILURE() << "changed: " << path;
      }
      for (const auto& [path, what] : before) {
        if (!after.count(path)) ADD_FAILURE() << "gone: " << path;
      }
    }
  } else {
    // A fault the install goes past (a time, a link, a registry value):
    // the log is complete, so the uninstaller can remove what was done.
    const std::string log =
        read_host_file(posix.host_path(std::string(kFolder) + "\\uninstall.ini"));
    EXPECT_EQ(log.substr(log.size() >= 6 ? log.size() - 6 : 0), "||||\r\n");
  }
  test::remove_sandbox(root);
  return run;
}

template <typename OsType>
void fault_at_every_operation() {
  int undone = 0;
  std::uint64_t n = 1;
  for (; n < 3000; ++n) {
    SCOPED_TRACE("fault at operation " + std::to_string(n));
    Outcome run = install_once<OsType>([n](OsType& os, Answers&) {
      os.arm(os::FaultOs::kAll, n, os::Error::disk_full);
    });
    if (run.result != InstallResult::finished) {
      EXPECT_TRUE(run.restored);
      ++undone;
    }
    if (!run.faulted) break;
  }
  EXPECT_LT(n, 3000u);
  EXPECT_GT(undone, 20);  // most faults are writes that the user aborted
}

TEST(InstallRollbackTest, FaultAtEveryOperationIsUndoneAfterAbort) {
  fault_at_every_operation<os::FaultOs>();
}

TEST(InstallRollbackTest, OldContentsCopiedAsideComeBackWhenNothingCanBeRenamed) {
  fault_at_every_operation<NoRenameOs>();
}

TEST(InstallRollbackTest, CancelBeforeEveryLineAndInTheReplaceQuestionIsUndone) {
  for (int poll = 1; poll <= 5; ++poll) {
    SCOPED_TRACE("cancel at line " + std::to_string(poll));
    Outcome run = install_once<os::FaultOs>([poll](os::FaultOs&, Answers& a) { a.cancel_at_poll = poll; });
    EXPECT_EQ(run.result, InstallResult::cancelled);
    EXPECT_TRUE(run.restored);
  }
  Outcome run = install_once<os::FaultOs>([](os::FaultOs&, Answers& a) { a.replace_cancel = true; });
  EXPECT_EQ(run.result, InstallResult::cancelled);
  EXPECT_TRUE(run.restored);
}

// The payload folder outlives a run, so what one run moved aside must not be
// left there: it would stay on the disk and take the names the next run
// moves its own replaced files to. A crashed run's leftovers stay untouched.
TEST(InstallRollbackTest, ReplacedContentsGoOnceTheRunIsKeptAndNeverBlockTheNext) {
  char pattern[] = "/tmp/quill-rollback-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  {
    os::PosixOs os(pattern);
    const package::PayloadScan payload = prepare(os);
    const std::string aside = payload.payload_folder + "~replaced";
    os.create_folder(aside);
    os.create_folder(aside + "\\0");
    write_host_file(os.host_path(aside + "\\0\\0"), "a crashed run's");
    for (int run = 0; run < 2; ++run) {
      SCOPED_TRACE("run " + std::to_string(run));
      Answers answers;
      EXPECT_EQ(run_install(os, request(payload), answers), InstallResult::finished);
      EXPECT_EQ(answers.write_questions, 0);
      EXPECT_EQ(read_host_file(os.host_path(std::string(kFolder) + "\\keep.dat")), "new keep");
      EXPECT_EQ(read_host_file(os.host_path(aside + "\\0\\0")), "a crashed run's");
      std::vector<os::FolderEntry> left;
      os.list_folder(aside + "\\0", &left);
      EXPECT_EQ(left.size(), 1u);
    }
  }
  test::remove_sandbox(pattern);
}

TEST(InstallRollbackTest, FoldersUndoneAreMadeAndRecordedAgain) {
  char pattern[] = "/tmp/quill-rollback-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  {
    os::PosixOs os(pattern);
    Transaction transaction(os, "C:\\aside");
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      ASSERT_TRUE(transaction.create_folders("C:\\New\\Sub"));
      EXPECT_TRUE(transaction.create_folders("C:\\New"));
      EXPECT_TRUE(os.file_status("C:\\New\\Sub").is_folder);
      EXPECT_TRUE(transaction.undo_all());
      EXPECT_FALSE(os.file_status("C:\\New").exists);
    }
  }
  test::remove_sandbox(pattern);
}

// Only a folder this run makes for the install is secured, and a link
// planted in place of what the run made is undone as itself.
template <class T>
class TransactionLinkTest : public ::testing::Test {};
TYPED_TEST_SUITE(TransactionLinkTest, quill::testing::SimulatedBackends);

TYPED_TEST(TransactionLinkTest, InstallFolderIsSecuredAndUndoingNeverFollowsALink) {
  quill::testing::Machine<TypeParam> machine;
  auto& os = machine.os;
  const std::string tool = "C:\\Program Files\\New\\Tool";
  ASSERT_TRUE(quill::testing::put_file(os, "C:\\Victim\\v.txt", "victim"));
  Transaction transaction(os, "C:\\aside");
  ASSERT_TRUE(transaction.create_install_folder(tool));
  ASSERT_TRUE(transaction.create_install_folder("C:\\Program Files"));  // there before
  if constexpr (std::is_same_v<TypeParam, os::MemoryOs>) {
    os::FolderAccess access = os::FolderAccess::private_work;
    EXPECT_TRUE(os.folder_access(tool, &access));
    EXPECT_EQ(access, os::FolderAccess::machine_program);
    EXPECT_FALSE(os.folder_access("C:\\Program Files\\New", &access));
    EXPECT_FALSE(os.folder_access("C:\\Program Files", &access));
  }
  ASSERT_TRUE(transaction.create_folders(tool + "\\sub"));
  transaction.creating_file(tool + "\\sub\\f.txt");
  // Planted by someone else: the file the run made turned link, and a link
  // beside the install folder.
  ASSERT_EQ(os.create_link(tool + "\\sub\\f.txt", "C:\\Victim\\v.txt"), os::Error::none);
  ASSERT_EQ(os.create_link("C:\\Program Files\\New\\more", "C:\\Victim"), os::Error::none);
  EXPECT_TRUE(transaction.undo_all());
  EXPECT_FALSE(os.file_status(tool).exists);
  EXPECT_TRUE(os.file_status("C:\\Program Files\\New\\more").is_link);
  EXPECT_EQ(quill::testing::get_file(os, "C:\\Victim\\v.txt"), "victim");
}

}  // namespace
}  // namespace quill::installer
