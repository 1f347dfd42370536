// A fresh sandbox folder per test, removed again afterwards.
#pragma once

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include "os/posix_os.h"

namespace quill::testing {

class Sandbox {
 public:
  Sandbox() {
    char pattern[] = "/tmp/quill-test-XXXXXX";
    char* made = ::mkdtemp(pattern);
    root_ = made != nullptr ? made : "";
  }
  ~Sandbox() {
    if (!root_.empty()) ::nftw(root_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& root() const { return root_; }

 private:
  static int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
    ::remove(path);
    return 0;
  }
  std::string root_;
};

}  // namespace quill::testing
