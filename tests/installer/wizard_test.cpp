// The wizard's step machine: skips, validations, texts and visible controls.
#include "installer/wizard.h"

#include "installer/cancel.h"
#include "installer/install_log.h"
#include "installer_fixture.h"

#include <thread>

namespace quill::installer {
namespace {

class WizardTest : public test::InstallerTest {
 protected:
  WizardData data() {
    WizardData d;
    d.welcome_text = "Welcome!";
    d.title = "Tool Setup";
    d.licence_text = "Terms";
    d.install_folder = "C:\\Program Files\\Tool";
    d.megabytes_needed = 10;
    return d;
  }
  static std::string text(const Wizard& w, int id) { return w.view().find(id)->text; }
  static bool visible(const Wizard& w, int id) { return w.view().find(id)->visible; }
};

TEST_F(WizardTest, WalksForwardAndBackThroughEveryStep) {
  os().set_free_megabytes(100);
  WizardData d = data();
  d.has_shortcuts_file = true;
  d.uses_desktop = true;
  Wizard w(os(), d);
  w.open();
  EXPECT_EQ(w.step(), Step::welcome);
  EXPECT_EQ(w.view().window_title, "Tool Setup - Welcome");
  EXPECT_EQ(text(w, control::text_box), "Welcome!");
  EXPECT_EQ(text(w, control::back), "Exit");
  w.next();
  EXPECT_EQ(text(w, control::next), "I Agree");
  EXPECT_EQ(text(w, control::back), "I Disagree");
  EXPECT_TRUE(visible(w, control::licence_prompt));
  w.next();
  EXPECT_EQ(w.step(), Step::folder);
  EXPECT_EQ(text(w, control::disk_space), "Disk space needed: 10 MB\nAvailable disk space: 100 MB");
  w.next();
  EXPECT_EQ(w.step(), Step::shortcuts);
  EXPECT_TRUE(visible(w, control::desktop));
  EXPECT_FALSE(visible(w, control::start_menu));
  EXPECT_FALSE(visible(w, control::quick_launch));
  w.next();
  EXPECT_EQ(text(w, control::next), "Install");
  Outcome install = w.next();
  EXPECT_EQ(install.action, Action::install);
  EXPECT_FALSE(install.small_window);
  EXPECT_FALSE(visible(w, control::next));
  EXPECT_FALSE(visible(w, control::back));
  EXPECT_TRUE(visible(w, control::cancel));
  EXPECT_TRUE(visible(w, control::progress_plain));
  EXPECT_FALSE(visible(w, control::progress_smooth));
  // The installing and finished steps cannot be left backwards; closing while installing asks.
  w.back();
  EXPECT_EQ(w.step(), Step::installing);
  EXPECT_EQ(w.close().action, Action::ask_cancel);
  EXPECT_EQ(w.cancel().action, Action::ask_cancel);
  EXPECT_EQ(w.install_finished().action, Action::finished);
  EXPECT_EQ(w.step(), Step::finished);
  EXPECT_EQ(text(w, control::next), "Done");
  EXPECT_EQ(text(w, control::summary), "Installation finished!\n\nClick done to exit.");
  EXPECT_TRUE(w.back().warning.empty());
  EXPECT_EQ(w.step(), Step::finished);
  EXPECT_EQ(w.next().action, Action::done);
}

TEST_F(WizardTest, StepsWithoutTextAreSkippedAndExitNamesTheFirstStep) {
  WizardData d = data();
  d.welcome_text.clear();
  d.licence_text.clear();
  Wizard w(os(), d);
  w.open();
  EXPECT_EQ(w.step(), Step::folder);
  EXPECT_EQ(text(w, control::back), "Exit");
  EXPECT_EQ(w.back().action, Action::close);

  d = data();
  d.welcome_text.clear();
  Wizard licence_only(os(), d);
  licence_only.open();
  EXPECT_EQ(licence_only.step(), Step::licence);
  EXPECT_EQ(text(licence_only, control::back), "Exit");
  EXPECT_EQ(licence_only.back().action, Action::close);

  Wizard both(os(), data());
  both.open();
  both.next();
  both.back();
  EXPECT_EQ(both.step(), Step::welcome);  // "I Disagree" returns to the welcome step
}

TEST_F(WizardTest, WithoutShortcutListTheShortcutStepIsSkippedBothWays) {
  os().set_free_megabytes(100);
  Wizard w(os(), data());
  w.open();
  w.next();
  w.next();
  w.next();
  EXPECT_EQ(w.step(), Step::summary);
  EXPECT_EQ(text(w, control::summary), "The files will be installed to:\nC:\\Program Files\\Tool");
  w.back();
  EXPECT_EQ(w.step(), Step::folder);
}

TEST_F(WizardTest, FolderValidationReturnsToTheFolderStep) {
  WizardData d = data();
  d.welcome_text.clear();
  d.licence_text.clear();
  Wizard w(os(), d);
  w.open();
  os().set_free_megabytes(10);  // exactly what is needed: refused
  Outcome out = w.next();
  EXPECT_EQ(w.step(), Step::folder);
  EXPECT_EQ(out.warning,
            "There isn't enough free disk space on drive C.\nPlease free some disk space and try again.");
  os().set_free_megabytes(11);
  EXPECT_TRUE(w.next().warning.empty());
  EXPECT_EQ(w.step(), Step::summary);

  w.back();
  w.set_install_folder("C");
  EXPECT_EQ(w.next().warning, "You have to enter a valid install path before continuing.");
  // A network path names no drive: nothing is available, even with free space.
  w.set_install_folder("\\\\server\\share");
  EXPECT_FALSE(w.next().warning.empty());
  EXPECT_EQ(w.megabytes_available(), 0u);
  EXPECT_EQ(w.step(), Step::folder);

  // Folders that would install nothing, or nowhere the uninstaller can
  // judge (a drive's root among them), are refused here; '/' counts as '\'.
  for (const char* refused : {"Tool", "C:Tool", "C:\\Apps\\..\\Tool", "C:\\A<B",
                              "C:\\Apps\\\\Tool", "C:\\Apps:x", "C:\\", "D:/"}) {
    w.set_install_folder(refused);
    EXPECT_EQ(w.next().warning, unusable_folder_message(refused)) << refused;
    EXPECT_EQ(w.step(), Step::folder);
  }
  w.set_install_folder("C:/Apps/Tool");
  EXPECT_TRUE(w.next().warning.empty());
  EXPECT_EQ(w.step(), Step::summary);
  EXPECT_EQ(unusable_folder_message("Tool"),
            "The folder Tool cannot be used for the installation.\n"
            "Please enter a full path such as C:\\Program Files\\Tool and try again.");
}

TEST_F(WizardTest, TimerRecomputesOnlyWhenTheFolderChanges) {
  os().set_free_megabytes(50);
  Wizard w(os(), data());
  w.open();
  EXPECT_FALSE(w.timer_tick());
  w.set_install_folder("\\\\server\\x");
  EXPECT_TRUE(w.timer_tick());
  EXPECT_EQ(w.megabytes_available(), 0u);
  w.set_install_folder(std::string(400, 'x'));
  EXPECT_EQ(w.install_folder().typed().size(), kMaxPathLength);
}

TEST_F(WizardTest, SummaryListsTickedAndUsedLocations) {
  os().set_free_megabytes(100);
  WizardData d = data();
  d.welcome_text.clear();
  d.licence_text.clear();
  d.has_shortcuts_file = true;
  d.install_folder = "D:\\Pref";
  const std::string head = "The files will be installed to:\nD:\\Pref\n\nShortcuts to create:\n";

  Wizard none_used(os(), d);  // only the terminating record: no box, no line
  none_used.open();
  none_used.next();
  EXPECT_FALSE(visible(none_used, control::desktop));
  EXPECT_EQ(none_used.summary_text(), head);

  d.uses_desktop = d.uses_start_menu = d.uses_quick_launch = true;
  Wizard all(os(), d);
  all.open();
  EXPECT_EQ(all.summary_text(),
            head + "- In the start menu.\n- On the desktop.\n- On the quick start-menu.\n");
  all.set_ticked(control::desktop, false);
  all.set_ticked(control::start_menu, false);
  all.set_ticked(control::quick_launch, false);
  EXPECT_EQ(all.summary_text(), head + "None.");
}

TEST_F(WizardTest, SmallWindowAndSmoothBar) {
  os().set_free_megabytes(100);
  WizardData d = data();
  d.welcome_text.clear();
  d.licence_text.clear();
  d.small_window = true;
  d.progress_style = 1;
  Wizard w(os(), d);
  w.open();
  w.next();
  Outcome out = w.next();
  EXPECT_TRUE(out.small_window);
  EXPECT_TRUE(visible(w, control::progress_smooth));
  Placement p = small_window_placement(1024, 768, 300, 60);
  EXPECT_EQ(p.x, 362);
  EXPECT_EQ(p.y, 546);
}

TEST_F(WizardTest, InstallEndedClosesWithTheBoxOfItsResult) {
  os().set_free_megabytes(100);
  struct Case {
    InstallResult result;
    bool closed, damaged, warned, finished;
  };
  for (const Case& c : {Case{InstallResult::finished, false, false, false, true},
                        Case{InstallResult::damaged, true, true, false, false},
                        Case{InstallResult::unusable_folder, true, false, true, false},
                        Case{InstallResult::write_failed, true, false, false, false},
                        Case{InstallResult::cancelled, true, false, false, false}}) {
    WizardData d = data();
    d.welcome_text.clear();
    d.licence_text.clear();
    Wizard w(os(), d);
    w.open();
    w.next();
    ASSERT_EQ(w.next().action, Action::install);
    Outcome out = w.install_ended(c.result);
    const int result = static_cast<int>(c.result);
    const bool damaged = out.action == Action::close_damaged;
    EXPECT_EQ(out.action == Action::close || damaged, c.closed) << result;
    EXPECT_EQ(damaged, c.damaged) << result;
    EXPECT_EQ(out.action == Action::finished, c.finished) << result;
    EXPECT_EQ(out.warning, c.warned ? unusable_folder_message("C:\\Program Files\\Tool") : "")
        << result;
    EXPECT_EQ(w.step(), c.finished ? Step::finished : Step::closed) << result;
  }
}

TEST_F(WizardTest, InstallRequestTakesTheFolderOnceAndTheTickedBoxes) {
  package::InstallerData loaded;
  loaded.registered_name = "Tool";
  loaded.has_registered_name = true;
  loaded.install_entry_count = 7;
  Wizard w(os(), data());
  w.open();
  w.set_install_folder("D:/Apps/Tool");
  w.set_ticked(control::start_menu, false);
  RunLog log(os(), "C:\\setup.log");
  InstallRequest request = install_request(loaded, w, &log);
  EXPECT_EQ(request.install_folder.text(), "D:\\Apps\\Tool");
  EXPECT_TRUE(request.shortcuts.desktop);
  EXPECT_FALSE(request.shortcuts.start_menu);
  EXPECT_TRUE(request.shortcuts.quick_launch);
  EXPECT_EQ(request.registered_name, "Tool");
  EXPECT_TRUE(request.has_registered_name);
  EXPECT_EQ(request.install_entry_count, 7u);
  EXPECT_EQ(request.macros, &loaded.macros);
  EXPECT_EQ(request.log, &log);
  // Any style but the smooth one shows the plain bar.
  for (int style : {0, 1, 2, -1}) {
    WizardData d = data();
    d.progress_style = style;
    EXPECT_EQ(Wizard(os(), d).progress_bar(),
              style == 1 ? control::progress_smooth : control::progress_plain)
        << style;
  }
}

TEST(CancelFlagsTest, WaitsWhileTheQuestionIsOpen) {
  CancelFlags flags;
  EXPECT_FALSE(flags.wait_and_check());
  flags.question_opened();
  std::thread answer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    flags.question_answered(true);
  });
  EXPECT_TRUE(flags.wait_and_check(std::chrono::milliseconds(5)));
  answer.join();
  EXPECT_FALSE(flags.question_open());
}

}  // namespace
}  // namespace quill::installer
