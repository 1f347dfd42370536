// An in-memory machine with helpers to lay out an installation by hand, and
// an observer that records what the removal reports.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/uninstall_key.h"
#include "tests/support/memory_os.h"
#include "uninstaller/removal.h"
#include "uninstaller/uninstall_log.h"

namespace quill::uninstaller {

class RecordingObserver : public RemovalObserver {
 public:
  void set_progress_range(std::uint64_t maximum) override { range = static_cast<long>(maximum); }
  void set_progress(std::uint64_t position) override { positions.push_back(position); }
  void set_status(const std::string& text) override { lines.push_back(text); }
  void finished() override { ++finished_calls; }

  long range = -1;
  std::vector<std::size_t> positions;
  std::vector<std::string> lines;
  int finished_calls = 0;
};

class UninstallFixture : public ::testing::Test {
 protected:
  static constexpr const char* kApp = "C:\\Program Files\\Tool";

  // Creates every missing folder of `path`.
  void make_folders(const std::string& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
      if (i == path.size() || path[i] == '\\') os.create_folder(path.substr(0, i));
    }
  }
  void write_file(const std::string& path, const std::string& content = "data") {
    make_folders(path.substr(0, path.rfind('\\')));
    auto file = os.open_file(path, os::OpenMode::write);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->write(content.data(), content.size()));
  }
  // Writes the lines, each ended by CR LF.
  void write_log(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    write_file(path, text);
  }
  bool exists(const std::string& path) { return os.file_status(path).exists; }

  // The entry as the installer writes it; with a location, the values that
  // let a log outside the install folder act inside it.
  void add_uninstall_key(const std::string& name, const std::string& location = "",
                         const std::string& uninstaller = "") {
    const std::string key = std::string(package::kUninstallKey) + "\\" + name;
    const os::RegistryRoot root = os::RegistryRoot::local_machine;
    os.registry_write_string(root, key, "DisplayName", name + " (remove only)");
    if (location.empty()) return;
    os.registry_write_string(root, key, "InstallLocation", location);
    os.registry_write_string(root, key, "UninstallString", package::uninstall_string(uninstaller));
  }
  bool has_uninstall_key(const std::string& name) {
    return os.registry_key_exists(os::RegistryRoot::local_machine,
                                  std::string(package::kUninstallKey) + "\\" + name);
  }

  // Reads the log (which must be sound) and runs the whole removal.
  void uninstall(const std::string& log_path) {
    UninstallLog log;
    ASSERT_EQ(read_uninstall_log(os, log_path, &log), LogStatus::ok);
    FolderGuard guard(os);
    run_removal(os, log, guard, observer);
  }

  os::MemoryOs os;
  RecordingObserver observer;
};

}  // namespace quill::uninstaller
