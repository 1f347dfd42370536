// The program's command line, its launcher mode and its texts.
#include "uninstaller/front_end.h"

#include "tests/support/fault_os.h"
#include "tests/uninstaller/uninstall_fixture.h"

namespace quill::uninstaller {
namespace {

TEST(CommandLine, TheWholeTailIsTheLogPath) {
  EXPECT_EQ(command_line_argument("\"C:\\Temp\\%Quillpack%\\uninstall.exe\""), "");
  EXPECT_EQ(command_line_argument("uninstall.exe   "), "");
  EXPECT_EQ(command_line_argument(
                "\"C:\\Temp\\uninstall.exe\" C:\\Program Files\\My Tool\\uninstall.ini"),
            "C:\\Program Files\\My Tool\\uninstall.ini");
  EXPECT_EQ(command_line_argument("uninstall.exe \"C:\\a b\\uninstall.ini\""),
            "C:\\a b\\uninstall.ini");
  EXPECT_EQ(command_line_argument("uninstall.exe \"C:\\a b\\x\" y"), "\"C:\\a b\\x\" y");
  EXPECT_EQ(command_line_argument("\"unclosed quote"), "");
}

TEST(CommandLine, LeadingSilentSwitch) {
  struct Case {
    const char* line;
    bool silent;
    const char* log;
  };
  const Case cases[] = {
      {"Uninstall.exe /S", true, ""},
      {"\"C:\\A b\\Uninstall.exe\" /s  ", true, ""},
      {"u.exe /S C:\\Program Files\\T\\uninstall.ini", true, "C:\\Program Files\\T\\uninstall.ini"},
      {"u.exe /S \"C:\\a b\\uninstall.ini\"", true, "C:\\a b\\uninstall.ini"},
      {"u.exe C:\\T\\uninstall.ini", false, "C:\\T\\uninstall.ini"},
      {"u.exe /SX", false, "/SX"},
  };
  for (const Case& c : cases) {
    const Arguments arguments = parse_arguments(c.line);
    EXPECT_EQ(arguments.silent, c.silent) << c.line;
    EXPECT_EQ(arguments.log_path, c.log) << c.line;
  }
}

TEST(CommandLine, LogSwitchTakesOneFileQuotedOrNot) {
  struct Case {
    const char* line;
    const char* record;
    const char* log;
  };
  const Case cases[] = {
      {"u.exe /LOG=C:\\r.jsonl C:\\T\\uninstall.ini", "C:\\r.jsonl", "C:\\T\\uninstall.ini"},
      {"u.exe /S /log=\"C:\\My logs\\r.log\" /LANG=de \"C:\\a b\\uninstall.ini\"", "C:\\My logs\\r.log",
       "C:\\a b\\uninstall.ini"},
      {"u.exe /LOG=C:\\r.log", "C:\\r.log", ""},
      {"u.exe \"/LOG=C:\\a b.log\"", "C:\\a b.log", ""},
      {"u.exe /S \"/LOG=C:\\a b.log\"", "C:\\a b.log", ""},
      {"u.exe /S \"/LOG=C:\\a b.jsonl\" C:\\T\\uninstall.ini", "C:\\a b.jsonl", "C:\\T\\uninstall.ini"},
      {"u.exe /LOG= C:\\T\\uninstall.ini", "", "C:\\T\\uninstall.ini"},
  };
  for (const Case& c : cases) {
    const Arguments arguments = parse_arguments(c.line);
    EXPECT_EQ(arguments.record, c.record) << c.line;
    EXPECT_EQ(arguments.log_path, c.log) << c.line;
  }
  EXPECT_TRUE(parse_arguments(cases[1].line).silent);
}

TEST(Texts, QuestionKeepsWithinTheLineLimit) {
  EXPECT_EQ(confirmation_question("My Tool"), "Are you sure you wish to uninstall My Tool?");
  const std::string longest(223, 'n');
  EXPECT_EQ(confirmation_question(longest).size(), 259u);
  const std::string question = confirmation_question(std::string(400, 'n'));
  EXPECT_EQ(question.size(), 259u);
  EXPECT_EQ(question.substr(question.size() - 4), "...?");
  EXPECT_EQ(log_problem_message(LogStatus::ok, "x"), "");
  for (LogStatus status :
       {LogStatus::cannot_open, LogStatus::no_terminator, LogStatus::too_many_entries}) {
    EXPECT_NE(log_problem_message(status, "C:\\a\\uninstall.ini").find("Nothing was removed."),
              std::string::npos);
  }
}

class LauncherTest : public UninstallFixture {
 protected:
  const std::string program = "C:\\Program Files\\My Tool\\Uninstall.exe";
  void SetUp() override {
    write_file(program, "first build");
    os.set_module_path(program);
  }
  // The program the launcher started, from the shell log's last line.
  std::string started() {
    const std::string line = os.shell_log().empty() ? "" : os.shell_log().back();
    return line.substr(6, line.find('|', 6) - 6);
  }
};

TEST_F(LauncherTest, StartsAFreshPrivateCopyWithTheLogBesideTheProgram) {
  // A program planted where the copy once went, and held open, is never run.
  const std::string planted = os.temp_folder() + "%Quillpack%\\uninstall.exe";
  write_file(planted, "planted");
  os.set_read_only(planted, true);

  EXPECT_EQ(run_launcher(os), kExitRemoved);
  const std::string copy = started();
  EXPECT_EQ(os.shell_log().back(), "start|" + copy + "|C:\\Program Files\\My Tool\\uninstall.ini");
  EXPECT_EQ(copy.compare(0, os.temp_folder().size(), os.temp_folder()), 0) << copy;
  os::FolderAccess access = os::FolderAccess::machine_program;
  EXPECT_TRUE(os.folder_access(copy.substr(0, copy.rfind('\\')), &access));
  EXPECT_EQ(access, os::FolderAccess::private_work);
  EXPECT_EQ(os.file_status(copy).size, 11u);

  // Each start makes a folder of its own; silent, "/S" goes first.
  write_file(program, "second, longer build");
  EXPECT_EQ(run_launcher(os, true), kExitRemoved);
  EXPECT_NE(started(), copy);
  EXPECT_EQ(os.shell_log().back(),
            "start|" + started() + "|/S C:\\Program Files\\My Tool\\uninstall.ini");
  EXPECT_EQ(os.file_status(started()).size, 20u);
  // The record goes to the copy, its blanks kept inside the switch.
  EXPECT_EQ(run_launcher(os, true, false, "", "C:\\My logs\\r.jsonl"), kExitRemoved);
  EXPECT_EQ(os.shell_log().back(), "start|" + started() +
                                       "|/S /LOG=\"C:\\My logs\\r.jsonl\" C:\\Program Files\\My Tool\\uninstall.ini");
  for (const std::string& line : os.shell_log()) EXPECT_EQ(line.find(planted), std::string::npos);
}

// A copy that cannot be made fresh and whole is a failed start: nothing is
// started in its place.
TEST_F(LauncherTest, ACopyThatFailsStartsNothing) {
  struct Case {
    const char* what;
    std::uint32_t ops;
  };
  for (const Case& c : {Case{"no fresh folder", os::FaultOs::kCreateFolder},
                        Case{"no copy", os::FaultOs::kCopyFile},
                        Case{"copy not read back", os::FaultOs::kRead}}) {
    os::FaultOs faulty(os);
    faulty.arm(c.ops, 1, os::Error::access_denied, true);
    EXPECT_EQ(run_launcher(faulty, true), kExitNotStarted) << c.what;
    EXPECT_TRUE(os.shell_log().empty()) << c.what;
  }
  // Bytes changed between the copy and its start.
  class Tampering : public os::FaultOs {
   public:
    using FaultOs::FaultOs;
    os::Error copy_file(const std::string& from, const std::string& to, bool fail_if_exists) override {
      const os::Error copied = FaultOs::copy_file(from, to, fail_if_exists);
      auto file = open_file(to, os::OpenMode::write);
      return file && file->write("other build", 11) ? copied : os::Error::io;
    }
  } tampering(os);
  EXPECT_EQ(run_launcher(tampering, true), kExitNotStarted);
  EXPECT_TRUE(os.shell_log().empty());
}

}  // namespace
}  // namespace quill::uninstaller
