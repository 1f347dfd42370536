// Start-up, the File menu, the close box and the build button.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "builder/editor/controls.h"
#include "builder/editor/messages.h"
#include "builder/editor/startup.h"
#include "builder/project/project_file.h"
#include "tests/editor/editor_fixture.h"
#include "tests/support/fault_os.h"

namespace quill::editor {
namespace {

using os::RegistryRoot;

std::string setting(os::Os& os, const char* name) {
  std::string value;
  os.registry_read_string(RegistryRoot::local_machine, kSettingsKey, name, &value);
  return value;
}

TEST(Startup, CommandLineLosesItsEndsWithoutUnderflow) {
  EXPECT_EQ(project_path_from_command_line("\"C:\\p.qsp\""), "C:\\p.qsp");
  EXPECT_EQ(project_path_from_command_line("C:\\p.qsp"), ":\\p.qs");
  EXPECT_EQ(project_path_from_command_line("x"), "");
  EXPECT_EQ(project_path_from_command_line("xy"), "");
  EXPECT_EQ(association_program_path("C:\\Tools\\builder.exe"), "C:\\Tools\\Quillset.exe");
}

TEST_F(EditorTest, StartupAssociationToopenAndCrashMarker) {
  // The first start on a clean machine: the question comes, and the key it
  // makes keeps the answer and this run's crash marker.
  prompter.answers = {Answer::yes};
  editor->initialise();
  EXPECT_EQ(prompter.log, (std::vector<std::string>{"ask:" + std::string(text::kAssociateQuestion)}));
  EXPECT_EQ(editor->title(), "Quillset - New Unsaved Project");
  EXPECT_EQ(setting(box.os(), "qspfiles"), "yes");
  EXPECT_EQ(setting(box.os(), "started"), "yes");
  std::string command;
  box.os().registry_read_string(RegistryRoot::classes_root, "Quillset\\shell\\open\\command", "", &command);
  EXPECT_EQ(command, "\"C:\\Quill\\Quillset.exe\" \"%1\"");
  editor->save_backup();

  // That run did not quit: the next start offers the backup and asks
  // nothing else, and a path on its command line waits in "toopen".
  box.write("C/p.qsp", project::project_text(*std::make_unique<project::Project>()));
  remember_command_line(box.os(), "\"C:\\p.qsp\"");
  {
    ScriptedPrompter second;
    second.answers = {Answer::yes};
    Editor run(box.os(), second, view);
    run.initialise();
    EXPECT_EQ(second.log, (std::vector<std::string>{"ask:" + std::string(text::kCrashQuestion)}));
    EXPECT_EQ(run.title(), "Quillset - New Unsaved Project");
    EXPECT_EQ(setting(box.os(), "toopen"), "C:\\p.qsp");
    second.answers = {Answer::no};
    EXPECT_TRUE(run.quit());
    EXPECT_EQ(setting(box.os(), "started"), "");
  }
  // After a clean end, the waiting project opens and "toopen" is emptied.
  ScriptedPrompter third;
  Editor run(box.os(), third, view);
  run.initialise();
  EXPECT_EQ(third.log, std::vector<std::string>());
  EXPECT_EQ(run.title(), "Quillset - C:\\p.qsp");
  EXPECT_EQ(setting(box.os(), "toopen"), "");
  EXPECT_EQ(setting(box.os(), "started"), "yes");
}

// A backup recovered after a crash remembers its project's file: the title
// names it, and the first Save asks once before writing over it.
TEST_F(EditorTest, RecoveredBackupKeepsItsProjectPath) {
  editor->initialise();
  add_file(project().install_root(), "src/a.txt");
  prompter.files = {"C:\\p.qsp"};
  editor->save();
  add_file(project().install_root(), "src/b.txt");
  editor->save_backup();
  const std::string saved = testing::Sandbox::read(box.root() + "/C/p.qsp");

  ScriptedPrompter second;
  Editor run(box.os(), second, view);  // the crash marker is still set
  second.answers = {Answer::yes};
  run.initialise();
  EXPECT_EQ(run.title(), "Quillset - C:\\p.qsp (recovered)");
  EXPECT_EQ(run.project().file_count(), 2);
  EXPECT_EQ(testing::Sandbox::read(box.root() + "/C/p.qsp"), saved);
  second.answers = {Answer::cancel};
  run.save();
  EXPECT_EQ(testing::Sandbox::read(box.root() + "/C/p.qsp"), saved);
  second.answers = {Answer::yes};
  run.save();
  run.save();
  EXPECT_EQ(second.count("ask:" + std::string(text::kSaveRecovered) + "C:\\p.qsp"), 2);
  EXPECT_EQ(second.count("save:"), 0);
  EXPECT_EQ(run.title(), "Quillset - C:\\p.qsp");
  EXPECT_NE(testing::Sandbox::read(box.root() + "/C/p.qsp").find("b.txt"), std::string::npos);
}

TEST_F(EditorTest, CancelledOrFailedSavesKeepTheProject) {
  add_file(project().install_root(), "src/a.txt");
  // Yes, then Cancel in the save dialog: New and Quit are cancelled.
  prompter.answers = {Answer::yes};
  prompter.files = {""};
  editor->new_project();
  EXPECT_EQ(project().file_count(), 1);
  prompter.answers = {Answer::yes};
  prompter.files = {""};
  EXPECT_FALSE(editor->quit());
  prompter.answers = {Answer::cancel};
  EXPECT_FALSE(editor->close());

  // A save that fails is reported and leaves path and title as they were.
  prompter.files = {"C:\\missing\\p.qsp"};
  editor->save_as();
  EXPECT_EQ(prompter.last_message(), std::string(text::kSaveFailed) + "C:\\missing\\p.qsp");
  EXPECT_EQ(project().current_path(), "");
  prompter.files = {"C:\\p.qsp"};
  editor->save();
  EXPECT_EQ(editor->title(), "Quillset - C:\\p.qsp");

  // A load that fails changes nothing; a cut-off file loads without its path.
  prompter.files = {"C:\\none.qsp"};
  editor->open_project();
  EXPECT_EQ(prompter.last_message(), std::string(text::kLoadFailed) + "C:\\none.qsp");
  EXPECT_EQ(project().file_count(), 1);
  EXPECT_EQ(project().current_path(), "C:\\p.qsp");
  std::string text = testing::Sandbox::read(box.root() + "/C/p.qsp");
  box.write("C/cut.qsp", text.substr(0, text.size() / 2));
  prompter.files = {"C:\\cut.qsp"};
  editor->open_project();
  EXPECT_EQ(project().current_path(), "");
  EXPECT_EQ(prompter.last_message(), std::string(text::kLoadIncomplete) + "C:\\cut.qsp");

  // New with No discards; the quitting run empties the crash marker.
  prompter.answers = {Answer::no};
  editor->new_project();
  EXPECT_EQ(project().file_count(), 0);
  box.os().registry_write_string(RegistryRoot::local_machine, kSettingsKey, "started", "yes");
  prompter.answers = {Answer::no};
  EXPECT_TRUE(editor->quit());
  EXPECT_EQ(setting(box.os(), "started"), "");
}

TEST(ProjectSave, AFailedWriteKeepsTheOldFile) {
  testing::Sandbox box;
  project::Project p;
  ASSERT_TRUE(project::save_project(p, box.os(), "C:\\p.qsp", "C:\\b.qspbak"));
  std::string before = testing::Sandbox::read(box.root() + "/C/p.qsp");
  p.settings().program_name = "Changed";
  p.set_current_path("");
  os::FaultOs faulty(box.os());
  faulty.arm(os::FaultOs::kWrite, 1, os::Error::disk_full);
  EXPECT_FALSE(project::save_project(p, faulty, "C:\\p.qsp", "C:\\b.qspbak"));
  EXPECT_EQ(testing::Sandbox::read(box.root() + "/C/p.qsp"), before);
  EXPECT_EQ(p.current_path(), "");
  EXPECT_FALSE(box.os().file_status("C:\\p.qsp.saving").exists);
}

// Records statuses; slows the file loop down so a test can act during it.
class SlowReport : public project::BuildReport {
 public:
  void set_status(const std::string& text) override {
    {
      std::lock_guard<std::mutex> lock(mutex);
      statuses.push_back(text);
    }
    if (text.compare(0, 11, "Adding file") == 0) {
      adding = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    }
  }
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool saw(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex);
    for (const std::string& s : statuses) {
      if (s == text) return true;
    }
    return false;
  }
  std::mutex mutex;
  std::vector<std::string> statuses;
  std::atomic<bool> adding{false};
  int delay_ms = 0;
};

TEST_F(EditorTest, BuildStartsAsksBeforeReplacingAndCloseAbortsIt) {
  box.write("C/Quill/ext.dat", "STUB");
  box.write("C/Quill/setup.JPG", "JPG");
  for (int i = 0; i < 30; ++i) add_file(project().install_root(), "src/f" + std::to_string(i) + ".txt");
  editor->set_setting(SettingId::output, "C:\\setup.exe");
  box.write("C/setup.exe", "old");
  SlowReport report;
  prompter.answers = {Answer::no};
  editor->build_button(report);
  EXPECT_FALSE(editor->building());
  EXPECT_EQ(testing::Sandbox::read(box.root() + "/C/setup.exe"), "old");
  EXPECT_TRUE(box.os().file_status("C:\\Quill\\ProjectBackup.qspbak").exists);

  prompter.answers = {Answer::yes};
  editor->build_button(report);
  editor->wait_for_build();
  editor->build_finished(project::BuildOutcome::done);
  EXPECT_TRUE(report.saw("Done!"));
  EXPECT_GT(box.os().file_status("C:\\setup.exe").size, 4u);

  // Closing during a build: File commands wait, the close box aborts the
  // build and returns once it has removed the package and its archive.
  SlowReport slow;
  slow.delay_ms = 20;
  prompter.answers = {Answer::yes};
  bool finished = false;
  editor->build_button(slow, [&](project::BuildOutcome outcome) { finished = outcome == project::BuildOutcome::aborted; });
  ASSERT_EQ(editor->build_page().button_caption, "Abort build");
  while (!slow.adding) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::size_t asked = prompter.log.size();
  editor->new_project();
  EXPECT_EQ(prompter.log.size(), asked);
  prompter.answers = {Answer::no};
  EXPECT_TRUE(editor->close());
  EXPECT_FALSE(editor->building());
  EXPECT_TRUE(finished);
  EXPECT_TRUE(slow.saw("Build aborted!"));
  EXPECT_FALSE(box.os().file_status("C:\\setup.exe").exists);
  EXPECT_FALSE(box.os().file_status("C:\\setup.exe.zip").exists);
}

// A missing source is no silent success: the status counts the warnings and
// one box lists them all.
TEST_F(EditorTest, BuildWarningsAreCountedAndListed) {
  box.write("C/Quill/ext.dat", "STUB");
  box.write("C/Quill/setup.JPG", "JPG");
  add_file(project().install_root(), "src/a.txt");
  add_file(project().install_root(), "src/b.txt");
  add_file(project().install_root(), "src/c.txt");
  editor->set_setting(SettingId::output, "C:\\setup.exe");
  SlowReport report;
  for (const char* gone : {"a.txt", "b.txt"}) {
    std::filesystem::remove(box.root() + "/src/" + gone);
    prompter.answers = {Answer::yes};
    editor->build_button(report);
    editor->wait_for_build();
    editor->build_finished(project::BuildOutcome::done);
  }
  EXPECT_TRUE(view.saw("status:Done! (1 warning)"));
  EXPECT_TRUE(view.saw("status:Done! (2 warnings)"));
  EXPECT_EQ(prompter.count("tell:"), 2);
  const std::string box_text = prompter.last_message();
  EXPECT_EQ(box_text.rfind(text::kBuildWarnings, 0), 0u);
  EXPECT_NE(box_text.find("/src/a.txt"), std::string::npos);
  EXPECT_NE(box_text.find("/src/b.txt"), std::string::npos);
  EXPECT_EQ(box_text.find("/src/c.txt"), std::string::npos);
}

}  // namespace
}  // namespace quill::editor
