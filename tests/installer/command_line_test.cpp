// The installer's command line and exit codes.
#include "installer/command_line.h"

#include <gtest/gtest.h>

namespace quill::installer {
namespace {

TEST(CommandLineTest, ParsesSwitchesFoldersAndLogs) {
  struct Case {
    const char* tail;
    bool valid, help, silent;
    const char* folder;
    const char* log;
    const char* ignored;  // the ignored arguments, each followed by '|'
  };
  const Case cases[] = {
      {"", true, false, false, "", "", ""},
      {"  /S  ", true, false, true, "", "", ""},
      {"/s", true, false, true, "", "", ""},
      {"/?", true, true, false, "", "", ""},
      {"/S /D=C:\\Program Files\\My App", true, false, true, "C:\\Program Files\\My App", "", ""},
      // "/D=" takes the rest of the line, switches included.
      {"/D=C:\\A b /S", true, false, false, "C:\\A b /S", "", ""},
      {"/D=\"C:\\Quoted Folder\"  ", true, false, false, "C:\\Quoted Folder", "", ""},
      {"\"/D=C:\\Quoted Folder\"", true, false, false, "C:\\Quoted Folder", "", ""},
      {"/LOG=C:\\x.log /S", true, false, true, "", "C:\\x.log", ""},
      {"/log=\"C:\\My logs\\x.log\" /D=C:\\T", true, false, false, "C:\\T", "C:\\My logs\\x.log", ""},
      {"\"/LOG=C:\\My logs\\x.log\"", true, false, false, "", "C:\\My logs\\x.log", ""},
      // Arguments that are no switch of the installer are passed over.
      {"/X", true, false, false, "", "", "/X|"},
      {"/S /SILENT", true, false, true, "", "", "/SILENT|"},
      {"C:\\Folder", true, false, false, "", "", "C:\\Folder|"},
      {"-q /LOG /D /S \"a b\" \"\" /D=C:\\T", true, false, true, "C:\\T", "", "-q|/LOG|/D|a b|"},
      {"/LOG2=x /?", true, true, false, "", "", "/LOG2=x|"},
      // A known switch without its value is refused.
      {"/LOG=", false, false, false, "", "", ""},
      {"/X /LOG=\"\" /S", false, false, true, "", "", "/X|"},
      {"/D=", false, false, false, "", "", ""},
      {"/S \"/D=\"", false, false, true, "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    const CommandLine line = parse_command_line(c.tail);
    EXPECT_EQ(line.valid, c.valid);
    EXPECT_EQ(line.help, c.help);
    EXPECT_EQ(line.silent, c.silent);
    EXPECT_EQ(line.install_folder, c.folder);
    EXPECT_EQ(line.log_file, c.log);
    std::string ignored;
    for (const std::string& argument : line.ignored) ignored += argument + "|";
    EXPECT_EQ(ignored, c.ignored);
  }
  EXPECT_EQ(parse_command_line("/S /Q /LOG= /D=").bad, "/LOG=");
  EXPECT_TRUE(parse_command_line("/S /downgrade").allow_downgrade);
  EXPECT_FALSE(parse_command_line("/S /DOWNGRADES").allow_downgrade);
  EXPECT_FALSE(parse_command_line("/S").allow_downgrade);
  // "/PASSIVE" is unattended as "/S" is, in any case; a longer word is no switch.
  for (const char* tail : {"/PASSIVE", "/passive /LOG=x", "/Passive /D=C:\\T"}) {
    const CommandLine line = parse_command_line(tail);
    EXPECT_TRUE(line.passive && !line.silent && line.unattended() && line.ignored.empty()) << tail;
  }
  EXPECT_FALSE(parse_command_line("/PASSIVELY").unattended());
}

TEST(CommandLineTest, EachResultHasItsOwnExitCode) {
  EXPECT_EQ(exit_code(InstallResult::finished), 0);
  EXPECT_EQ(exit_code(InstallResult::cancelled), 2);
  EXPECT_EQ(exit_code(InstallResult::damaged), 3);
  EXPECT_EQ(exit_code(InstallResult::unusable_folder), 4);
  EXPECT_EQ(exit_code(InstallResult::write_failed), 5);
  // The usage box names what a silent install skips.
  EXPECT_NE(usage_text().find("skipped"), std::string::npos);
}

TEST(CommandLineTest, UsageBoxStartErrorsAndInteractiveExitCodes) {
  const std::string usage = usage_text();
  EXPECT_EQ(usage_message(parse_command_line("/?")), usage);
  EXPECT_EQ(usage_message(parse_command_line("/S /?")), usage);
  EXPECT_EQ(usage_message(parse_command_line("/X /?")), usage);
  EXPECT_EQ(usage_message(parse_command_line("/LOG=")), "Missing value: /LOG=\n\n" + usage);
  EXPECT_EQ(usage_message(parse_command_line("/S /LOG=")), "");  // nobody is there to click
  EXPECT_EQ(usage_message(parse_command_line("/PASSIVE /LOG=")), "");
  EXPECT_EQ(log_unwritable_message(parse_command_line("/LOG=C:\\none\\x.log")),
            "The log file cannot be written: C:\\none\\x.log\n\n" + usage);
  EXPECT_EQ(log_unwritable_message(parse_command_line("/S /LOG=C:\\none\\x.log")), "");

  EXPECT_EQ(start_exit_code(package::ExtractOutcome::write_failed), kExitWriteFailed);
  EXPECT_EQ(start_exit_code(package::ExtractOutcome::damaged), kExitDamaged);
  EXPECT_NE(std::string(start_error_text(package::ExtractOutcome::write_failed)).find("temporary"),
            std::string::npos);
  EXPECT_NE(std::string(start_error_text(package::ExtractOutcome::damaged)).find("damaged"),
            std::string::npos);

  EXPECT_EQ(wizard_exit_code(false, InstallResult::finished), kExitCancelled);
  EXPECT_EQ(wizard_exit_code(true, InstallResult::finished), kExitInstalled);
  EXPECT_EQ(wizard_exit_code(true, InstallResult::write_failed), kExitWriteFailed);
}

}  // namespace
}  // namespace quill::installer
