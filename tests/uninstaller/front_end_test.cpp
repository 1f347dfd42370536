// The program's command line, its launcher mode and its texts.
#include "uninstaller/front_end.h"

#include "tests/uninstaller/uninstall_fixture.h"

namespace quill::uninstall {
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

class LauncherTest : public UninstallFixture {};

TEST_F(LauncherTest, StartsAStagingCopyWithTheLogBesideTheProgram) {
  const std::string program = "C:\\Program Files\\My Tool\\Uninstall.exe";
  write_file(program, "first build");
  os.set_module_path(program);
  run_launcher(os);
  const std::string copy = os.temp_folder() + "%Quillpack%\\uninstall.exe";
  ASSERT_EQ(os.shell_log().size(), 1u);
  EXPECT_EQ(os.shell_log()[0],
            "start|" + copy + "|C:\\Program Files\\My Tool\\uninstall.ini");
  EXPECT_EQ(os.file_status(copy).size, 11u);

  // A second start replaces the staging copy (the folder exists already).
  write_file(program, "second, longer build");
  run_launcher(os, true);
  ASSERT_EQ(os.shell_log().size(), 2u);
  EXPECT_EQ(os.shell_log()[1], "start|" + copy + "|/S C:\\Program Files\\My Tool\\uninstall.ini");
  EXPECT_EQ(os.file_status(copy).size, 20u);
}

}  // namespace
}  // namespace quill::uninstall
