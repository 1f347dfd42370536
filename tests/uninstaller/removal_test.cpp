// The removal engine over the in-memory machine: what goes, what stays, what
// the progress dialog is told.
#include "uninstaller/removal.h"

#include <nlohmann/json.hpp>

#include "common/text_file.h"
#include "tests/support/fault_os.h"

#include "tests/uninstaller/uninstall_fixture.h"

namespace quill::uninstaller {
namespace {

class RemovalTest : public UninstallFixture {
 protected:
  const std::string app = kApp;
  const std::string log_path = app + "\\uninstall.ini";
  std::string programs() { return os.special_folder(os::SpecialFolder::programs); }
  std::string desktop() { return os.special_folder(os::SpecialFolder::desktop); }
};

TEST_F(RemovalTest, TypicalInstallationIsRemovedWithItsLogAndKey) {
  const std::string group = programs() + "\\Tool";
  const std::vector<std::string> entries = {
      app + "\\Tool.exe",        app + "\\data\\a.dat", app + "\\data\\deep\\b.dat",
      app + "\\Uninstall.exe",   group,                 group + "\\Tool.lnk",
      "",                        desktop() + "\\Tool.lnk", log_path,
      app + "\\"};
  for (const std::string& file : {entries[0], entries[1], entries[2], entries[3], entries[5],
                                  entries[7]}) {
    write_file(file);
  }
  std::vector<std::string> lines = {"Tool"};
  lines.insert(lines.end(), entries.begin(), entries.end());
  lines.push_back("||||");
  write_log(log_path, lines);
  add_uninstall_key("Tool");
  add_uninstall_key("Other Tool");

  uninstall(log_path);

  for (const std::string& entry : entries) {
    if (!entry.empty()) {
      EXPECT_FALSE(exists(entry)) << entry;
    }
  }
  EXPECT_FALSE(exists(app + "\\data"));
  EXPECT_TRUE(exists(programs()));
  EXPECT_TRUE(exists(desktop()));
  EXPECT_TRUE(exists("C:\\Program Files"));
  EXPECT_FALSE(has_uninstall_key("Tool"));
  EXPECT_TRUE(has_uninstall_key("Other Tool"));

  // One line per entry but the last, then "Done!"; the bar runs 0 .. N-1.
  ASSERT_EQ(observer.lines.size(), entries.size());
  EXPECT_EQ(observer.lines[0], "Removing " + entries[0] + "...");
  EXPECT_EQ(observer.lines[6], "Removing ...");
  EXPECT_EQ(observer.lines.back(), "Done!");
  EXPECT_EQ(observer.range, static_cast<long>(entries.size() - 1));
  std::vector<std::size_t> expected_positions;
  for (std::size_t i = 0; i < entries.size(); ++i) expected_positions.push_back(i);
  EXPECT_EQ(observer.positions, expected_positions);
  EXPECT_EQ(observer.finished_calls, 1);
}

TEST_F(RemovalTest, FileInUseGoesIntoThePrivateWorkingFolderOrFromWhereItIs) {
  // The waiting launcher keeps Uninstall.exe in use: it cannot be deleted.
  // Run as a working copy, the removal moves it into the copy's folder,
  // which only this run can write; otherwise it is named for the next start
  // where it is, with the folders that hold it.
  const std::string work = os.temp_folder() + "Quillclean-0123456789abcdef";
  for (const bool working_copy : {false, true}) {
    SCOPED_TRACE(working_copy ? "working copy" : "elsewhere");
    os.set_module_path(working_copy ? work + "\\uninstall.exe" : "C:\\Other\\uninstall.exe");
    if (working_copy) make_folders(work);
    write_file(app + "\\bin\\Uninstall.exe");
    write_file(app + "\\tool.exe");
    write_log(log_path, {"Tool", app + "\\bin\\Uninstall.exe", app + "\\tool.exe", log_path,
                         app + "\\", "||||"});
    UninstallLog log;
    ASSERT_EQ(read_uninstall_log(os, log_path, &log), LogStatus::ok);
    const std::size_t logged = os.shell_log().size();
    os::FaultOs faulty(os);
    faulty.arm(os::FaultOs::kDeleteFile, 1, os::Error::access_denied);
    run_removal(faulty, log, FolderGuard(faulty), observer);
    EXPECT_FALSE(exists(app + "\\tool.exe"));
    const std::vector<std::string> log_now = os.shell_log();
    const std::vector<std::string> scheduled(log_now.begin() + logged, log_now.end());
    if (working_copy) {
      const std::string moved = work + "\\in-use-0-Uninstall.exe";
      EXPECT_FALSE(exists(app));
      EXPECT_TRUE(exists(moved));
      EXPECT_EQ(scheduled, (std::vector<std::string>{"later|" + moved, "later|" + work + "\\uninstall.exe",
                                                          "later|" + work}));
    } else {
      EXPECT_TRUE(exists(app + "\\bin\\Uninstall.exe"));
      EXPECT_EQ(scheduled, (std::vector<std::string>{"later|" + app + "\\bin\\Uninstall.exe",
                                                          "later|C:\\PROGRAM FILES\\TOOL\\BIN",
                                                          "later|C:\\PROGRAM FILES\\TOOL"}));
    }
  }
}

TEST_F(RemovalTest, FoldersNamedLikeShortNamesAreRemovedAndSwept) {
  const std::string folder = "C:\\Program Files\\My~1Tool";
  const std::string group = programs() + "\\Ab~2";
  for (const std::string& file : {folder + "\\tool.exe", folder + "\\sub~1\\a.dat",
                                  group + "\\Tool.lnk"}) {
    write_file(file);
  }
  write_log(folder + "\\uninstall.ini", {"Tool", folder + "\\tool.exe",
                                          folder + "\\sub~1\\a.dat", group,
                                          group + "\\Tool.lnk", folder + "\\uninstall.ini",
                                          folder + "\\", "||||"});
  uninstall(folder + "\\uninstall.ini");
  EXPECT_FALSE(exists(group));
  EXPECT_FALSE(exists(folder));
  EXPECT_TRUE(exists(programs()));
}

TEST_F(RemovalTest, OneEntryIsSweptWithoutAListLine) {
  make_folders(app + "\\empty\\below");
  // The log lies elsewhere: the uninstall entry vouches for the folder.
  add_uninstall_key("Tool", app, "C:\\Logs\\Uninstall.exe");
  write_log("C:\\Logs\\uninstall.ini", {"Tool", app + "\\", "||||"});
  uninstall("C:\\Logs\\uninstall.ini");
  EXPECT_FALSE(exists(app));
  EXPECT_EQ(observer.lines, std::vector<std::string>{"Done!"});
  EXPECT_EQ(observer.range, 0);
  EXPECT_EQ(observer.positions, std::vector<std::size_t>{0});
}

TEST_F(RemovalTest, NoEntriesStillDeletesTheKeyAndFinishes) {
  add_uninstall_key("Tool");
  write_log("C:\\Logs\\uninstall.ini", {"Tool", "||||"});
  uninstall("C:\\Logs\\uninstall.ini");
  EXPECT_FALSE(has_uninstall_key("Tool"));
  EXPECT_EQ(observer.lines, std::vector<std::string>{"Done!"});
  EXPECT_EQ(observer.finished_calls, 1);
}

TEST_F(RemovalTest, TheRecordTellsWhatWentWhatStayedAndTheEntry) {
  const std::string link = desktop() + "\\Tool.lnk";
  write_file(app + "\\Tool.exe");
  write_file(link);
  write_file("C:\\Elsewhere\\x.txt");
  write_log(log_path, {"Tool", app + "\\Tool.exe", app + "\\gone.txt", link, "C:\\Elsewhere\\x.txt",
                       log_path, app + "\\", "||||"});
  add_uninstall_key("Tool");
  UninstallLog log;
  ASSERT_EQ(read_uninstall_log(os, log_path, &log), LogStatus::ok);
  {
    RunLog record(os, "C:\\removal.jsonl");
    FolderGuard guard(os);
    run_removal(os, log, guard, observer, true, &record);
  }
  std::string text;
  ASSERT_TRUE(read_text_file(os, "C:\\removal.jsonl", 1 << 20, &text));
  std::vector<std::string> seen;
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    const nlohmann::json line = nlohmann::json::parse(text.substr(at, end - at));
    seen.push_back(line.value("event", "?") + " " + line.value("action", "?") + " " +
                   line.value("path", line.value("name", "?")));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "file removed " + app + "\\Tool.exe", "file missing " + app + "\\gone.txt",
                      "shortcut removed " + link, "file outside C:\\Elsewhere\\x.txt",
                      "file removed " + log_path, "folder removed " + app + "\\",
                      "uninstall_entry deleted Tool"}));
}

TEST_F(RemovalTest, EmptyMissingAndRelativeEntriesRemoveNothing) {
  write_file(app + "\\keep.txt");
  write_file("C:\\keep.txt");
  write_log(log_path, {"Tool", "", app + "\\gone.txt", "keep.txt", ".", "C:\\Elsewhere\\", "||||"});
  uninstall(log_path);
  EXPECT_TRUE(exists(app + "\\keep.txt"));
  EXPECT_TRUE(exists("C:\\keep.txt"));
  EXPECT_EQ(observer.lines,
            (std::vector<std::string>{"Removing ...", "Removing " + app + "\\gone.txt...",
                                      "Removing keep.txt...", "Removing ....", "Done!"}));
}

TEST_F(RemovalTest, ReadOnlyFilesGoOnlyInsideAListedFolder) {
  const std::string group = programs() + "\\Tool";
  write_file(group + "\\Read me.lnk");
  os.set_read_only(group + "\\Read me.lnk", true);
  write_file(app + "\\locked.dat");
  os.set_read_only(app + "\\locked.dat", true);
  write_log(log_path, {"Tool", group, app + "\\locked.dat", log_path, app + "\\", "||||"});
  uninstall(log_path);
  EXPECT_FALSE(exists(group));
  EXPECT_TRUE(exists(app + "\\locked.dat"));
  EXPECT_TRUE(os.file_status(app + "\\locked.dat").read_only);
  EXPECT_TRUE(exists(app));
}

TEST_F(RemovalTest, SweepStopsAtTheFirstFileInListingOrder) {
  // Listing order is alphabetical: "A" before "M.txt" before "Z".
  make_folders(app + "\\A\\inner");
  write_file(app + "\\M.txt");
  make_folders(app + "\\Z");
  make_folders(app + "\\B\\C");
  write_file(app + "\\B\\C\\user.doc");
  make_folders(app + "\\B\\D");
  sweep_folder(os, app, "", true);
  EXPECT_FALSE(exists(app + "\\A"));
  EXPECT_TRUE(exists(app + "\\M.txt"));
  EXPECT_TRUE(exists(app + "\\Z"));
  // A user's file keeps its folder and every folder above it; the sweep of
  // the parent goes on with its next entry.
  EXPECT_TRUE(exists(app + "\\B\\C\\user.doc"));
  EXPECT_FALSE(exists(app + "\\B\\D"));
  EXPECT_TRUE(exists(app));
}

TEST_F(RemovalTest, NamesWithALeadingFullStopAreNeverSwept) {
  write_file(app + "\\sub\\.settings");
  make_folders(app + "\\.cache");
  make_folders(app + "\\other");
  sweep_folder(os, app + "\\", "", true);
  EXPECT_TRUE(exists(app + "\\sub\\.settings"));
  EXPECT_TRUE(exists(app + "\\.cache"));
  EXPECT_FALSE(exists(app + "\\other"));
  EXPECT_TRUE(exists(app));
}

TEST_F(RemovalTest, RegistryNamesThatWouldReachOtherKeys) {
  add_uninstall_key("Other");
  add_uninstall_key("Other\\Nested");
  write_log(log_path, {"", "||||"});
  uninstall(log_path);
  EXPECT_TRUE(os.registry_key_exists(os::RegistryRoot::local_machine, package::kUninstallKey));
  EXPECT_EQ(observer.lines.back(), "Done!");

  write_log(log_path, {"Other\\Nested", "||||"});
  uninstall(log_path);
  EXPECT_TRUE(has_uninstall_key("Other\\Nested"));
  EXPECT_TRUE(has_uninstall_key("Other"));

  // A name cut at the line limit must not delete the key it happens to match.
  const std::string cut(259, 'K');
  add_uninstall_key(cut);
  write_log(log_path, {cut + "rest", "||||"});
  uninstall(log_path);
  EXPECT_TRUE(has_uninstall_key(cut));
}

TEST_F(RemovalTest, MissingKeyStillEndsWithDone) {
  write_log(log_path, {"Never Registered", log_path, app + "\\", "||||"});
  uninstall(log_path);
  EXPECT_EQ(observer.lines.back(), "Done!");
  EXPECT_EQ(observer.finished_calls, 1);
  EXPECT_FALSE(exists(app));
}

TEST_F(RemovalTest, DamagedEntryIsShownButNotActedOn) {
  // Cut at the line limit, the line names an existing folder.
  const std::string folder = app + "\\" + std::string(259 - app.size() - 1, 'x');
  ASSERT_EQ(folder.size(), 259u);
  write_file(folder + "\\keep.dat");
  write_log(log_path, {"Tool", folder + "\\keep.dat", "C:\\Other\\", "||||"});
  uninstall(log_path);
  EXPECT_TRUE(exists(folder + "\\keep.dat"));
  ASSERT_EQ(observer.lines.size(), 2u);
  EXPECT_LE(observer.lines[0].size(), 259u);
}

TEST_F(RemovalTest, ProtectedFoldersSurviveAsTreesAndAsSweepBase) {
  std::vector<std::string> folders;
  for (os::SpecialFolder which :
       {os::SpecialFolder::program_files, os::SpecialFolder::windows, os::SpecialFolder::system,
        os::SpecialFolder::desktop, os::SpecialFolder::programs, os::SpecialFolder::app_data,
        os::SpecialFolder::profile}) {
    folders.push_back(os.special_folder(which));
  }
  std::string temp = os.temp_folder();
  folders.push_back(temp.substr(0, temp.size() - 1));
  for (const std::string& folder : folders) write_file(folder + "\\precious.dat");
  make_folders(folders[3] + "\\empty");  // would go in a sweep of the desktop

  // Every protected folder, written the ways a damaged log might write it,
  // plus the drive root and folders that hold protected ones.
  std::vector<std::string> entries = {"C:\\", "C:", "c:/", "C:\\Users", "C:\\users\\",
                                      "C:\\WINDOWS.", "C:\\\\Windows", "C:/Program Files/",
                                      "C:\\Program Files\\Tool\\..\\..", "C:\\PROGRA~1",
                                      "\\\\?\\C:\\Windows"};
  for (const std::string& folder : folders) {
    entries.push_back(folder);
    entries.push_back(folder + "\\");
  }
  for (const std::string& last : entries) {
    std::vector<std::string> lines = {"Tool"};
    lines.insert(lines.end(), entries.begin(), entries.end());
    lines.push_back(last);
    lines.push_back("||||");
    write_log("C:\\Logs\\uninstall.ini", lines);
    uninstall("C:\\Logs\\uninstall.ini");
    for (const std::string& folder : folders) {
      ASSERT_TRUE(exists(folder + "\\precious.dat")) << folder << " after " << last;
    }
    ASSERT_TRUE(exists(folders[3] + "\\empty")) << last;
  }
}

TEST_F(RemovalTest, ListedFolderBelowAProtectedOneIsRemovedAsATree) {
  const std::string group = programs() + "\\Tool Group";
  write_file(group + "\\sub\\Readme.lnk");
  write_file(group + "\\Tool.lnk");
  write_log(log_path, {"Tool", group + "\\", group + "\\Tool.lnk", app + "\\", "||||"});
  uninstall(log_path);
  EXPECT_FALSE(exists(group));
  EXPECT_TRUE(exists(programs()));
}

TEST_F(RemovalTest, OtherListedFoldersGoOnlyWhenEmpty) {
  // Folders a damaged log may list; none is a program group.
  const std::vector<std::string> full = {app + "\\data", app + "\\Data Two\\", programs() + " Two"};
  for (const std::string& folder : full) write_file(folder + "\\keep.dat");
  make_folders(app + "\\Empty\\Inner");
  make_folders("C:\\Outside\\Empty");
  std::vector<std::string> lines = {"Tool"};
  lines.insert(lines.end(), full.begin(), full.end());
  lines.insert(lines.end(), {app + "\\Empty\\Inner", app + "\\Empty", "C:\\Outside\\Empty",
                             "C:\\Outside", app + "\\", "||||"});
  write_log(log_path, lines);
  uninstall(log_path);
  for (const std::string& folder : full) EXPECT_TRUE(exists(folder + "\\keep.dat")) << folder;
  EXPECT_FALSE(exists(app + "\\Empty"));
  EXPECT_TRUE(exists("C:\\Outside\\Empty"));  // not the installation's
}

// The log is text that anyone who can write its folder may change: an
// entry counts only below the install folder (when the log lies in it, or
// the uninstall entry vouches for it) or in the places the installer puts
// shortcuts, groups and the log copy. The rest is shown and skipped.
TEST_F(RemovalTest, OnlyEntriesInTheInstallationsPlacesAreActedOn) {
  const std::string group = programs() + "\\Tool";
  const std::vector<std::string> outside = {
      "C:\\Users\\User\\Documents\\keep.dat", "C:\\Program Files\\Other\\keep.dat",
      "C:\\Windows\\System32\\keep.dll",      desktop() + "\\notes.txt",
      programs() + "\\readme.txt",            "C:\\Logs\\other.ini",
      "C:\\Program Files\\Other\\uninstall.ini"};
  struct Case {
    const char* what;
    std::string log;          // where the removal reads the log
    std::string last;         // the log's last entry
    std::string location;     // the uninstall entry's InstallLocation ("": no entry)
    std::string uninstaller;  // and its uninstaller
    bool installed_go;        // the files below the install folder go
  };
  const std::vector<Case> cases = {
      {"log in the install folder", log_path, app + "\\", "", "", true},
      {"log elsewhere, vouched for", "C:\\Logs\\uninstall.ini", app + "\\", app,
       "C:\\Logs\\Uninstall.exe", true},
      {"log elsewhere, no entry", "C:\\Logs\\uninstall.ini", app + "\\", "", "", false},
      {"entry names another place", "C:\\Logs\\uninstall.ini", app + "\\", "C:\\Program Files\\Other",
       "C:\\Logs\\Uninstall.exe", false},
      {"entry's uninstaller elsewhere", "C:\\Logs\\uninstall.ini", app + "\\", app,
       "C:\\Other\\Uninstall.exe", false},
      {"last entry is another folder", log_path, "C:\\Program Files\\Other\\", "", "", false},
      {"last entry holds every program", log_path, "C:\\Program Files\\", "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Each case lays the machine out again; the last one's removal deleted
    // the uninstall entry it read.
    for (const std::string& file : outside) write_file(file, "not the installation's");
    const std::vector<std::string> own = {app + "\\tool.exe", app + "\\data\\a.dat",
                                          group + "\\Tool.lnk", desktop() + "\\Tool.lnk"};
    for (const std::string& file : own) write_file(file);
    if (!c.location.empty()) add_uninstall_key("Tool", c.location, c.uninstaller);
    write_file("C:\\Logs\\Uninstall.exe");
    std::vector<std::string> lines = {"Tool", own[0], own[1]};
    lines.insert(lines.end(), outside.begin(), outside.end());
    lines.insert(lines.end(), {"C:\\Logs\\Uninstall.exe", group, own[2], "", own[3], c.log, c.last,
                               "||||"});
    write_log(c.log, lines);
    observer.lines.clear();
    uninstall(c.log);

    for (const std::string& file : outside) EXPECT_TRUE(exists(file)) << file;
    EXPECT_FALSE(exists(group)) << "the program group";
    EXPECT_FALSE(exists(own[3])) << "the desktop shortcut";
    EXPECT_FALSE(exists(c.log)) << "the log read";
    EXPECT_NE(exists(own[0]), c.installed_go);
    EXPECT_NE(exists(own[1]), c.installed_go);
    EXPECT_NE(exists("C:\\Logs\\Uninstall.exe"), c.installed_go && c.log != log_path)
        << "the registered uninstaller";
    // Every entry but the last is shown, acted on or not.
    EXPECT_EQ(observer.lines.size(), lines.size() - 2);
  }
}

TEST_F(RemovalTest, AnySingleFailureSparesUnlistedFilesAndASecondRunFinishes) {
  write_file("C:\\Program Files\\Other\\keep.dat");
  add_uninstall_key("Other");
  for (std::uint64_t n = 1;; ++n) {
    const std::string name = "Tool" + std::to_string(n);
    const std::string folder = "C:\\Program Files\\" + name;
    const std::string group = programs() + "\\" + name;
    const std::vector<std::string> listed = {folder + "\\a.exe", folder + "\\sub\\b.dat",
                                             group + "\\x.lnk", folder + "\\uninstall.ini"};
    for (const std::string& file : listed) write_file(file);
    os.set_read_only(group + "\\x.lnk", true);
    write_file(folder + "\\sub\\mine.txt");
    write_log(folder + "\\uninstall.ini", {name, listed[0], listed[1], group, listed[2],
                                            listed[3], folder + "\\", "||||"});
    add_uninstall_key(name);
    UninstallLog log;
    ASSERT_EQ(read_uninstall_log(os, folder + "\\uninstall.ini", &log), LogStatus::ok);

    os::FaultOs faulty(os);
    faulty.arm(os::FaultOs::kAll, n);
    RecordingObserver first;
    run_removal(faulty, log, FolderGuard(faulty), first);
    const bool triggered = faulty.triggered();
    ASSERT_EQ(first.lines.back(), "Done!") << n;
    ASSERT_TRUE(exists(folder + "\\sub\\mine.txt")) << n;
    ASSERT_TRUE(exists("C:\\Program Files\\Other\\keep.dat")) << n;
    ASSERT_TRUE(has_uninstall_key("Other")) << n;

    RecordingObserver second;
    run_removal(os, log, FolderGuard(os), second);
    for (const std::string& file : listed) ASSERT_FALSE(exists(file)) << n << " " << file;
    ASSERT_FALSE(exists(group)) << n;
    ASSERT_FALSE(has_uninstall_key(name)) << n;
    ASSERT_TRUE(exists(folder + "\\sub\\mine.txt")) << n;
    if (!triggered) {
      // Every operation of the run was made to fail once.
      EXPECT_GT(n, 10u);
      break;
    }
  }
}

TEST(RemovingLine, LongEntriesKeepTheirEndWithinTheLineLimit) {
  const std::string fits = "C:\\" + std::string(244, 'f');  // 247 characters
  EXPECT_EQ(removing_line(fits), "Removing " + fits + "...");
  const std::string path = "C:\\" + std::string(240, 'a') + "\\name.txt";
  const std::string line = removing_line(path);
  EXPECT_EQ(line.size(), 259u);
  EXPECT_EQ(line.compare(0, 12, "Removing ..."), 0);
  EXPECT_NE(line.find("\\name.txt..."), std::string::npos);
}

}  // namespace
}  // namespace quill::uninstaller
