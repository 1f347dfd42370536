// The command-line builder's platform over a test sandbox: relative paths
// are below the sandbox's root, and the program sits in its bin folder.
#pragma once

#include <string>

#include "cli/command.h"
#include "tests/project/sandbox.h"

namespace quill::cli {

class SandboxPlatform : public Platform {
 public:
  explicit SandboxPlatform(testing::Sandbox& box) : box_(box) {}
  os::Os& os() override { return box_.os(); }
  std::string os_path(const std::string& typed) override {
    return !typed.empty() && typed[0] == '/' ? typed : box_.root() + "/" + typed;
  }
  bool is_local_path(const std::string& path) override { return !path.empty() && path[0] == '/'; }
  std::string program_folder() override { return box_.root() + "/bin/"; }

 private:
  testing::Sandbox& box_;
};

}  // namespace quill::cli
