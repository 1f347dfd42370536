// A fresh sandbox folder per test, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "os/posix_os.h"

namespace quill::testing {

class Sandbox {
 public:
  Sandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quill-test.XXXXXX").string();
    root_ = ::mkdtemp(&pattern[0]) ? pattern : std::string();
    os_ = std::make_unique<os::PosixOs>(root_);
    os_->allow_host_paths();  // the builder reads its sources by host path
  }
  ~Sandbox() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  os::PosixOs& os() { return *os_; }
  const std::string& root() const { return root_; }
  // Host path of a file inside the sandbox, its folders created.
  std::string write(const std::string& relative, const std::string& bytes) {
    std::filesystem::path path = std::filesystem::path(root_) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  static std::string read(const std::string& host_path) {
    std::ifstream in(host_path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string root_;
  std::unique_ptr<os::PosixOs> os_;
};

}  // namespace quill::testing
