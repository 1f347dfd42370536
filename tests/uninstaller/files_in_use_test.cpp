// Files in use during a removal: settled before anything goes (asked, or
// decided when silent), then left for the next restart, or kept with
// "/NORESTART"; and the switch on the command line.
#include "uninstaller/front_end.h"
#include "uninstaller/removal.h"

#include "tests/uninstaller/uninstall_fixture.h"

namespace quill::uninstaller {
namespace {

class InUseRemovalTest : public UninstallFixture {
 protected:
  void SetUp() override {
    write_file(exe, "running");
    write_file(data);
    write_log(log_path, {"Tool", exe, data, log_path, std::string(kApp) + "\\", "||||"});
    ASSERT_EQ(read_uninstall_log(os, log_path, &log), LogStatus::ok);
  }
  std::vector<std::string> later() {
    std::vector<std::string> lines;
    for (const std::string& line : os.shell_log()) {
      if (line.rfind("later|", 0) == 0) lines.push_back(line);
    }
    return lines;
  }

  const std::string exe = std::string(kApp) + "\\Tool.exe";
  const std::string data = std::string(kApp) + "\\data.txt";
  const std::string log_path = std::string(kApp) + "\\uninstall.ini";
  UninstallLog log;
  FolderGuard guard{os};
  std::vector<std::string> questions;
};

TEST_F(InUseRemovalTest, SilentRunLeavesAHeldFileForTheRestartOrRemovesNothing) {
  os.hold_file(exe);
  const auto never = [](const std::string&, const std::string&) { return InUseAnswer::abort; };
  // "/NORESTART": refused before anything is removed.
  EXPECT_FALSE(settle_files_in_use(os, log, guard, true, false, never));
  EXPECT_TRUE(exists(data));

  ASSERT_TRUE(settle_files_in_use(os, log, guard, true, true, never));
  EXPECT_TRUE(run_removal(os, log, guard, observer));
  EXPECT_FALSE(exists(data));
  EXPECT_TRUE(exists(exe));  // deleted at the next start, from its place
  EXPECT_EQ(later(), std::vector<std::string>({"later|" + exe, "later|C:\\PROGRAM FILES\\TOOL"}));
}

TEST_F(InUseRemovalTest, QuestionClosesNamedProgramsOrKeepsTheFileWithNoRestart) {
  struct Case {
    std::vector<std::string> programs;
    bool restart;
    std::vector<InUseAnswer> answers;
    bool go_on;
    bool exe_remains;  // after the removal
    bool restart_needed;
  } cases[] = {
      {{"Tool"}, true, {InUseAnswer::retry}, true, false, false},
      {{}, true, {InUseAnswer::retry, InUseAnswer::ignore}, true, true, true},
      {{}, false, {InUseAnswer::ignore}, true, true, false},
      {{"Tool"}, true, {InUseAnswer::abort}, false, true, false},
  };
  for (const Case& c : cases) {
    os.release_file(exe);
    SetUp();  // the installation again
    os.hold_file(exe, c.programs);
    std::size_t asked = 0;
    const bool go_on = settle_files_in_use(
        os, log, guard, false, c.restart, [&](const std::string& path, const std::string& question) {
          EXPECT_EQ(path, exe);
          questions.push_back(question);
          return c.answers.at(asked++);
        });
    SCOPED_TRACE(::testing::Message() << c.programs.size() << c.restart << c.answers.size());
    EXPECT_EQ(go_on, c.go_on);
    EXPECT_EQ(asked, c.answers.size());
    if (go_on) {
      EXPECT_EQ(run_removal(os, log, guard, observer, c.restart), c.restart_needed);
    }
    EXPECT_EQ(exists(exe), c.exe_remains);
  }
  EXPECT_NE(questions[0].find("in use by:\n    Tool"), std::string::npos) << questions[0];
}

// The uninstaller that started this working copy waits for it, so its file
// is in use in every silent removal: it goes at the restart as it always
// did, and neither counts as a file in use nor stops "/NORESTART".
TEST_F(InUseRemovalTest, TheWaitingUninstallerIsNoFileInUse) {
  const std::string launcher = std::string(kApp) + "\\Uninstall.exe";
  write_file("C:\\Temp\\Quillclean-1\\uninstall.exe", "uninstaller bytes");
  os.set_module_path("C:\\Temp\\Quillclean-1\\uninstall.exe");
  write_file(launcher, "uninstaller bytes");
  write_log(log_path, {"Tool", launcher, data, log_path, std::string(kApp) + "\\", "||||"});
  ASSERT_EQ(read_uninstall_log(os, log_path, &log), LogStatus::ok);
  os.hold_file(launcher);
  EXPECT_TRUE(files_in_use(os, log, guard).empty());
  EXPECT_FALSE(run_removal(os, log, guard, observer, false));
  EXPECT_FALSE(exists(data));
  EXPECT_FALSE(exists(launcher));  // this machine lets a held file go at once
}

TEST(InUseArguments, NoRestartBeforeOrAfterTheSilentSwitch) {
  struct Case {
    const char* line;
    bool silent, no_restart;
    const char* log;
  } cases[] = {
      {"u.exe /S /NORESTART C:\\T\\uninstall.ini", true, true, "C:\\T\\uninstall.ini"},
      {"u.exe /norestart /s", true, true, ""},
      {"u.exe /NoRestart", false, true, ""},
      {"u.exe /NORESTARTX", false, false, "/NORESTARTX"},
  };
  for (const Case& c : cases) {
    const Arguments arguments = parse_arguments(c.line);
    EXPECT_EQ(arguments.silent, c.silent) << c.line;
    EXPECT_EQ(arguments.no_restart, c.no_restart) << c.line;
    EXPECT_EQ(arguments.log_path, c.log) << c.line;
  }
}

}  // namespace
}  // namespace quill::uninstaller
