// The whole install with the Nth operation failing, for every N: no crash,
// nothing written outside the places an install writes to, every installed
// file in the log, and a registry entry only after a finished install.
#include <algorithm>
#include <filesystem>

#include "installer/install_engine.h"
#include "installer_fixture.h"
#include "tests/support/fault_os.h"

namespace quill::installer {
namespace {

namespace fs = std::filesystem;

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";

std::string payload_folder(os::Os& os) {
  return os.temp_folder() + package::kPayloadFolderPrefix + "test\\";
}

// Prepares a typical package in a fresh sandbox: its archive in the payload
// folder, its data files in `files`.
void prepare(os::PosixOs& os, package::DataFiles* files) {
  const std::string payload = payload_folder(os);
  test::write_zip(os.host_path(payload + "tempfile.tmp"),
                  {{"tool.exe", "T"}, {"doc/read.txt", "R"}, {"Uninstall.exe", "U"}});
  auto data = [&](const char* name, const std::string& text) { files->put(name, text); };
  data("fileinfo.txt",
       "tool.exe|%install path%\r\ndoc\\read.txt|%install path%\\doc\r\n"
       "Uninstall.exe|%install path%\r\n////\r\n////\r\n");
  data("shortcuts.txt",
       "Tool\r\nTool\r\n%install path%\\tool.exe\r\n1\r\n"
       "\r\nTool\r\n%install path%\\tool.exe\r\n0\r\n////\r\n////\r\n////\r\n////\r\n");
  data("uninstall.txt", "%install path%\\Uninstall.exe");
}

bool below(const std::string& path, const std::string& folder) {
  return path.compare(0, folder.size(), folder) == 0;
}

TEST(InstallFaultsTest, EveryFailingOperationLeavesAConsistentMachine) {
  std::uint64_t n = 1;
  for (; n < 2000; ++n) {
    char pattern[] = "/tmp/quill-installer-fault-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    os::PosixOs posix(root);
    package::DataFiles files;
    prepare(posix, &files);
    const std::unique_ptr<os::File> archive =
        posix.open_file(payload_folder(posix) + "tempfile.tmp", os::OpenMode::read);
    os::FaultOs os(posix);
    os.arm(os::FaultOs::kAll, n, os::Error::disk_full);

    InstallRequest request;
    request.data_files = &files;
    request.archive.file = archive.get();
    request.payload_folder = payload_folder(posix);
    request.install_folder = InstallFolder("C:\\Program Files\\Tool");
    request.registered_name = "Tool";
    request.has_registered_name = true;
    request.install_entry_count = 3;
    test::FixedAnswers callback(WriteAnswer::ignore);
    InstallResult result = run_install(os, request, callback);
    const bool triggered = os.triggered();
    SCOPED_TRACE("fault " + std::to_string(n) + ": " +
                 (triggered ? os.fault_log().front() : std::string("none")));

    const std::vector<std::string> allowed = {
        posix.host_path("C:\\Program Files\\Tool") + "/",
        posix.host_path(posix.special_folder(os::SpecialFolder::programs) + "\\Tool") + "/",
        posix.host_path(posix.special_folder(os::SpecialFolder::desktop) + "\\Tool.lnk"),
        posix.host_path(payload_folder(posix)),
        root + "/registry",
    };
    std::vector<std::string> installed;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
      if (!item.is_regular_file()) continue;
      const std::string path = item.path().string();
      EXPECT_TRUE(std::any_of(allowed.begin(), allowed.end(),
                              [&](const std::string& a) { return below(path, a); }))
          << path;
      if (below(path, allowed[0]) && item.path().filename() != "uninstall.ini") {
        installed.push_back(path);
      }
    }
    if (result == InstallResult::finished) {
      const std::string log = test::read_host_file(posix.host_path("C:\\Program Files\\Tool\\uninstall.ini"));
      if (log.find("||||") != std::string::npos) {
        for (const std::string& path : installed) {
          std::string name = path.substr(allowed[0].size());
          std::replace(name.begin(), name.end(), '/', '\\');
          EXPECT_NE(log.find("C:\\Program Files\\Tool\\" + name + "\r\n"), std::string::npos)
              << name;
        }
        const std::string desktop_link =
            posix.special_folder(os::SpecialFolder::desktop) + "\\Tool.lnk";
        if (posix.file_status(desktop_link).exists) {
          EXPECT_NE(log.find(desktop_link + "\r\n"), std::string::npos);
        }
        const std::string group = posix.special_folder(os::SpecialFolder::programs) + "\\Tool";
        if (posix.file_status(group + "\\Tool.lnk").exists) {  // by its group or its own line
          EXPECT_TRUE(log.find(group + "\r\n") != std::string::npos ||
                      log.find(group + "\\Tool.lnk\r\n") != std::string::npos);
        }
      }
    } else {
      EXPECT_FALSE(posix.registry_key_exists(os::RegistryRoot::local_machine, kKey));
    }
    test::remove_sandbox(root);
    if (!triggered) break;
  }
  EXPECT_GT(n, 20u);  // the loop reached a run without faults
  EXPECT_LT(n, 2000u);
}

}  // namespace
}  // namespace quill::installer
