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
#include "../package/package_fixture.h"

namespace quill::installer::test {

// Archives, host files and stub packages are written as in the package tests.
using Entry = package::test::ZipEntry;
using package::test::read_host_file;
using package::test::write_host_file;
using package::test::write_zip;

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

// Replaces every file and gives one fixed answer to every failed write.
class FixedAnswers : public InstallCallback {
 public:
  explicit FixedAnswers(WriteAnswer write) : write_(write) {}
  ReplaceAnswer ask_replace(const std::string&) override { return ReplaceAnswer::yes; }
  void set_status(const std::string&) override {}
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool cancel_requested() override { return false; }
  WriteAnswer ask_write_failed(const std::string&) override { return write_; }

 private:
  WriteAnswer write_;
};

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
  void set_progress_range(std::uint64_t total) override { last_total = total; }
  void set_progress(std::uint64_t done) override { last_done = done; }
  bool cancel_requested() override { return ++polls > cancel_after_polls; }
  WriteAnswer ask_write_failed(const std::string& path) override {
    write_asked.push_back(path);
    if (write_answers.empty()) return WriteAnswer::ignore;
    WriteAnswer a = write_answers.front();
    write_answers.pop_front();
    return a;
  }

  std::deque<ReplaceAnswer> answers;
  std::deque<WriteAnswer> write_answers;  // Ignore once they run out
  std::vector<std::string> write_asked;
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
    payload_ = os_->temp_folder() + package::kPayloadFolderPrefix + "test\\";
    std::filesystem::create_directories(host(payload_));
    request_.payload_folder = payload_;
    request_.data_files = &files_;
    request_.install_folder = InstallFolder("C:\\Program Files\\Tool");
    request_.registered_name = "Tool";
    request_.has_registered_name = true;
  }
  void TearDown() override {
    archive_file_.reset();
    os_.reset();
    remove_sandbox(root_);
  }

  os::PosixOs& os() { return *os_; }
  std::string host(const std::string& path) { return os_->host_path(path); }
  // The archive copy in the payload folder, opened as the extraction leaves it.
  void archive(const std::vector<Entry>& entries) {
    write_zip(host(payload_ + package::kPayloadArchiveName), entries);
    archive_file_ = os_->open_file(payload_ + package::kPayloadArchiveName, os::OpenMode::read);
    request_.archive = {archive_file_.get(), 0, 0};
    request_.install_entry_count = entries.size();
  }
  // A data file as the extraction read it into memory.
  void data_file(const std::string& name, const std::string& text) { files_.put(name, text); }
  std::string file(const std::string& path) { return read_host_file(host(path)); }
  bool exists(const std::string& path) { return os_->file_status(path).exists; }
  std::vector<std::string> log(const std::string& path = "C:\\Program Files\\Tool\\uninstall.ini") {
    return split_lines(file(path));
  }
  InstallResult run() { return run_install(*os_, request_, callback_, &stats_); }

  std::string root_;
  std::unique_ptr<os::PosixOs> os_;
  std::string payload_;
  std::unique_ptr<os::File> archive_file_;
  package::DataFiles files_;
  InstallRequest request_;
  ScriptedCallback callback_;
  InstallStats stats_;
};

}  // namespace quill::installer::test
