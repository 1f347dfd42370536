// Test helpers for the installer: a fresh sandbox machine per test, a payload
// folder filled with an archive and data files, and a scripted callback.
#pragma once

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "installer/install_engine.h"
#include "os/posix_os.h"
#include "package/payload.h"

namespace quill::installer::test {

struct Entry {
  std::string name;
  std::string data;
  bool stored = false;
};

inline std::string read_host_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_host_file(const std::string& path, const std::string& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

// Removes a sandbox, read-only files and folders included.
inline void remove_sandbox(const std::string& root) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (auto it = fs::recursive_directory_iterator(root, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(root, ignored);
}

inline void write_zip(const std::string& host_path, const std::vector<Entry>& entries) {
  std::filesystem::create_directories(std::filesystem::path(host_path).parent_path());
  zipFile zip = zipOpen64(host_path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const Entry& entry : entries) {
    zip_fileinfo info = {};
    info.dosDate = 0x5A8C6000;
    ASSERT_EQ(zipOpenNewFileInZip64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                    nullptr, entry.stored ? 0 : Z_DEFLATED,
                                    entry.stored ? 0 : Z_DEFAULT_COMPRESSION, 1),
              ZIP_OK);
    if (!entry.data.empty()) {
      ASSERT_EQ(zipWriteInFileInZip(zip, entry.data.data(),
                                    static_cast<unsigned>(entry.data.size())),
                ZIP_OK);
    }
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

// Lines of a CR LF text.
inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Answers replace questions from a script and records what it was told.
class ScriptedCallback : public InstallCallback {
 public:
  ReplaceAnswer ask_replace(const std::string& name) override {
    asked.push_back(name);
    if (answers.empty()) return ReplaceAnswer::no;
    ReplaceAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void set_status(const std::string& text) override { statuses.push_back(text); }
  void set_progress(std::uint64_t done, std::uint64_t total) override {
    last_done = done;
    last_total = total;
  }
  bool cancel_requested() override { return ++polls > cancel_after_polls; }

  std::deque<ReplaceAnswer> answers;
  std::vector<std::string> asked;
  std::vector<std::string> statuses;
  std::uint64_t last_done = 0, last_total = 0;
  int polls = 0;
  int cancel_after_polls = 1 << 30;
};

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quill-installer-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    os_ = std::make_unique<os::PosixOs>(root_);
    payload_ = package::payload_folder(*os_);
    request_.install_folder = "C:\\Program Files\\Tool";
    request_.registered_name = "Tool";
    request_.has_registered_name = true;
  }
  void TearDown() override {
    os_.reset();
    remove_sandbox(root_);
  }

  os::PosixOs& os() { return *os_; }
  std::string host(const std::string& path) { return os_->host_path(path); }
  void archive(const std::vector<Entry>& entries) {
    write_zip(host(payload_ + package::kPayloadArchiveName), entries);
    request_.install_entry_count = entries.size();
  }
  void data_file(const std::string& name, const std::string& text) {
    write_host_file(host(payload_ + name), text);
  }
  std::string file(const std::string& path) { return read_host_file(host(path)); }
  bool exists(const std::string& path) { return os_->file_status(path).exists; }
  std::vector<std::string> log(const std::string& path = "C:\\Program Files\\Tool\\uninstall.ini") {
    return split_lines(file(path));
  }
  InstallResult run() { return run_install(*os_, request_, callback_, &stats_); }

  std::string root_;
  std::unique_ptr<os::PosixOs> os_;
  std::string payload_;
  InstallRequest request_;
  ScriptedCallback callback_;
  InstallStats stats_;
};

}  // namespace quill::installer::test
