// Version 2 over version 1: one transaction. With any one operation failing
// the machine holds the old install or the new one, never a mix; a line
// planted in the old log never turns into a deletion elsewhere.
#include <filesystem>
#include <map>

#include "installer/upgrade.h"
#include "installer_fixture.h"
#include "package/data_files.h"
#include "tests/support/fault_os.h"

namespace quill::installer {
namespace {

namespace fs = std::filesystem;

const char kFolder[] = "C:\\Program Files\\Tool";
const char kPlanted[] = "C:\\Elsewhere\\keep.txt";

struct Version {
  std::string number;
  std::vector<test::Entry> files;
  std::string file_info;
  std::string shortcuts;
};

const Version kOne{"1.0.9",
                   {{"a.txt", "a one"}, {"b.txt", "b one"}, {"Uninstall.exe", "U1"}},
                   "a.txt|%install path%\r\nb.txt|%install path%\\sub\r\nUninstall.exe|%install path%\r\n////\r\n",
                   "Tool\r\nB\r\n%install path%\\sub\\b.txt\r\n1\r\n////\r\n////\r\n////\r\n////\r\n"};
const Version kTwo{"1.0.10",
                   {{"a.txt", "a two"}, {"c.txt", "c two"}, {"Uninstall.exe", "U2"}},
                   "a.txt|%install path%\r\nc.txt|%install path%\r\nUninstall.exe|%install path%\r\n////\r\n",
                   ""};

// One sandbox machine, a package per version.
struct Machine {
  explicit Machine(const std::string& root_in) : root(root_in), posix(root) {}
  // Installs `version` through `os` (an upgrade when it finds version 1).
  InstallResult install(os::Os& os, const Version& version, std::uint64_t run,
                        InstallCallback* answers = nullptr) {
    const std::string payload = posix.temp_folder() + package::kPayloadFolderPrefix +
                                std::to_string(run) + "\\";
    fs::create_directories(posix.host_path(payload));
    test::write_zip(posix.host_path(payload + "tempfile.tmp"), version.files);
    const std::unique_ptr<os::File> archive = posix.open_file(payload + "tempfile.tmp", os::OpenMode::read);
    package::InstallerData data;
    data.has_registered_name = true;
    data.registered_name = "Tool";
    data.macros = {{"%version%", version.number, "", ""}};
    data.files.put("fileinfo.txt", version.file_info);
    if (!version.shortcuts.empty()) data.files.put("shortcuts.txt", version.shortcuts);
    data.files.put("uninstall.txt", "%install path%\\Uninstall.exe");
    data.archive.file = archive.get();
    data.payload_folder = payload;
    data.install_entry_count = version.files.size();
    InstalledProgram installed;
    const InstalledLookup lookup = find_installed_program(os, data, &installed);
    if (lookup == InstalledLookup::unreadable) return InstallResult::write_failed;
    InstallRequest request = make_install_request(
        data, InstallFolder(initial_folder_text(data.install_folders, "",
                                                lookup == InstalledLookup::found ? installed.folder : kFolder)),
        ShortcutChoice());
    if (lookup == InstalledLookup::found) request.installed = &installed;
    test::FixedAnswers callback(WriteAnswer::abort);
    const InstallResult result = run_install(os, request, answers ? *answers : callback);
    fs::remove_all(posix.host_path(payload));
    return result;
  }
  // Every file and folder outside the temporary folder and the registry,
  // with the uninstall entry's values.
  std::map<std::string, std::string> state() {
    std::map<std::string, std::string> seen;
    const std::string temp = posix.host_path(posix.temp_folder());
    for (const auto& item : fs::recursive_directory_iterator(root)) {
      const std::string path = item.path().string();
      if (path.compare(0, temp.size(), temp) == 0 || path.find("/registry") != std::string::npos) continue;
      seen[path.substr(root.size())] = item.is_directory() ? "<folder>" : test::read_host_file(path);
    }
    package::InstallerData data;
    data.has_registered_name = true;
    data.registered_name = "Tool";
    InstalledProgram installed;
    find_installed_program(posix, data, &installed);
    for (const auto& [name, value] : installed.strings) seen["entry " + name] = value;
    for (const auto& [name, value] : installed.dwords) seen["entry " + name] = std::to_string(value);
    return seen;
  }
  std::string root;
  os::PosixOs posix;
};

std::string sandbox() {
  char pattern[] = "/tmp/quill-upgrade-XXXXXX";
  EXPECT_NE(mkdtemp(pattern), nullptr);
  return pattern;
}

// Version 1 installed, with a line planted in its log that names a file
// outside the install folder.
void install_one(Machine& m) {
  ASSERT_EQ(m.install(m.posix, kOne, 1), InstallResult::finished);
  const std::string log = m.posix.host_path(std::string(kFolder) + "\\uninstall.ini");
  std::string text = test::read_host_file(log);
  text.insert(text.find("\r\n") + 2, std::string(kPlanted) + "\r\n");
  test::write_host_file(log, text);
  fs::create_directories(m.posix.host_path("C:\\Elsewhere"));
  test::write_host_file(m.posix.host_path(kPlanted), "mine");
}

TEST(UpgradeTest, UpgradeLeavesOnlyTheNewInstallOrTheOldOneUnderEveryFault) {
  // The upgrade that meets no fault: the state every finished run must reach.
  std::map<std::string, std::string> old_state, new_state;
  {
    Machine m(sandbox());
    install_one(m);
    old_state = m.state();
    os::FaultOs os(m.posix);
    ASSERT_EQ(m.install(os, kTwo, 2), InstallResult::finished);
    new_state = m.state();
    const std::vector<std::string> log = test::split_lines(
        test::read_host_file(m.posix.host_path(std::string(kFolder) + "\\uninstall.ini")));
    EXPECT_EQ(log, (std::vector<std::string>{"Tool", "C:\\Program Files\\Tool\\a.txt",
                                             "C:\\Program Files\\Tool\\c.txt",
                                             "C:\\Program Files\\Tool\\Uninstall.exe",
                                             "C:\\Program Files\\Tool\\uninstall.ini",
                                             "C:\\Program Files\\Tool\\", "||||"}));
    EXPECT_FALSE(m.posix.file_status(std::string(kFolder) + "\\sub").exists);
    EXPECT_FALSE(m.posix.file_status(m.posix.special_folder(os::SpecialFolder::common_programs) + "\\Tool").exists);
    EXPECT_EQ(new_state["entry DisplayVersion"], "1.0.10");
    EXPECT_EQ(test::read_host_file(m.posix.host_path(kPlanted)), "mine");
    test::remove_sandbox(m.root);
  }
  ASSERT_NE(old_state, new_state);
  ASSERT_EQ(old_state["entry DisplayVersion"], "1.0.9");

  std::uint64_t n = 1;
  for (; n < 3000; ++n) {
    Machine m(sandbox());
    install_one(m);
    os::FaultOs os(m.posix);
    os.arm(os::FaultOs::kAll, n, os::Error::disk_full);
    const InstallResult result = m.install(os, kTwo, 2);
    const bool triggered = os.triggered();
    SCOPED_TRACE("fault " + std::to_string(n) + ": " + (triggered ? os.fault_log().front() : "none"));
    const std::map<std::string, std::string> state = m.state();
    if (result == InstallResult::finished) {
      EXPECT_EQ(state, new_state);
    } else {
      EXPECT_EQ(state, old_state);
    }
    test::remove_sandbox(m.root);
    if (!triggered) break;
  }
  EXPECT_GT(n, 30u);
  EXPECT_LT(n, 3000u);
}

// The old version's own files are replaced without the question; a file it
// never installed is asked about as in any install.
TEST(UpgradeTest, OnlyFilesTheOldVersionDidNotInstallAreAskedAbout) {
  Machine m(sandbox());
  ASSERT_EQ(m.install(m.posix, kOne, 1), InstallResult::finished);
  test::write_host_file(m.posix.host_path(std::string(kFolder) + "\\c.txt"), "someone's");
  test::ScriptedCallback answers;
  answers.answers = {ReplaceAnswer::yes};
  ASSERT_EQ(m.install(m.posix, kTwo, 2, &answers), InstallResult::finished);
  EXPECT_EQ(answers.asked, std::vector<std::string>{"c.txt"});
  EXPECT_EQ(test::read_host_file(m.posix.host_path(std::string(kFolder) + "\\a.txt")), "a two");
  test::remove_sandbox(m.root);
}

}  // namespace
}  // namespace quill::installer
