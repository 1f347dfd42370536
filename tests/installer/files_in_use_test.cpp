// A destination that another program holds open: the decision, the install
// that leaves it to the next restart (exit code 3010), "/NORESTART" that
// ends the run instead, and the undoing of a replacement left pending.
#include <unistd.h>

#include <algorithm>

#include "common/in_use.h"
#include "installer/command_line.h"
#include "installer_fixture.h"
#include "tests/support/memory_os.h"

namespace quill::installer::test {
namespace {

TEST(InUseDecisionTest, SilentAndInteractiveAnswers) {
  const InUseAnswer kAny = InUseAnswer::abort;
  struct Case {
    bool silent, restart, known;
    InUseAnswer answer;
    InUseAction action;
  } cases[] = {
      {true, true, false, kAny, InUseAction::later},
      {true, false, false, kAny, InUseAction::abort},
      {false, true, true, InUseAnswer::retry, InUseAction::close_and_retry},
      {false, true, false, InUseAnswer::retry, InUseAction::retry},
      {false, true, true, InUseAnswer::ignore, InUseAction::later},
      {false, false, true, InUseAnswer::ignore, InUseAction::skip},
      {false, true, true, InUseAnswer::abort, InUseAction::abort},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(in_use_action(c.silent, c.restart, c.known, c.answer), c.action)
        << c.silent << c.restart << c.known << static_cast<int>(c.answer);
  }
  const std::string named = in_use_question("C:\\T\\a.exe", {"Tool"}, true, "installation");
  EXPECT_NE(named.find("C:\\T\\a.exe is in use by:\n    Tool"), std::string::npos) << named;
  EXPECT_NE(named.find("Retry closes these programs"), std::string::npos);
  EXPECT_NE(in_use_question("C:\\a", {}, false, "removal").find("Ignore goes on without it"),
            std::string::npos);
  EXPECT_EQ(setup_lock_name("My App"), setup_lock_name("MY APP"));
  EXPECT_NE(setup_lock_name("My App"), setup_lock_name("My App 2"));
  EXPECT_EQ(setup_lock_name("a\\b:c*").find_first_not_of(
                "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-"),
            std::string::npos);
}

class FilesInUseTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    archive({{"a.txt", "new a"}, {"b.txt", "new b"}});
    data_file("fileinfo.txt", "a.txt|%install path%\\\r\nb.txt|%install path%\\\r\n////\r\n");
    os().create_folder("C:\\Program Files\\Tool");
    write_host_file(host(kTarget), "old a");
    held_ = os().hold_file(kTarget);
    ASSERT_GE(held_, 0);
  }
  void TearDown() override {
    if (held_ >= 0) ::close(held_);
    InstallerTest::TearDown();
  }
  std::vector<std::string> pending() {
    std::vector<std::string> lines;
    for (const std::string& line : os().shell_log()) {
      if (line.rfind("rename-later|", 0) == 0) lines.push_back(line);
    }
    return lines;
  }
  // The files beside the target that a replacement left pending wrote.
  std::vector<std::string> written_beside() {
    std::vector<os::FolderEntry> entries;
    os().list_folder("C:\\Program Files\\Tool", &entries);
    std::vector<std::string> names;
    for (const os::FolderEntry& entry : entries) {
      if (entry.name[0] == '~') names.push_back(entry.name);
    }
    return names;
  }

  // A new machine in the state SetUp makes.
  void fresh() {
    TearDown();
    held_ = -1;
    callback_ = ScriptedCallback();
    stats_ = InstallStats();
    files_ = package::DataFiles();
    request_ = InstallRequest();
    SetUp();
  }

  static constexpr const char* kTarget = "C:\\Program Files\\Tool\\a.txt";
  int held_ = -1;
};

TEST_F(FilesInUseTest, SilentRunReplacesAtRestartOrAbortsWithNoRestart) {
  request_.silent = true;
  callback_.answers = {ReplaceAnswer::yes, ReplaceAnswer::yes};
  ASSERT_EQ(run(), InstallResult::finished);
  EXPECT_EQ(exit_code(InstallResult::finished, stats_.files_later > 0), kExitInstalledRestart);
  EXPECT_EQ(file(kTarget), "old a");  // until the restart
  EXPECT_EQ(file("C:\\Program Files\\Tool\\b.txt"), "new b");
  const std::vector<std::string> names = written_beside();
  ASSERT_EQ(names.size(), 1u);
  const std::string written = std::string("C:\\Program Files\\Tool\\") + names[0];
  EXPECT_EQ(file(written), "new a");
  EXPECT_EQ(pending(), std::vector<std::string>{"rename-later|" + written + "|" + kTarget});

  // "/NORESTART": the same run ends as a failed write and changes nothing.
  fresh();
  request_.silent = true;
  request_.restart_allowed = false;
  callback_.answers = {ReplaceAnswer::yes, ReplaceAnswer::yes};
  EXPECT_EQ(exit_code(run()), kExitWriteFailed);
  EXPECT_EQ(file(kTarget), "old a");
  EXPECT_TRUE(pending().empty());
  EXPECT_TRUE(written_beside().empty());
  EXPECT_FALSE(exists("C:\\Program Files\\Tool\\b.txt"));
}

// The wizard's question: Ignore leaves the file for the restart (or, with
// "/NORESTART", goes on without it); Retry looks again; a later Abort takes
// a pending replacement back with the file written for it.
TEST_F(FilesInUseTest, InteractiveAnswersAndRollbackOfAPendingReplacement) {
  struct Case {
    bool restart;
    std::vector<WriteAnswer> answers;  // the in-use question, then b.txt's failed write
    bool block_b;
    InstallResult result;
    std::string target;
    std::size_t pending, beside;
  } cases[] = {
      {true, {WriteAnswer::ignore}, false, InstallResult::finished, "old a", 1, 1},
      {false, {WriteAnswer::ignore}, false, InstallResult::finished, "old a", 0, 0},
      {true, {WriteAnswer::abort}, false, InstallResult::write_failed, "old a", 0, 0},
      {true, {WriteAnswer::ignore, WriteAnswer::abort}, true, InstallResult::write_failed, "old a", 0, 0},
  };
  for (const Case& c : cases) {
    fresh();
    request_.restart_allowed = c.restart;
    callback_.answers = {ReplaceAnswer::yes, ReplaceAnswer::yes};
    callback_.write_answers.assign(c.answers.begin(), c.answers.end());
    if (c.block_b) {
      // A file stands where b.txt's folder should be: its write fails.
      data_file("fileinfo.txt", "a.txt|%install path%\\\r\nb.txt|C:\\Blocked\\In\\\r\n////\r\n");
      write_host_file(host("C:\\Blocked"), "x");
    }
    SCOPED_TRACE(::testing::Message() << c.restart << " " << c.answers.size());
    EXPECT_EQ(run(), c.result);
    EXPECT_EQ(file(kTarget), c.target);
    EXPECT_EQ(pending().size(), c.pending);
    EXPECT_EQ(written_beside().size(), c.beside);
    ASSERT_FALSE(callback_.write_asked.empty());
    EXPECT_EQ(callback_.write_asked[0], kTarget);
  }
  // Retry after the program let go replaces the file now.
  fresh();
  struct LetGo : ScriptedCallback {
    int* held;
    WriteAnswer ask_file_in_use(const std::string&, const std::string&) override {
      ::close(*held);
      *held = -1;
      return WriteAnswer::retry;
    }
  } let_go;
  let_go.held = &held_;
  let_go.answers = {ReplaceAnswer::yes, ReplaceAnswer::yes};
  EXPECT_EQ(run_install(os(), request_, let_go, &stats_), InstallResult::finished);
  EXPECT_EQ(file(kTarget), "new a");
  EXPECT_EQ(stats_.files_later, 0u);
}

TEST(SetupLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  char pattern[] = "/tmp/quill-lock-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  os::PosixOs first(pattern), second(pattern);
  os::MemoryOs memory;
  struct Pair { os::Os& a; os::Os& b; } pairs[] = {{first, second}, {memory, memory}};
  for (Pair& pair : pairs) {
    os::Error error = os::Error::io;
    auto held = pair.a.take_lock("Quillset-setup-1", &error);
    ASSERT_TRUE(held);
    EXPECT_EQ(error, os::Error::none);
    EXPECT_FALSE(pair.b.take_lock("Quillset-setup-1", &error));
    EXPECT_EQ(error, os::Error::exists);
    EXPECT_TRUE(pair.b.take_lock("Quillset-setup-2", &error));  // another program
    held.reset();
    EXPECT_TRUE(pair.b.take_lock("Quillset-setup-1", &error));
  }
  remove_sandbox(pattern);
}

TEST(CommandLineTest, NoRestartSwitchAndNewExitCodes) {
  for (const char* tail : {"/NORESTART /S", "/s /norestart", "/NoRestart /S /D=C:\\A B"}) {
    const CommandLine line = parse_command_line(tail);
    EXPECT_TRUE(line.no_restart && line.silent && line.ignored.empty()) << tail;
  }
  EXPECT_FALSE(parse_command_line("/NORESTARTS").no_restart);
  EXPECT_EQ(exit_code(InstallResult::finished, false), kExitInstalled);
  EXPECT_EQ(exit_code(InstallResult::write_failed, true), kExitWriteFailed);
  EXPECT_EQ(wizard_exit_code(true, InstallResult::finished, true), 3010);
  EXPECT_NE(usage_text().find("/NORESTART"), std::string::npos);
  EXPECT_NE(usage_text().find("1618"), std::string::npos);
}

}  // namespace
}  // namespace quill::installer::test
